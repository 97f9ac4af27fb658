#pragma once
// The transform routines behind FFT. Each sequence is a pointer and a step in
// elements; a routine writes only the elements k * step, k < n, of the
// sequences it is given. None of them allocates except Chirp1 (one work buffer
// of 2K complex values per call), none keeps state, and none checks steps,
// pointers or that a radix-2 length is a power of two.
//
// Sign convention: isign = +1 (inverse = false) is the forward kernel
// e^(-2*pi*i*j*k/N); -1 the inverse kernel. Only the routines that say so scale.

#include "fft_types.h"

#include <cstdint>

namespace dsp {

using Step = std::ptrdiff_t;

// Radix-2 decimation in frequency: natural order in, bit-reversed out, unscaled.
void SandeTukeyFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                   std::ptrdiff_t n, int isign);

// Radix-2 decimation in time: bit-reversed order in, natural out, unscaled.
void CooleyTukeyFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                    std::ptrdiff_t n, int isign);

// In-place bit-reversal permutation of both sequences (n a power of two).
void BitReversal(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                 std::ptrdiff_t n);

// Complex transform for n a power of two, natural order in and out; the
// inverse is scaled by 1/n. n < 2 leaves the data alone.
void Power2LengthFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                     std::ptrdiff_t n, bool inverse);

// Complex transform of any length (chirp transform where n is not a power of
// two); the inverse is scaled by 1/n. n <= 1 leaves the data alone.
void InPlaceFFTCplx(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                    std::ptrdiff_t n, bool inverse);

// n complex values holding the transform of 2n real samples packed as
// re[k] = x[2k], im[k] = x[2k+1]: isign > 0 separates them into X[0..n-1] with
// X[n] (real) in im[0]; isign <= 0 prepares the inverse.
void RealFFTInterleave(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                       std::ptrdiff_t n, int isign);

// Forward transform of n real samples into n complex bins, X[n-k] = conj(X[k]),
// imaginary parts of bins 0 and n/2 exactly 0. The signal must not overlap the
// outputs. When real and imag are the two halves of one TFFTComplex array
// (imag == real + 1, both steps 2) the routine uses that array's 2n floats as
// its working space.
void FFTReal(const TFFTFloat* signal, Step signalStep, PArrayOfFloat real, Step realStep,
             PArrayOfFloat imag, Step imagStep, std::ptrdiff_t n);

// Chirp z-transform: for k < m, X[k] = c^k * sum_{j<n} a * b^j * x[j] * w^(j*k).
// w and b are expected on the unit circle. All inputs are consumed before the
// first output is written, so the outputs may be the inputs. m <= 0 does
// nothing; n <= 0 writes m zeros. Throws std::bad_alloc before writing
// anything when its work buffer cannot be had.
void Chirp1(const TFFTFloat* realIn, Step realStepIn, const TFFTFloat* imagIn, Step imagStepIn,
            std::ptrdiff_t n, double wr, double wi, double ar, double ai, double br, double bi,
            double cr, double ci, PArrayOfFloat realOut, Step realStepOut, PArrayOfFloat imagOut,
            Step imagStepOut, std::ptrdiff_t m);

// (rr + i*ri) = (zr + i*zi)^exponent by repeated squaring; exponent 0 gives 1.
void CplxPowerIntDbl(double zr, double zi, std::int64_t exponent, double& rr, double& ri);

// Principal complex square root.
void CplxSqrtDbl(double zr, double zi, double& rr, double& ri);

} // namespace dsp
