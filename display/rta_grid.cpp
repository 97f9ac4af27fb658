#include "rta_grid.h"

#include "engine/rounding.h"

#include <QLocale>

#include <cmath>

namespace display {

std::vector<LevelGridLine> levelGridLines(const LevelAxis& axis, int gridHeight, int digitHeight)
{
    std::vector<LevelGridLine> lines;
    if (axis.step == 0)
        return lines;
    const std::int64_t n = (std::int64_t(axis.max) - axis.min) / axis.step;
    if (n <= 0 || n > gridHeight - 2 * kPlotMargin)
        return lines;
    lines.reserve(static_cast<std::size_t>(n));
    const long double bottom = gridHeight - kPlotMargin;
    const long double oneDB = axis.oneDB;
    for (std::int64_t k = 1; k <= n; ++k) {
        const long double offset = static_cast<long double>(k) * axis.step * oneDB;
        const auto row = engine::roundToInt32(bottom - offset);
        const auto top = engine::roundToInt32(bottom - offset - digitHeight / 2.0L);
        if (!row || !top)
            continue;
        lines.push_back({*row, *top, axis.min + k * axis.step});
    }
    return lines;
}

QString frequencyLabel(float hz)
{
    if (hz >= 1000.0f) {
        const auto whole = engine::roundToInt32(hz);
        return QString::number(whole.value_or(0) / 1000) + "k";
    }
    return QString::number(static_cast<double>(hz), 'g', QLocale::FloatingPointShortest);
}

std::vector<FrequencyGridLine> frequencyGridLines(double xAxisMin, double xAxisMax, int gridWidth)
{
    std::vector<FrequencyGridLine> lines;
    if (!(xAxisMin > 0.0) || !(xAxisMax > 0.0) || !std::isfinite(xAxisMin) ||
        !std::isfinite(xAxisMax))
        return lines;
    // Pixels per decade; equal limits give none.
    const long double decades = std::log10(static_cast<long double>(xAxisMax)) -
                                std::log10(static_cast<long double>(xAxisMin));
    if (decades == 0.0L)
        return lines;
    const double d = static_cast<double>((gridWidth - 2 * kPlotMargin) / decades);
    const auto x0 = engine::roundToInt32((0.0L - std::log10(static_cast<long double>(xAxisMin))) *
                                         static_cast<long double>(d));
    if (!std::isfinite(d) || !x0)
        return lines;
    float decade = 1.0f;
    for (int e = 0; e <= 4; ++e, decade *= 10.0f) {
        for (int m = 1; m <= 9; ++m) {
            const float f = decade * static_cast<float>(m);
            if (!(xAxisMin <= f && f <= xAxisMax))
                continue;
            const auto x = engine::roundToInt32(
                std::log10(static_cast<long double>(f)) * static_cast<long double>(d) + *x0);
            if (x)
                lines.push_back({*x, f, frequencyLabel(f)});
        }
    }
    return lines;
}

} // namespace display
