// Transform of real signals: n real samples packed as n/2 complex values,
// transformed, then separated and unpacked to the full spectrum.

#include "fft.h"
#include "fft_kernels.h"
#include "fft_real_block.h"
#include "fft_routines.h"

namespace dsp {
namespace {

using kernels::at;
using kernels::Unit;

struct Separation {
    float c1;
    float c2;
};

// One pair (i, j = n - i) of the separation, in place. For i == j the second
// pair of writes wins, as it must.
template <class S>
DSP_INLINE void separatePair(float* re, S rs, float* im, S is, std::ptrdiff_t i, std::ptrdiff_t j,
                             Separation c, double wr, double wi)
{
    float& rI = re[at(i, rs)];
    float& rJ = re[at(j, rs)];
    float& iI = im[at(i, is)];
    float& iJ = im[at(j, is)];
    const auto p = dsp::separatePair(rI, iI, rJ, iJ, c.c1, c.c2, wr, wi);
    rI = p.xr;
    iI = p.xi;
    rJ = p.yr;
    iJ = p.yi;
}

template <class S>
DSP_INLINE void realInterleave(float* re, S rs, float* im, S is, std::ptrdiff_t n, int isign)
{
    const Separation c{0.5f, 0.5f * static_cast<float>(isign)};
    TwiddleWalk walk(kernels::stageAngle(isign, n));
    walk.wr = 1.0 + walk.wpr; // the factor of index 1
    walk.wi = walk.wpi;

    // Pairs with i < j never touch each other's elements, so they run a chunk
    // of factors at a time; the middle pair of an even n comes last on its own.
    const std::ptrdiff_t pairs = n / 2;
    const std::ptrdiff_t distinct = (n % 2 == 0) ? pairs - 1 : pairs;
    double wr[kernels::kChunk];
    double wi[kernels::kChunk];
    for (std::ptrdiff_t i0 = 1; i0 <= distinct; i0 += kernels::kChunk) {
        const std::ptrdiff_t count = std::min(kernels::kChunk, distinct - i0 + 1);
        walk.fill(wr, wi, count);
        for (std::ptrdiff_t t = 0; t < count; ++t)
            separatePair(re, rs, im, is, i0 + t, n - i0 - t, c, wr[t], wi[t]);
    }
    if (distinct < pairs)
        separatePair(re, rs, im, is, pairs, pairs, c, walk.wr, walk.wi);

    float& r0 = re[0];
    float& i0 = im[0];
    const float h1r = r0;
    if (isign > 0) {
        r0 = h1r + i0;
        i0 = h1r - i0;
    } else {
        r0 = 0.5f * (h1r + i0);
        i0 = 0.5f * (h1r - i0);
    }
}

DSP_CLONES void realInterleaveUnit(float* re, float* im, std::ptrdiff_t n, int isign)
{
    realInterleave(re, Unit{}, im, Unit{}, n, isign);
}

// Even n into an interleaved complex array of 2n floats: the packed half is
// transformed as two unit-step sequences in the upper half of the array, then
// unpacked below it, and the conjugate half is mirrored from there.
DSP_CLONES void realTransformInterleaved(const float* signal, Step signalStep, float* out,
                                         std::ptrdiff_t n)
{
    const std::ptrdiff_t h = n / 2;
    float* const re = out + n;
    float* const im = re + h;
    for (std::ptrdiff_t k = 0; k < h; ++k) {
        re[k] = signal[2 * k * signalStep];
        im[k] = signal[(2 * k + 1) * signalStep];
    }
    InPlaceFFTCplx(re, 1, im, 1, h, false);
    RealFFTInterleave(re, 1, im, 1, h, 1);

    const float nyquist = im[0];
    for (std::ptrdiff_t k = 0; k < h; ++k) {
        out[2 * k] = re[k];
        out[2 * k + 1] = im[k];
    }
    out[1] = 0.0f;
    for (std::ptrdiff_t k = 1; k < h; ++k) {
        out[2 * (n - k)] = out[2 * k];
        out[2 * (n - k) + 1] = -out[2 * k + 1];
    }
    out[2 * h] = nyquist;
    out[2 * h + 1] = 0.0f;
}

} // namespace

void RealFFTInterleave(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                       std::ptrdiff_t n, int isign)
{
    if (realStep == 1 && imagStep == 1)
        realInterleaveUnit(real, imag, n, isign);
    else
        realInterleave(real, realStep, imag, imagStep, n, isign);
}

void FFTReal(const TFFTFloat* signal, Step signalStep, PArrayOfFloat real, Step realStep,
             PArrayOfFloat imag, Step imagStep, std::ptrdiff_t n)
{
    if (n <= 0)
        return;
    if (n % 2 != 0) {
        for (std::ptrdiff_t k = 0; k < n; ++k) {
            real[k * realStep] = signal[k * signalStep];
            imag[k * imagStep] = 0.0f;
        }
        InPlaceFFTCplx(real, realStep, imag, imagStep, n, false);
        return;
    }
    if (realStep == 2 && imagStep == 2 && imag == real + 1) {
        if (!realTransformBlock(signal, signalStep, real, n))
            realTransformInterleaved(signal, signalStep, real, n);
        return;
    }

    const std::ptrdiff_t h = n / 2;
    for (std::ptrdiff_t k = 0; k < h; ++k) {
        real[k * realStep] = signal[2 * k * signalStep];
        imag[k * imagStep] = signal[(2 * k + 1) * signalStep];
    }
    InPlaceFFTCplx(real, realStep, imag, imagStep, h, false);
    RealFFTInterleave(real, realStep, imag, imagStep, h, 1);
    for (std::ptrdiff_t k = 1; k < h; ++k) {
        real[(n - k) * realStep] = real[k * realStep];
        imag[(n - k) * imagStep] = -imag[k * imagStep];
    }
    real[h * realStep] = imag[0];
    imag[h * imagStep] = 0.0f;
    imag[0] = 0.0f;
}

void FFT(std::span<const TFFTFloat> signal, std::span<TFFTComplex> spectrum)
{
    static_assert(sizeof(TFFTComplex) == 2 * sizeof(TFFTFloat));
    const auto n = static_cast<std::ptrdiff_t>(signal.size());
    if (n == 0)
        return;
    if (spectrum.size() < signal.size())
        throw std::length_error("FFT: spectrum array too short");
    FFTReal(signal.data(), 1, &spectrum[0].real, 2, &spectrum[0].imag, 2, n);
}

} // namespace dsp
