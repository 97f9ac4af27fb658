#include "frequency_axis.h"

#include "rounding.h"

#include <cmath>

namespace engine {

std::optional<FrequencyAxis> frequencyAxis(double xAxisMin, double xAxisMax, int plotWidth)
{
    if (!(xAxisMin > 0.0) || !std::isfinite(xAxisMin) || !std::isfinite(xAxisMax))
        return std::nullopt;
    const long double decades = std::log10(static_cast<long double>(xAxisMax)) -
                                std::log10(static_cast<long double>(xAxisMin));
    if (!(decades > 0.0L))
        return std::nullopt;
    // d is held as a double, as the grid has always placed its lines with it.
    const double d = static_cast<double>(plotWidth / decades);
    if (!std::isfinite(d))
        return std::nullopt;
    const auto x0 =
        roundToInt32(-std::log10(static_cast<long double>(xAxisMin)) * static_cast<long double>(d));
    if (!x0)
        return std::nullopt;
    return FrequencyAxis{d, *x0};
}

long double frequencyPosition(const FrequencyAxis& axis, long double hz)
{
    return std::log10(hz) * static_cast<long double>(axis.d) + axis.x0;
}

std::optional<std::int32_t> frequencyColumn(const FrequencyAxis& axis, long double hz)
{
    return roundToInt32(frequencyPosition(axis, hz));
}

} // namespace engine
