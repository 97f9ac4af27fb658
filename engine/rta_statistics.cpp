#include "rta_statistics.h"

#include "level_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {
namespace {

int bandCount(const BandPlan& plan)
{
    return std::clamp(plan.validbands, 0, kBinArraySize);
}

} // namespace

void RtaStatistics::reset()
{
    energy.fill(0);
    maxLevel.fill(-std::numeric_limits<long double>::infinity());
    blocks = 0;
}

void RtaStatistics::add(const MeasurementState& state, const BandPlan& plan)
{
    if (blocks == 0)
        reset();
    for (int j = 1; j < bandCount(plan); ++j) {
        const long double level = state.OctBandLevels[static_cast<std::size_t>(j)];
        if (!std::isfinite(level))
            continue;
        energy[static_cast<std::size_t>(j)] += std::pow(10.0L, level / 10);
        maxLevel[static_cast<std::size_t>(j)] =
            std::max(maxLevel[static_cast<std::size_t>(j)], level);
    }
    ++blocks;
}

long double RtaStatistics::level(RtaCurve curve, int j, const MeasurementState& state) const
{
    const auto k = static_cast<std::size_t>(j);
    switch (curve) {
    case RtaCurve::Now:
        return state.AveragedLevels[k];
    case RtaCurve::Leq:
        if (blocks == 0 || !(energy[k] > 0))
            return std::numeric_limits<long double>::quiet_NaN();
        return 10 * std::log10(energy[k] / static_cast<long double>(blocks));
    case RtaCurve::Max:
        if (blocks == 0 || !std::isfinite(maxLevel[k]))
            return std::numeric_limits<long double>::quiet_NaN();
        return maxLevel[k];
    }
    return std::numeric_limits<long double>::quiet_NaN();
}

int showRtaCurve(MeasurementState& state, const BandPlan& plan, const RtaStatistics& statistics,
                 RtaCurve curve, std::int32_t bottomRow)
{
    if (curve == RtaCurve::Now)
        return 0;
    const LevelScale scale = levelScaleOf(state);
    auto& y = state.NewPoints[1];
    int failed = 0;
    for (int j = 1; j < bandCount(plan); ++j) {
        const auto row = levelRow(statistics.level(curve, j, state), scale, bottomRow);
        if (row)
            y[static_cast<std::size_t>(j)] = *row;
        else
            ++failed;
    }
    state.OldPoints[1] = y;
    return failed;
}

void copyRtaCurveLevels(const MeasurementState& state, const BandPlan& plan,
                        const RtaStatistics& statistics, RtaCurve curve, BinArray& levels)
{
    levels.fill(std::numeric_limits<double>::quiet_NaN());
    for (int j = 1; j < bandCount(plan); ++j)
        levels[static_cast<std::size_t>(j)] =
            static_cast<double>(statistics.level(curve, j, state));
}

} // namespace engine
