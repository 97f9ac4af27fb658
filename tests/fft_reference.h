#pragma once
// What the optimised transforms are held to: the radix-2 routines and the
// real-signal separation transcribed plainly (butterfly positions one after
// another, the twiddle advanced after each, one element at a time), and a
// direct DFT summed in long double.

#include "dsp/fft_types.h"

#include <complex>
#include <cstddef>
#include <vector>

namespace reference {

using dsp::TFFTComplex;
using LComplex = std::complex<long double>;

void sandeTukey(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n,
                int isign);
void cooleyTukey(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n,
                 int isign);
void bitReversal(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n);

// Real transform of a signal whose packed half n/2 is a power of two, through
// the interleaved spectrum exactly as the routines are chained.
std::vector<TFFTComplex> realFFT(const std::vector<float>& signal);

// X[k] = sum_j x[j] e^(sign * 2 pi i j k / n), in long double.
std::vector<LComplex> dft(const std::vector<LComplex>& x, int sign = -1);
std::vector<LComplex> dft(const std::vector<float>& x);

} // namespace reference
