#include "scope_trace_painter.h"

namespace display {

void drawScopeTrace(Canvas& screen, const Canvas& grid, int height, const engine::ScopeTrace& trace,
                    TraceEraser& eraser, ScopeTraceStyle style)
{
    const bool envelope = trace.xStep < 1.0f;
    screen.setPenColor(kScopeTraceColour);
    screen.MoveTo(0, trace.startRow);
    // A slanted line can set pixels in its end column, the next step's strip:
    // each one is drawn once that strip has been wiped.
    QPoint lineFrom, lineTo;
    bool pending = false;
    auto drawPending = [&] {
        if (!pending)
            return;
        screen.MoveTo(lineFrom.x(), lineFrom.y());
        eraser.lineTo(screen, lineTo.x(), lineTo.y());
    };
    int previousRow = trace.startRow;
    for (int i = 0; i < trace.count; ++i) {
        const engine::ScopeStep& s = trace.steps[static_cast<std::size_t>(i)];
        eraser.erase(screen, grid, QPoint(0, 0), s.x0, s.x1, height);
        if (envelope && s.rowLow > s.rowHigh) {
            const QPoint pen = screen.penPos();
            screen.MoveTo(s.x0, s.rowHigh);
            eraser.lineTo(screen, s.x0, s.rowLow + 1);
            screen.MoveTo(pen.x(), pen.y());
        }
        if (style == ScopeTraceStyle::Staircase) {
            eraser.lineTo(screen, s.x0, s.row);
            eraser.lineTo(screen, s.x1, s.row);
        } else {
            drawPending();
            lineFrom = QPoint(s.x0, previousRow);
            lineTo = QPoint(s.x1, s.row);
            pending = true;
        }
        previousRow = s.row;
    }
    drawPending();
}

void paintScopeTriggerMarkers(Canvas& grid, int levelRow, int positionColumn)
{
    grid.setPenColor(kScopeMarkerColour);
    for (int d = -4; d <= 4; ++d) {
        const int reach = 6 - (d < 0 ? -d : d);
        grid.MoveTo(0, levelRow + d);
        grid.LineTo(reach, levelRow + d);
        grid.MoveTo(positionColumn + d, 0);
        grid.LineTo(positionColumn + d, reach);
    }
}

} // namespace display
