#include "legend_layout.h"

#include <algorithm>
#include <array>

namespace display {
namespace {

// Length of [a, b) (either order) inside [lo, hi).
long long overlap(int a, int b, int lo, int hi)
{
    if (a > b)
        std::swap(a, b);
    return std::max(0, std::min(b, hi) - std::max(a, lo));
}

} // namespace

long long hiddenPixels(const Rect& box, std::span<const DrawnCurve> curves)
{
    long long hidden = 0;
    for (const DrawnCurve& c : curves) {
        if (!c.points)
            continue;
        const auto& x = (*c.points)[0];
        const auto& y = (*c.points)[1];
        const int n = std::clamp(c.bands, 0, engine::kBinArraySize);
        for (int k = 0; k + 2 <= n; ++k) {
            const auto i = static_cast<std::size_t>(k);
            if (y[i + 1] >= box.Top && y[i + 1] < box.Bottom)
                hidden += overlap(x[i], x[i + 1], box.Left, box.Right);
            if (k > 0 && x[i] >= box.Left && x[i] < box.Right)
                hidden += overlap(y[i], y[i + 1], box.Top, box.Bottom);
        }
    }
    return hidden;
}

Rect placeLegend(int width, int height, int graphWidth, int graphHeight,
                 std::span<const DrawnCurve> curves, int inset)
{
    const int right = std::max(inset, graphWidth - inset - width);
    const int bottom = std::max(inset, graphHeight - inset - height);
    const std::array<Rect, 4> corners = {
        Rect(right, inset, right + width, inset + height),
        Rect(inset, inset, inset + width, inset + height),
        Rect(right, bottom, right + width, bottom + height),
        Rect(inset, bottom, inset + width, bottom + height),
    };
    Rect best = corners[0];
    long long fewest = hiddenPixels(best, curves);
    for (std::size_t c = 1; c < corners.size(); ++c) {
        const long long hidden = hiddenPixels(corners[c], curves);
        if (hidden < fewest) {
            fewest = hidden;
            best = corners[c];
        }
    }
    return best;
}

} // namespace display
