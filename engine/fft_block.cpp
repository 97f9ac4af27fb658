#include "fft_block.h"

#include "rounding.h"

#include "dsp/fft.h"
#include "dsp/window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace engine {

bool setUpFftTab(MeasurementState& state, int graphWidth, int frameRate)
{
    const int nyquist = frameRate / 2;
    if (nyquist < 1)
        return false;
    state.Columnwidth = static_cast<double>(static_cast<long double>(graphWidth) / nyquist);
    const long double binHz = static_cast<long double>(frameRate) / kBlockSamples;
    for (int i = 0; i < kBlockSamples; ++i)
        state.NewPoints[0][static_cast<std::size_t>(i)] =
            fftFrequencyColumn(i * binHz, state.Columnwidth).value_or(0);
    return true;
}

std::optional<std::int32_t> fftFrequencyColumn(long double hz, double columnwidth)
{
    return roundToInt32(hz * static_cast<long double>(columnwidth));
}

std::int32_t fftZeroRow(const MeasurementState& state, int zeroDbfsRow)
{
    return roundToInt32(zeroDbfsRow + 3.0L * state.ZerodBOffset).value_or(0);
}

long double fftLevelDbfs(float magnitude)
{
    return 20 * std::log10(static_cast<long double>(magnitude) / kFullScaleSineRms);
}

std::int32_t fftMagnitudeRow(const MeasurementState& state, float magnitude, int zeroDbfsRow,
                             double offsetDb)
{
    if (!(magnitude > 0.0f) || !std::isfinite(magnitude))
        return fftZeroRow(state, zeroDbfsRow);
    // The row is defined in extended precision, whose logarithm and rounding
    // cost several times the double ones; 4096 of them dominated a block.
    // With x = 3 fftLevelDbfs(m) = 60 log10(m) - 60 log10(kFullScaleSineRms),
    // Round(R - x) = R - Round(x) for the whole row R unless x is a
    // half-integer. x (below 2700 in size) comes out of double arithmetic
    // within about 1e-12 of its extended value, so wherever the double x
    // lies farther than kNearHalf from a half-integer both round to the same
    // integer; only the rest take the extended path. kNearHalf also covers
    // the extended rounding of R - x for any 32-bit R.
    constexpr double kNearHalf = 1e-9;
    static const double fullScale = static_cast<double>(60 * std::log10(kFullScaleSineRms));
    const double x =
        60.0 * std::log10(static_cast<double>(magnitude)) - fullScale + kFftRowsPerDb * offsetDb;
    const double rounded = std::nearbyint(x);
    std::optional<std::int32_t> row;
    if (std::fabs(std::fabs(x - rounded) - 0.5) > kNearHalf) {
        const std::int64_t v = std::int64_t{zeroDbfsRow} - static_cast<std::int64_t>(rounded);
        if (v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max())
            row = static_cast<std::int32_t>(v);
    } else {
        row = roundToInt32(zeroDbfsRow - kFftRowsPerDb * (fftLevelDbfs(magnitude) + offsetDb));
    }
    return row ? *row : fftZeroRow(state, zeroDbfsRow);
}

void processFftBlock(MeasurementState& state, std::span<const std::int16_t> samples,
                     int zeroDbfsRow, std::span<const float> binPowerFactors, double offsetDb)
{
    const std::size_t n = std::min(samples.size(), state.InSignal.size());
    std::copy_n(samples.begin(), n, state.InSignal.begin());
    std::fill(state.InSignal.begin() + static_cast<std::ptrdiff_t>(n), state.InSignal.end(), 0.0f);

    state.wi = dsp::ApplyWindow(state.InSignal, state.winFunc ? state.winFunc : dsp::WWelch);
    dsp::FFT(state.InSignal, state.Spectrum);
    dsp::RectToAbs(state.Spectrum, state.FFTbins);
    // A sinusoid centred on a bin then reads its RMS amplitude there.
    const long double scale =
        std::sqrt(2.0L) / (static_cast<long double>(state.wi.intw) * kBlockSamples);
    // Only a window of zero weight could make the factor useless; its bins
    // then all go to the zero row.
    dsp::ScaleVector(state.FFTbins, narrowToFloat(scale).value_or(0.0f));
    const std::size_t weighted = std::min(binPowerFactors.size(), state.FFTbins.size());
    for (std::size_t i = 0; i < weighted; ++i)
        state.FFTbins[i] = static_cast<float>(state.FFTbins[i] * std::sqrt(binPowerFactors[i]));

    const std::int32_t zeroRow = fftZeroRow(state, zeroDbfsRow);
    auto& y = state.NewPoints[1];
    for (std::size_t i = 0; i < kFftBinsDrawn; ++i) {
        const dsp::TFFTComplex bin = state.Spectrum[i];
        y[i] = (bin.real == 0.0f || bin.imag == 0.0f)
                   ? zeroRow
                   : fftMagnitudeRow(state, state.FFTbins[i], zeroDbfsRow, offsetDb);
    }
    std::copy_n(y.begin(), kFftBinsDrawn, state.OldPoints[1].begin());
}

} // namespace engine
