#pragma once
// Draws one block's oscilloscope trace, computed by engine::computeScopeTrace,
// onto the screen canvas: for every step the strip of columns x0 .. x1 - 1 is
// restored from the empty grid, then the trace goes down (or up) to the
// step's row at x0 and across to x1, lines leaving out their end pixel.
// Nothing is cleared first, so the screen never shows a blank frame.
// UI thread only.

#include "canvas.h"
#include "trace_eraser.h"

#include "engine/colour.h"
#include "engine/scope_trace.h"

namespace display {

// The trace's pen.
inline constexpr engine::TColor kScopeTraceColour = engine::RGB(0, 255, 0);

// `grid` holds the empty grid at the screen's size (`height` rows are wiped
// per strip). Leaves the screen's pen green, at the last step's end.
// `eraser` holds what the last traces drew on `screen`, so a strip's restore
// copies only those pixels.
void drawScopeTrace(Canvas& screen, const Canvas& grid, int height, const engine::ScopeTrace& trace,
                    TraceEraser& eraser);

} // namespace display
