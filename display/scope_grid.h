#pragma once
// The oscilloscope's 10 x 10 division grid: where its cells lie and how it is
// painted into a canvas (the off-screen copy the trace is wiped from).
// UI thread only.

#include "canvas.h"
#include "rect.h"

#include "engine/colour.h"

namespace display {

inline constexpr int kScopeDivisions = 10;

// Cell fill and grid lines.
inline constexpr engine::TColor kScopeCellColour = engine::RGB(0, 0, 0);
inline constexpr engine::TColor kScopeGridColour = engine::RGB(0, 128, 0);

// The pitch of one division of a screen `extent` pixels wide (or high), kept
// as a 32-bit float: 40.1 is 40.099998474121094 for the 401-pixel screen.
float scopeGridPitch(int extent);

// Cell (column, row), 0 .. 9 each, as the rectangle its outline is drawn
// with (right and bottom exclusive): one pixel larger than the pitch, so the
// outlines of neighbouring cells share a line. Corners round halves to even.
Rect scopeGridCell(int column, int row, float pitchX, float pitchY);

// Paints the grid of a width x height screen into `canvas` from its top-left
// corner: black cells outlined in dark green. Leaves the brush solid black
// and the pen dark green. On the 401-pixel screen the lines lie on 0, 40, 80,
// 120, 160, 200, 241, 281, 321 and 361; none on the last column or row.
void paintScopeGrid(Canvas& canvas, int width, int height);

} // namespace display
