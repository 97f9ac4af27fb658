#include "level_scale.h"

#include "rounding.h"

#include <cmath>
#include <limits>

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

LevelScale levelScaleOf(const MeasurementState& state)
{
    return {state.OneDB, state.ZerodBPoint};
}

std::optional<std::int32_t> levelRow(long double level, const LevelScale& scale,
                                     std::int32_t bottomRow)
{
    if (std::isnan(level) || level == -std::numeric_limits<long double>::infinity())
        return bottomRow;
    const long double v =
        static_cast<long double>(scale.ZerodBPoint) - level * static_cast<long double>(scale.OneDB);
    if (std::isnan(v))
        return std::nullopt;
    if (v >= bottomRow)
        return bottomRow;
    return roundToInt32(v);
}

long double levelAtRow(const LevelScale& scale, long double row)
{
    return (static_cast<long double>(scale.ZerodBPoint) - row) /
           static_cast<long double>(scale.OneDB);
}

} // namespace engine
