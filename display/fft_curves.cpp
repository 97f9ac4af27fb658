#include "fft_curves.h"

#include <algorithm>

namespace display {
namespace {

int pointsIn(const engine::CoordArray& points, int count)
{
    return std::clamp(count, 0, static_cast<int>(points[0].size()));
}

} // namespace

void drawFftCurve(Canvas& graph, const Canvas& snapshot, const engine::CoordArray& points,
                  int count)
{
    const int w = graph.width();
    const int h = graph.height();
    graph.CopyRect(Rect(0, 0, w, h), snapshot, Rect(0, 0, w, h));
    drawFftPolyline(graph, points, count, engine::clBlack);
}

void drawFftPolyline(Canvas& graph, const engine::CoordArray& points, int count,
                     engine::TColor colour)
{
    const int n = pointsIn(points, count);
    if (n < 1)
        return;
    const auto& x = points[0];
    const auto& y = points[1];
    graph.setPenColor(colour);
    graph.MoveTo(x[0], y[0]);
    for (int i = 1; i < n; ++i)
        graph.LineTo(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]);
}

} // namespace display
