// Radix-2 transforms, the bit-reversal permutation and the power-of-two driver.

#include "fft_kernels.h"
#include "fft_routines.h"

#include <utility>

namespace dsp {
namespace {

using kernels::Unit;

DSP_CLONES void sandeTukeyUnit(float* re, float* im, std::ptrdiff_t n, int isign)
{
    kernels::sandeTukey(re, Unit{}, im, Unit{}, n, isign);
}

DSP_CLONES void cooleyTukeyUnit(float* re, float* im, std::ptrdiff_t n, int isign)
{
    kernels::cooleyTukey(re, Unit{}, im, Unit{}, n, isign);
}

} // namespace

void SandeTukeyFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                   std::ptrdiff_t n, int isign)
{
    if (realStep == 1 && imagStep == 1)
        sandeTukeyUnit(real, imag, n, isign);
    else
        kernels::sandeTukey(real, realStep, imag, imagStep, n, isign);
}

void CooleyTukeyFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                    std::ptrdiff_t n, int isign)
{
    if (realStep == 1 && imagStep == 1)
        cooleyTukeyUnit(real, imag, n, isign);
    else
        kernels::cooleyTukey(real, realStep, imag, imagStep, n, isign);
}

void BitReversal(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                 std::ptrdiff_t n)
{
    std::ptrdiff_t j = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        if (j > i) {
            std::swap(real[i * realStep], real[j * realStep]);
            std::swap(imag[i * imagStep], imag[j * imagStep]);
        }
        std::ptrdiff_t m = n / 2;
        while (m >= 2 && m <= j) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
}

void Power2LengthFFT(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                     std::ptrdiff_t n, bool inverse)
{
    if (n < 2)
        return;
    SandeTukeyFFT(real, realStep, imag, imagStep, n, inverse ? -1 : 1);
    BitReversal(real, realStep, imag, imagStep, n);
    if (inverse)
        kernels::scaleByInverseLength(real, realStep, imag, imagStep, n);
}

} // namespace dsp
