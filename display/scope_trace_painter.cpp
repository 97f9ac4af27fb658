#include "scope_trace_painter.h"

namespace display {

void drawScopeTrace(Canvas& screen, const Canvas& grid, int height, const engine::ScopeTrace& trace,
                    TraceEraser& eraser)
{
    screen.setPenColor(kScopeTraceColour);
    screen.MoveTo(0, trace.startRow);
    for (int i = 0; i < trace.count; ++i) {
        const engine::ScopeStep& s = trace.steps[static_cast<std::size_t>(i)];
        eraser.erase(screen, grid, QPoint(0, 0), s.x0, s.x1, height);
        eraser.lineTo(screen, s.x0, s.row);
        eraser.lineTo(screen, s.x1, s.row);
    }
}

} // namespace display
