#include "scope_grid.h"

#include "engine/rounding.h"

#include <cstdint>
#include <limits>

namespace display {
namespace {

// Grid corners are a few hundred pixels at most; a value beyond int range
// (a screen no one builds) is pinned rather than converted undefined.
int roundCorner(long double v)
{
    return engine::roundToInt32(v).value_or(v < 0 ? std::numeric_limits<std::int32_t>::min()
                                                  : std::numeric_limits<std::int32_t>::max());
}

} // namespace

float scopeGridPitch(int extent)
{
    return static_cast<float>(static_cast<long double>(extent) / kScopeDivisions);
}

Rect scopeGridCell(int column, int row, float pitchX, float pitchY)
{
    const long double w = pitchX;
    const long double h = pitchY;
    const long double left = column * w;
    const long double top = row * h;
    return Rect(roundCorner(left), roundCorner(top), roundCorner(left + (w + 1)),
                roundCorner(top + (h + 1)));
}

void paintScopeGrid(Canvas& canvas, int width, int height)
{
    const float w = scopeGridPitch(width);
    const float h = scopeGridPitch(height);
    canvas.setBrushStyle(BrushStyle::Solid);
    for (int y = 0; y < kScopeDivisions; ++y) {
        canvas.setBrushColor(kScopeCellColour);
        canvas.setPenColor(kScopeGridColour);
        for (int x = 0; x < kScopeDivisions; ++x) {
            const Rect cell = scopeGridCell(x, y, w, h);
            canvas.Rectangle(cell.Left, cell.Top, cell.Right, cell.Bottom);
        }
    }
}

} // namespace display
