#pragma once
// The curves of the FFT page on the graph box's canvas: the live spectrum of
// a block, drawn over the grid restored from its snapshot, and the second
// curves (the peak hold, the stored spectra) over what the graph shows. Points are pixels of the
// graph: row 0 of a CoordArray the x, row 1 the y of each bin; whatever falls outside the graph is
// clipped. UI thread only.

#include "canvas.h"
#include "trace_eraser.h"

#include "engine/colour.h"
#include "engine/types.h"

namespace display {

// Restores the whole graph from `snapshot`, then joins points 0 .. count - 1
// in black, each segment leaving out its end pixel. A count above the array
// size is taken as the array size; below 1 only the erase happens. `eraser`
// holds what the last curves drew on `graph`, so the restore copies only
// those pixels.
void drawFftCurve(Canvas& graph, const Canvas& snapshot, const engine::CoordArray& points,
                  int count, TraceEraser& eraser);

// Joins points 0 .. count - 1 in `colour` over what the graph shows, each
// segment leaving out its end pixel: a second curve, such as the peak hold.
// The pixels it sets are noted in `eraser`, so the next erase takes them.
void drawFftPolyline(Canvas& graph, const engine::CoordArray& points, int count,
                     engine::TColor colour, TraceEraser& eraser);
// The same, noting nothing: for curves that belong to what the live curve is
// drawn over (the stored ones), drawn after the eraser was told to forget.
void drawFftPolyline(Canvas& graph, const engine::CoordArray& points, int count,
                     engine::TColor colour);

// The peak-hold curve's colour: a red that reads beside the black live curve.
inline constexpr engine::TColor kFftHoldColour = engine::RGB(208, 0, 0);

} // namespace display
