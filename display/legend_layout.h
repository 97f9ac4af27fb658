#pragma once
// Where the RTA graph's legend goes: the corner of the graph where it hides
// the fewest pixels of the curves drawn. Pure maths on the curves' points,
// no painting; any thread.

#include "rect.h"

#include "engine/types.h"

#include <span>

namespace display {

// One curve as drawn (points laid out by engine/rta_curve.h, steps between
// x[i] and x[i+1] at row y[i+1], risers at x[i]), bands entries valid.
struct DrawnCurve {
    const engine::CoordArray* points = nullptr;
    int bands = 0;
};

// How many pixels of the curves' steps and risers lie inside `box`.
long long hiddenPixels(const Rect& box, std::span<const DrawnCurve> curves);

// The legend's place, a box of the given size `inset` pixels in from one of
// the four corners of a graph graphWidth x graphHeight: the corner that hides
// the fewest curve pixels, the first of top right, top left, bottom right,
// bottom left on a tie.
Rect placeLegend(int width, int height, int graphWidth, int graphHeight,
                 std::span<const DrawnCurve> curves, int inset = 4);

} // namespace display
