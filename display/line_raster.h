#pragma once
// Integer line rasterisation into a 32-bit pixel buffer, clipped without
// walking the invisible part: a line to a row millions of pixels away costs
// no more than its visible pixels.

#include <QRect>

#include <cstdint>

namespace display {

// Sets the pixels of the line from (x0, y0) towards (x1, y1), leaving out the
// end pixel, that lie inside `clip` (which must lie inside the buffer).
// Pixels are those of the classic midpoint (Bresenham) walk along the major
// axis, a tie going to the row or column of the start; they do not depend on
// `clip`. `stride` is the buffer's row length in pixels, `pitch` the buffer
// pixels from one column to the next (above 1 to set every pitch-th pixel of
// a finer buffer). Returns a rectangle inside `clip` that holds every pixel
// set, at most the end pixel larger than their bounding box (empty if none
// was set).
QRect rasterLine(std::uint32_t* bits, std::int64_t stride, const QRect& clip, std::int64_t x0,
                 std::int64_t y0, std::int64_t x1, std::int64_t y1, std::uint32_t colour,
                 std::int64_t pitch = 1);

} // namespace display
