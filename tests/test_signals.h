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

// The error of a computed spectrum against a reference: how far below the
// largest reference bin the largest error lies, in dB (more negative is
// better), and the root mean square of the error over that of the reference.
struct SpectrumError {
    double maxBelowPeakDb;
    double relativeRms;
};

template <class Got, class Want>
SpectrumError spectrumError(const Got& got, const Want& want)
{
    long double maxErr = 0, peak = 0, err2 = 0, ref2 = 0;
    for (std::size_t k = 0; k < want.size(); ++k) {
        const std::complex<long double> w(want[k]);
        const std::complex<long double> g(got[k].real(), got[k].imag());
        maxErr = std::max(maxErr, std::abs(g - w));
        peak = std::max(peak, std::abs(w));
        err2 += std::norm(g - w);
        ref2 += std::norm(w);
    }
    const double db = maxErr == 0 ? -400.0 : 20.0 * std::log10(static_cast<double>(maxErr / peak));
    return {db, static_cast<double>(std::sqrt(err2 / ref2))};
}

template <class Got, class Want>
double errorBelowPeakDb(const Got& got, const Want& want)
{
    return spectrumError(got, want).maxBelowPeakDb;
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
