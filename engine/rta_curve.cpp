#include "rta_curve.h"

#include "rounding.h"

#include <algorithm>
#include <cmath>

namespace engine {

void layOutBandColumns(std::span<const double> borders, const std::optional<FrequencyAxis>& axis,
                       const RtaGeometry& g, std::span<std::int32_t> x)
{
    const std::size_t n = std::min(borders.size(), x.size());
    if (n < 3)
        return;
    const long double width = g.graphWidth;
    x[0] = 0;
    if (!axis) {
        // The column width is held as a double (Columnwidth), as the plan keeps it.
        const long double cw = static_cast<double>(width / static_cast<long double>(n - 2));
        for (std::size_t j = 1; j + 1 < n; ++j)
            x[j] = roundToInt32((j - 1) * cw + 0.5L * cw).value_or(g.graphWidth);
        x[n - 1] = g.graphWidth;
        return;
    }
    const long double left = plotLeftOnGraph(g);
    for (std::size_t j = 1; j < n; ++j) {
        const long double at = frequencyPosition(*axis, borders[j]) + left;
        // Clamped before rounding: the same as rounding first, for whole bounds.
        x[j] = static_cast<std::int32_t>(
            roundHalfEven(std::isnan(at) ? 0.0L : std::clamp(at, 0.0L, width)));
    }
}

std::optional<FrequencyAxis> rtaFrequencyAxis(double xAxisMin, double xAxisMax,
                                              const RtaGeometry& g)
{
    return frequencyAxis(xAxisMin, xAxisMax, plotWidth(g));
}

int curvePoints(const BinArray& borders, const BinArray& levels, int bands,
                const std::optional<FrequencyAxis>& axis, const LevelScale& scale,
                const RtaGeometry& g, CoordArray& out, double shiftDb)
{
    const auto n = static_cast<std::size_t>(std::clamp(bands, 0, kBinArraySize));
    layOutBandColumns(std::span(borders).first(n), axis, g, out[0]);
    const std::int32_t bottom = bottomRow(g);
    auto& y = out[1];
    if (n > 0)
        y[0] = bottom;
    int failed = 0;
    for (std::size_t j = 1; j < n; ++j) {
        const auto row = levelRow(static_cast<long double>(levels[j]) + shiftDb, scale, bottom);
        if (!row)
            ++failed;
        y[j] = row.value_or(y[j - 1]);
    }
    return failed;
}

} // namespace engine
