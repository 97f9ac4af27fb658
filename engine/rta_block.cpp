#include "rta_block.h"

#include "level_scale.h"
#include "rounding.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {
namespace {

// Bins 0 .. 4095 cover 0 Hz up to just below half the frame rate.
constexpr int kRtaBins = kBlockSamples / 2;
constexpr long double kBinSpacingHz = static_cast<long double>(kFrameRate) / kBlockSamples;

std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

// Whether a bin frequency i * spacing (i = 0 .. 4095) lies in band j: above
// border j - 1 (band 1 from 0 Hz) and at most border j.
bool bandHasBin(const BandPlan& plan, int j)
{
    const long double top = std::floor(plan.OctBinBorderList[at(j)] / kBinSpacingHz);
    const long double highest = std::min(top, static_cast<long double>(kRtaBins - 1));
    const long double lowest =
        j == 1 ? 0.0L : std::floor(plan.OctBinBorderList[at(j - 1)] / kBinSpacingHz) + 1;
    return highest >= lowest;
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

void sumOctaveBands(MeasurementState& state, const BandPlan& plan)
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
        state.FFTbins[at(i)] = static_cast<float>(2 * (re * re + im * im));
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

int octaveBandRows(MeasurementState& state, const BandPlan& plan, int graphHeight)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    const long double oneDB = state.OneDB;
    const long double zero = state.ZerodBPoint;
    const long double lowest = static_cast<long double>(graphHeight) + 1;
    int failed = 0;
    for (int j = 0; j < bands; ++j) {
        double& band = state.OctBands[at(j)];
        state.OctBandLevels[at(j)] =
            j == 0 ? std::numeric_limits<double>::quiet_NaN()
                   : static_cast<double>(20 * std::log10(static_cast<long double>(band)));
        const double below = j == 0 ? static_cast<double>(graphHeight) : state.OctBands[at(j - 1)];
        if (!(band > 1.0)) {
            // A band narrower than the bin spacing shows its neighbour; one
            // that holds bins but no level lies on the bottom, as silence
            // does, instead of repeating a loud band below it.
            band = (j == 0 || bandHasBin(plan, j)) ? static_cast<double>(graphHeight) : below;
            continue;
        }
        const long double v = zero - std::log10(static_cast<long double>(band)) * 20 * oneDB;
        long double row = roundHalfEven(v);
        if (row > lowest)
            row = lowest;
        if (std::isfinite(row) && fitsInt32(row)) {
            band = static_cast<double>(row);
        } else {
            band = below;
            ++failed;
        }
    }
    return failed;
}

int averageBandRows(MeasurementState& state, const BandPlan& plan)
{
    const int bands = std::clamp(plan.validbands, 0, kBinArraySize);
    const long double a = state.AveragingFactor;
    auto& y = state.NewPoints[1];
    const auto& old = state.OldPoints[1];
    int failed = 0;
    for (int b = 1; b < bands; ++b) {
        const long double v = (1 - a) * old[at(b)] + a * state.OctBands[at(b)];
        auto row = roundToInt32(v);
        if (!row) {
            ++failed;
            row = roundToInt32(state.OctBands[at(b)]).value_or(old[at(b)]);
        }
        y[at(b)] = *row;
    }
    state.OldPoints[1] = y;
    return failed;
}

RtaBlockReport processRtaBlock(MeasurementState& state, const BandPlan& plan,
                               std::span<const std::int16_t> samples, double yAxisMin,
                               double yAxisMax, int graphHeight, int gridHeight, int graphTop)
{
    RtaBlockReport report;
    windowAndTransformRta(state, samples);
    sumOctaveBands(state, plan);
    report.scaleFromLimits = updateLevelScale(state, yAxisMin, yAxisMax, gridHeight, graphTop);
    report.failedRows = octaveBandRows(state, plan, graphHeight);
    report.failedRows += averageBandRows(state, plan);
    return report;
}

} // namespace engine
