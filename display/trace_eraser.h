#pragma once
// Erases a live trace (a page's curve of the last block) by restoring only the
// pixels it drew, instead of whole columns, from the background image it was
// drawn over. It remembers, per pixel column of the screen canvas, the rows
// that drawing noted since the column was last restored. Restoring those rows
// gives the same picture as restoring the whole column as long as nothing but
// noted drawing has touched the canvas since the last forget(); whoever draws
// anything else onto it (a paint handler, a resize) calls forget(), and the
// next erase restores whole columns. The screen's changed box then covers the
// trace alone, so a block repaints little more than the curve itself.
//
// UI thread only; allocates once, at construction.

#include "canvas.h"

#include <QPoint>

#include <climits>
#include <cstdint>
#include <vector>

namespace display {

class TraceEraser {
public:
    // Columns beyond this are always restored whole.
    static constexpr int kMaxColumns = 4096;

    TraceEraser();

    // Nothing is known about the canvas: the next erase restores whole columns.
    void forget();

    // Restores columns x0 .. x1 - 1 of `screen`, rows 0 .. height - 1, from
    // `background`, whose pixel (x + offset.x, y + offset.y) lies under the
    // screen's pixel (x, y): in each column the rows noted since its last
    // restore (all of them when nothing is known), in rectangles that may take
    // in rows of neighbouring columns that hold the background already. The
    // columns are then clean.
    void erase(Canvas& screen, const Canvas& background, QPoint offset, int x0, int x1, int height);
    // The whole width of `screen`.
    void eraseAll(Canvas& screen, const Canvas& background, int height)
    {
        erase(screen, background, QPoint(0, 0), 0, screen.width(), height);
    }

    // Draws a line from the screen's pen position to (x, y), as Canvas::LineTo,
    // and notes the pixels it may have set.
    void lineTo(Canvas& screen, int x, int y);

private:
    struct Span {
        std::int32_t top;    // kUnknown: anything may have been drawn
        std::int32_t bottom; // inclusive; below top when the column is clean
    };
    static constexpr std::int32_t kUnknown = INT32_MIN;
    // What copying one row of a rectangle costs beyond its pixels, counted in
    // pixels of a row's run: the call and the two cache lines it starts on.
    // The page benchmarks barely tell 8 from 128; a column walked alone costs
    // as much per pixel as such a row.
    static constexpr int kRowCost = 32;
    // Nothing drawn: any noted rows make it their own span.
    static constexpr Span kCleanSpan{INT32_MAX, INT32_MIN + 1};

    void note(int left, int right, int top, int bottom);

    std::vector<Span> columns_;
};

} // namespace display
