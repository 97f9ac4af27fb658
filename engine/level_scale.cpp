#include "level_scale.h"

#include "rounding.h"

#include <cmath>

namespace engine {

std::optional<LevelScale> levelScale(double yAxisMin, double yAxisMax, int gridHeight, int graphTop)
{
    if (!std::isfinite(yAxisMin) || !std::isfinite(yAxisMax) || yAxisMin == yAxisMax)
        return std::nullopt;
    const long double range = static_cast<long double>(yAxisMax) - yAxisMin;
    const auto oneDB = narrowToFloat((static_cast<long double>(gridHeight) - 80) / range);
    // Limits so far apart that no pixel separates them show nothing either.
    if (!oneDB || *oneDB == 0.0f)
        return std::nullopt;
    const auto zero = narrowToFloat(yAxisMin * static_cast<long double>(*oneDB) +
                                    (static_cast<long double>(gridHeight) - 40 - graphTop));
    if (!zero)
        return std::nullopt;
    return LevelScale{*oneDB, *zero};
}

bool updateLevelScale(MeasurementState& state, double yAxisMin, double yAxisMax, int gridHeight,
                      int graphTop)
{
    const auto scale = levelScale(yAxisMin, yAxisMax, gridHeight, graphTop);
    if (!scale)
        return false;
    state.OneDB = scale->OneDB;
    state.ZerodBPoint = scale->ZerodBPoint;
    return true;
}

} // namespace engine
