#include "rta_grid.h"

#include "engine/frequency_axis.h"
#include "engine/rounding.h"

#include <QLocale>

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
    const auto axis = engine::frequencyAxis(xAxisMin, xAxisMax, gridWidth - 2 * kPlotMargin);
    if (!axis)
        return lines;
    float decade = 1.0f;
    for (int e = 0; e <= 4; ++e, decade *= 10.0f) {
        for (int m = 1; m <= 9; ++m) {
            const float f = decade * static_cast<float>(m);
            if (!(xAxisMin <= f && f <= xAxisMax))
                continue;
            if (const auto x = engine::frequencyColumn(*axis, f))
                lines.push_back({*x, f, frequencyLabel(f)});
        }
    }
    return lines;
}

} // namespace display
