#include "fft_analysis.h"

#include "fft_block.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

// Weight of the newest block for the running averages, as the octave-band
// averaging's items.
double runningWeight(FftAveraging mode)
{
    switch (mode) {
    case FftAveraging::Fast:
        return 0.7f;
    case FftAveraging::Slow:
        return 0.2f;
    case FftAveraging::VerySlow:
        return 0.02f;
    default:
        return 1.0;
    }
}

} // namespace

bool isFftLength(int n)
{
    return std::find(kFftLengths.begin(), kFftLengths.end(), n) != kFftLengths.end();
}

void resetFftAnalysis(FftAnalysis& a, bool clearHistory)
{
    a.blocks = 0;
    if (clearHistory) {
        a.history.fill(0.0f);
        a.historyNext = 0;
        a.historyFilled = 0;
    }
}

bool setFftLength(FftAnalysis& a, int length)
{
    if (!isFftLength(length))
        return false;
    a.length = length;
    resetFftAnalysis(a, false);
    return true;
}

void analyseFftBlock(FftAnalysis& a, std::span<const std::int16_t> samples, FftAveraging mode,
                     std::span<const float> powerFactors)
{
    constexpr std::size_t ring = kMaxFftLength;
    const std::size_t n = std::min(samples.size(), ring);
    for (std::size_t i = samples.size() - n; i < samples.size(); ++i) {
        a.history[a.historyNext] = samples[i];
        a.historyNext = (a.historyNext + 1) % ring;
    }
    a.historyFilled = std::min<std::int64_t>(a.historyFilled + static_cast<std::int64_t>(n), ring);
    const bool full = a.historyFilled >= a.length;

    // The newest `length` samples, oldest first: the ring's part from
    // historyNext - length on, wrapping once at most.
    const auto len = static_cast<std::size_t>(a.length);
    const std::span<dsp::TFFTFloat> signal(a.signal.data(), len);
    const std::size_t first = (a.historyNext + ring - len) % ring;
    const std::size_t head = std::min(len, ring - first);
    std::copy_n(a.history.begin() + static_cast<std::ptrdiff_t>(first), head, signal.begin());
    std::copy_n(a.history.begin(), len - head, signal.begin() + static_cast<std::ptrdiff_t>(head));
    if (a.windowLength != a.length) {
        // Weights of ones windowed are the weights, exactly as ApplyWindow
        // would multiply them in.
        const std::span<dsp::TFFTFloat> weights(a.window.data(), len);
        std::fill(weights.begin(), weights.end(), 1.0f);
        a.windowInfo = dsp::ApplyWindow(weights, dsp::WWelch);
        a.windowLength = a.length;
    }
    for (std::size_t i = 0; i < len; ++i)
        signal[i] = static_cast<float>(signal[i] * static_cast<double>(a.window[i]));
    const dsp::TFFTWindowInfo wi = a.windowInfo;
    dsp::FFT(signal, std::span(a.spectrum.data(), len));

    // Sines centred on a bin read their RMS value squared, as on one block.
    const double scale = std::sqrt(2.0) / (static_cast<double>(wi.intw) * a.length);
    const double scale2 = std::isfinite(scale) ? scale * scale : 0.0;
    const std::size_t bins = len / 2;
    const bool factors = powerFactors.size() >= bins;
    const bool restart = a.blocks == 0 || !full;
    const double weight = mode == FftAveraging::Infinite ? 1.0 / static_cast<double>(a.blocks + 1)
                                                         : runningWeight(mode);
    for (std::size_t k = 0; k < bins; ++k) {
        const dsp::TFFTComplex x = a.spectrum[k];
        double p =
            (static_cast<double>(x.real) * x.real + static_cast<double>(x.imag) * x.imag) * scale2;
        if (factors)
            p *= powerFactors[k];
        a.power[k] = p;
        a.average[k] = (restart || mode == FftAveraging::None)
                           ? p
                           : a.average[k] + weight * (p - a.average[k]);
        a.hold[k] = restart ? p : std::max(a.hold[k], p);
    }
    if (full)
        ++a.blocks;
}

namespace {

// 20 log10 of the full-scale sine's RMS value, which reads 0 dBFS.
double fullScaleDb()
{
    static const double db = static_cast<double>(20 * std::log10(kFullScaleSineRms));
    return db;
}

} // namespace

double fftPowerLevel(double power, double offsetDb)
{
    if (!(power > 0.0))
        return std::isnan(power) ? power : -HUGE_VAL;
    return 10.0 * std::log10(power) - fullScaleDb() + offsetDb;
}

double fftLevelPower(double levelDbfs)
{
    return std::pow(10.0, (levelDbfs + fullScaleDb()) / 10.0);
}

} // namespace engine
