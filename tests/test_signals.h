#pragma once
// Deterministic test inputs and error measures for the transform tests.

#include "dsp/fft_types.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

namespace testsig {

// Full-scale 16-bit samples, uniformly spread, as the sound card delivers them.
inline std::vector<float> pcm16Noise(std::size_t n, std::uint32_t seed = 1)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<float> x(n);
    for (float& v : x)
        v = static_cast<float>(dist(gen));
    return x;
}

// How far below the largest reference bin the largest error lies, in dB
// (more negative is better). Bins are compared as complex values.
template <class Got, class Want>
double errorBelowPeakDb(const Got& got, const Want& want)
{
    long double maxErr = 0, peak = 0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        const std::complex<long double> w(want[k]);
        const std::complex<long double> g(got[k].real(), got[k].imag());
        maxErr = std::max(maxErr, std::abs(g - w));
        peak = std::max(peak, std::abs(w));
    }
    if (maxErr == 0)
        return -400.0;
    return 20.0 * std::log10(static_cast<double>(maxErr / peak));
}

// Root mean square of the error over that of the reference.
template <class Got, class Want>
double relativeRmsError(const Got& got, const Want& want)
{
    long double err = 0, ref = 0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        const std::complex<long double> w(want[k]);
        const std::complex<long double> g(got[k].real(), got[k].imag());
        err += std::norm(g - w);
        ref += std::norm(w);
    }
    return static_cast<double>(std::sqrt(err / ref));
}

inline std::vector<std::complex<float>> asComplex(const std::vector<dsp::TFFTComplex>& s)
{
    std::vector<std::complex<float>> out;
    out.reserve(s.size());
    for (const auto& c : s)
        out.emplace_back(c.real, c.imag);
    return out;
}

} // namespace testsig
