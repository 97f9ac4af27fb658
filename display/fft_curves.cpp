#include "fft_curves.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace display {
namespace {

int pointsIn(const engine::CoordArray& points, int count)
{
    return std::clamp(count, 0, static_cast<int>(points[0].size()));
}

// Joins the points; `lineTo(x, y)` draws from the pen position.
template <typename LineTo>
void polyline(Canvas& graph, const engine::CoordArray& points, int count, engine::TColor colour,
              LineTo lineTo)
{
    const int n = pointsIn(points, count);
    if (n < 1)
        return;
    const auto& x = points[0];
    const auto& y = points[1];
    graph.setPenColor(colour);
    graph.MoveTo(x[0], y[0]);
    for (std::size_t i = 1; i < static_cast<std::size_t>(n);) {
        const int column = x[i - 1];
        if (x[i] != column) {
            lineTo(x[i], y[i]);
            ++i;
            continue;
        }
        // Several bins share most columns. Their vertical segments, each
        // without its end pixel, join into one run of rows: one line sets it.
        std::int64_t top = INT64_MAX;
        std::int64_t bottom = INT64_MIN;
        std::int64_t from = y[i - 1];
        for (; i < static_cast<std::size_t>(n) && x[i] == column; ++i) {
            const std::int64_t to = y[i];
            if (to == from)
                continue;
            const std::int64_t last = to > from ? to - 1 : to + 1;
            top = std::min({top, from, last});
            bottom = std::max({bottom, from, last});
            from = to;
        }
        if (top <= bottom) {
            // Rows beyond the graph are never set: clamped, so no row overflows.
            const std::int64_t limit = graph.height();
            graph.MoveTo(column, static_cast<int>(std::clamp<std::int64_t>(top, -1, limit)));
            lineTo(column, static_cast<int>(std::clamp<std::int64_t>(bottom, -1, limit) + 1));
        }
        graph.MoveTo(column, static_cast<int>(from));
    }
}

} // namespace

void drawFftCurve(Canvas& graph, const Canvas& snapshot, const engine::CoordArray& points,
                  int count, TraceEraser& eraser)
{
    eraser.eraseAll(graph, snapshot, graph.height());
    drawFftPolyline(graph, points, count, engine::clBlack, eraser);
}

void drawFftPolyline(Canvas& graph, const engine::CoordArray& points, int count,
                     engine::TColor colour, TraceEraser& eraser)
{
    polyline(graph, points, count, colour,
             [&graph, &eraser](int x, int y) { eraser.lineTo(graph, x, y); });
}

void drawFftPolyline(Canvas& graph, const engine::CoordArray& points, int count,
                     engine::TColor colour)
{
    polyline(graph, points, count, colour, [&graph](int x, int y) { graph.LineTo(x, y); });
}

} // namespace display
