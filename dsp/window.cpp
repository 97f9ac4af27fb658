#include "window.h"

#include "simd.h"

#include <algorithm>
#include <cmath>

namespace dsp {

TFFTWindowInfo ApplyWindow(std::span<TFFTFloat> data, TFFTWindowFunc winFunc)
{
    const std::size_t n = data.size();
    if (n == 0)
        return {1.0f, 1.0f};
    const float r = static_cast<float>(1.0 / static_cast<double>(n));
    double s1 = 0.0;
    double s2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const float x = static_cast<float>((static_cast<double>(i) + 0.5) * r);
        const double w = winFunc(x);
        data[i] = static_cast<float>(data[i] * w);
        s1 += w;
        s2 += w * w;
    }
    const auto count = static_cast<double>(n);
    return {static_cast<float>(s1 / count), static_cast<float>(s2 / count)};
}

TFFTFloat WWelch(TFFTFloat x)
{
    const double t = 2.0 * x - 1.0;
    return static_cast<float>(1.0 - t * t);
}

DSP_CLONES void RectToAbs(std::span<const TFFTComplex> spectrum, std::span<TFFTFloat> amplitude)
{
    const std::size_t n = std::min(spectrum.size(), amplitude.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double re = spectrum[i].real;
        const double im = spectrum[i].imag;
        amplitude[i] = static_cast<float>(std::sqrt(re * re + im * im));
    }
    std::fill(amplitude.begin() + static_cast<std::ptrdiff_t>(n), amplitude.end(), 0.0f);
}

void ScaleVector(std::span<TFFTFloat> data, TFFTFloat scalar)
{
    for (TFFTFloat& v : data)
        v *= scalar;
}

} // namespace dsp
