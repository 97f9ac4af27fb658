#include "rta_block.h"

#include "level_scale.h"
#include "rounding.h"
#include "rta_curve.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {
namespace {

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

} // namespace

bool applyAveragingItem(MeasurementState& state, int item)
{
    static constexpr float kFactors[] = {1.0f, 0.7f, 0.2f, 0.02f};
    if (item < 0 || item >= static_cast<int>(std::size(kFactors)))
        return false;
    state.AveragingFactor = kFactors[item];
    return true;
}

void windowAndTransformRta(MeasurementState& state, std::span<const std::int16_t> samples)
{
    const std::size_t n = std::min(samples.size(), state.InSignal.size());
    for (std::size_t k = 0; k < n; ++k)
        state.InSignal[k] =
            static_cast<float>(static_cast<long double>(samples[k]) * state.Window[k]);
    std::fill(state.InSignal.begin() + static_cast<std::ptrdiff_t>(n), state.InSignal.end(), 0.0f);
    dsp::FFT(state.InSignal, state.Spectrum);
}

void sumOctaveBands(MeasurementState& state, const BandPlan& plan,
                    std::span<const float> binPowerFactors)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    std::fill_n(state.OctBands.begin(), bands, 0.0);
    auto close = [&](int j) {
        state.OctBands[at(j)] =
            static_cast<double>(std::sqrt(static_cast<long double>(state.OctBands[at(j)])));
    };

    int j = 1;
    for (int i = 0; i < kRtaBins; ++i) {
        const long double re = state.Spectrum[at(i)].real;
        const long double im = state.Spectrum[at(i)].imag;
        const long double factor = at(i) < binPowerFactors.size() ? binPowerFactors[at(i)] : 1.0f;
        state.FFTbins[at(i)] = static_cast<float>(2 * (re * re + im * im) * factor);
        const long double f = i * kBinSpacingHz;
        // One ascending walk: a bin above the border closes the band (and any
        // empty ones after it, each with 0) before it is added.
        while (j < bands) {
            if (f <= plan.OctBinBorderList[at(j)]) {
                state.OctBands[at(j)] = static_cast<double>(
                    state.OctBands[at(j)] + static_cast<long double>(state.FFTbins[at(i)]));
                break;
            }
            close(j);
            ++j;
        }
        // Past the last border the bin belongs to no band.
    }
    // The octave plan's last border (28 kHz) lies above the highest bin.
    if (j < bands)
        close(j);
}

int octaveBandRows(MeasurementState& state, const BandPlan& plan, std::int32_t bottomRow,
                   long double offsetDb)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    const LevelScale scale = levelScaleOf(state);
    // A band without a level lies on the bottom edge: that of an amplitude of
    // 1, the lowest level there is, unless the axis reaches lower.
    const long double noLevel = scale.ZerodBPoint - offsetDb * scale.OneDB >= bottomRow
                                    ? offsetDb
                                    : levelAtRow(scale, bottomRow);
    if (bands > 0) {
        state.OctBands[0] = bottomRow;
        state.OctBandLevels[0] = std::numeric_limits<long double>::quiet_NaN();
    }
    int failed = 0;
    for (int j = 1; j < bands; ++j) {
        double& band = state.OctBands[at(j)];
        long double& level = state.OctBandLevels[at(j)];
        if (band > 1.0)
            level = std::log10(static_cast<long double>(band)) * 20 + offsetDb;
        else
            // A band narrower than the bin spacing shows its neighbour; one
            // that holds bins but no level lies on the bottom, as silence
            // does, instead of repeating a loud band below it.
            level = bandHasBin(plan.OctBinBorderList, j) ? noLevel : state.OctBandLevels[at(j - 1)];
        const auto row = levelRow(level, scale, bottomRow);
        if (!row)
            ++failed;
        band = row ? static_cast<double>(*row) : state.OctBands[at(j - 1)];
    }
    return failed;
}

int averageBandRows(MeasurementState& state, const BandPlan& plan, std::int32_t bottomRow)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    const LevelScale scale = levelScaleOf(state);
    const long double a = state.AveragingFactor;
    if (state.AverageRestart) {
        std::fill_n(state.AveragedLevels.begin(), bands, levelAtRow(scale, bottomRow));
        state.AverageRestart = false;
    }
    auto& y = state.NewPoints[1];
    int failed = 0;
    for (int b = 1; b < bands; ++b) {
        long double& average = state.AveragedLevels[at(b)];
        const long double level = state.OctBandLevels[at(b)];
        average = (1 - a) * average + a * level;
        // Only a block level beyond every scale could spoil the average for
        // good; it starts again from the block.
        if (!std::isfinite(average))
            average = level;
        const auto row = levelRow(average, scale, bottomRow);
        if (!row)
            ++failed;
        y[at(b)] = row.value_or(static_cast<std::int32_t>(state.OctBands[at(b)]));
    }
    state.OldPoints[1] = y;
    return failed;
}

void copyAveragedLevels(const MeasurementState& state, const BandPlan& plan, BinArray& levels)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    levels.fill(std::numeric_limits<double>::quiet_NaN());
    for (int j = 1; j < bands; ++j)
        levels[at(j)] = static_cast<double>(state.AveragedLevels[at(j)]);
}

RtaBlockReport processRtaBlock(MeasurementState& state, const BandPlan& plan,
                               std::span<const std::int16_t> samples, const RtaAxes& axes,
                               const RtaGeometry& g, const RtaLevels& levels)
{
    RtaBlockReport report;
    windowAndTransformRta(state, samples);
    sumOctaveBands(state, plan, levels.binPowerFactors);
    report.scaleFromLimits =
        updateLevelScale(state, axes.yAxisMin, axes.yAxisMax, g.gridHeight, g.graphTop);
    const std::int32_t bottom = bottomRow(g);
    report.failedRows = octaveBandRows(state, plan, bottom, levels.offsetDb);
    report.failedRows += averageBandRows(state, plan, bottom);
    const auto n = static_cast<std::size_t>(std::clamp(plan.validbands, 0, kBinArraySize));
    layOutBandColumns(std::span(plan.OctBinBorderList).first(n),
                      rtaFrequencyAxis(axes.xAxisMin, axes.xAxisMax, g), g, state.NewPoints[0]);
    return report;
}

} // namespace engine
