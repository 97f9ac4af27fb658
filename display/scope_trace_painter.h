#pragma once
// Draws one block's oscilloscope trace, computed by engine::computeScopeTrace,
// onto the screen canvas: for every step the strip of columns x0 .. x1 - 1 is
// restored from the empty grid, then the trace is drawn into it, lines
// leaving out their end pixel. Nothing is cleared first, so the screen never
// shows a blank frame. UI thread only.

#include "canvas.h"
#include "trace_eraser.h"

#include "engine/colour.h"
#include "engine/scope_trace.h"

namespace display {

// The trace's pen, and the trigger markers' colour.
inline constexpr engine::TColor kScopeTraceColour = engine::RGB(0, 255, 0);
inline constexpr engine::TColor kScopeMarkerColour = engine::RGB(255, 255, 0);

// Staircase: at x0 the trace goes down (or up) to the step's row and across
// to x1. Lines: from the previous sample's point at x0 straight to the
// step's at x1.
enum class ScopeTraceStyle { Staircase = 0, Lines = 1 };

// `grid` holds the empty grid at the screen's size (`height` rows are wiped
// per strip). Where a column holds several samples (xStep below 1), each
// step's column also shows the range of its samples, rowHigh to rowLow.
// Leaves the screen's pen green, at the last step's end. `eraser` holds what
// the last traces drew on `screen`, so a strip's restore copies only those
// pixels.
void drawScopeTrace(Canvas& screen, const Canvas& grid, int height, const engine::ScopeTrace& trace,
                    TraceEraser& eraser, ScopeTraceStyle style = ScopeTraceStyle::Staircase);

// The trigger's marks, painted into the grid image so that the trace's wipe
// keeps them: a small arrow on the left edge pointing at `levelRow` and one
// on the top edge pointing down at `positionColumn`.
void paintScopeTriggerMarkers(Canvas& grid, int levelRow, int positionColumn);

} // namespace display
