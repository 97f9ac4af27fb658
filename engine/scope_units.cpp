#include "scope_units.h"

#include "scope_trace.h"

#include <cmath>
#include <cstdio>

namespace engine {

double scopeFullScalePerDivision(int zoomPosition)
{
    return 1.0 / (5.0 * zoomGain(zoomPosition));
}

std::optional<double> scopePascalPerDivision(int zoomPosition,
                                             std::optional<double> calibrationOffsetDb)
{
    if (!calibrationOffsetDb || !std::isfinite(*calibrationOffsetDb))
        return std::nullopt;
    // The full-scale sine's RMS pressure, and its peak, which is full scale.
    const double rmsPa = 20e-6 * std::pow(10.0, *calibrationOffsetDb / 20);
    return std::sqrt(2.0) * rmsPa * scopeFullScalePerDivision(zoomPosition);
}

double scopeMillisecondsPerDivision(double currtDiv)
{
    return 1000.0 * currtDiv;
}

std::string scopeLabelNumber(double v)
{
    if (std::fabs(v) < 1e-12)
        return "0";
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(v) < 1e-3 ? "%.2e" : "%.4g", v);
    return text;
}

} // namespace engine
