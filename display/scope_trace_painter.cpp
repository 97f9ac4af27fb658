#include "scope_trace_painter.h"

namespace display {

void drawScopeTrace(Canvas& screen, const Canvas& grid, int height, const engine::ScopeTrace& trace)
{
    screen.setPenColor(kScopeTraceColour);
    screen.MoveTo(0, trace.startRow);
    for (int i = 0; i < trace.count; ++i) {
        const engine::ScopeStep& s = trace.steps[static_cast<std::size_t>(i)];
        const Rect strip(s.x0, 0, s.x1, height);
        screen.CopyRect(strip, grid, strip);
        screen.LineTo(s.x0, s.row);
        screen.LineTo(s.x1, s.row);
    }
}

} // namespace display
