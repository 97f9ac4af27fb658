#include "trace_eraser.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace display {

TraceEraser::TraceEraser() : columns_(kMaxColumns)
{
    forget();
}

void TraceEraser::forget()
{
    std::fill(columns_.begin(), columns_.end(), Span{kUnknown, 0});
}

void TraceEraser::erase(Canvas& screen, const Canvas& background, QPoint offset, int x0, int x1,
                        int height)
{
    if (height <= 0)
        return;
    // The rows column c needs restored, as [top, bottom).
    auto rowsOf = [&](int c, int& top, int& bottom) {
        if (c >= kMaxColumns || columns_[static_cast<std::size_t>(c)].top == kUnknown) {
            top = 0;
            bottom = height;
            return;
        }
        const Span& s = columns_[static_cast<std::size_t>(c)];
        top = std::max(s.top, 0);
        bottom = static_cast<int>(std::min<std::int64_t>(std::int64_t(s.bottom) + 1, height));
    };
    // Pixels outside the screen are never drawn, so their columns need nothing.
    const int last = std::min(x1, screen.width());
    for (int c = std::max(x0, 0); c < last;) {
        int top = 0;
        int bottom = 0;
        rowsOf(c, top, bottom);
        int end = c + 1;
        if (top < bottom) {
            // Neighbouring columns go in one rectangle while that costs less
            // than copying them apart: a copied row costs about kRowCost
            // pixels of a row's run, a column walked alone a row per pixel.
            for (int t = 0, b = 0; end < last; ++end) {
                rowsOf(end, t, b);
                if (t >= b)
                    break;
                const int width = end - c;
                const int mergedTop = std::min(top, t);
                const int mergedBottom = std::max(bottom, b);
                const std::int64_t apart = std::int64_t(bottom - top) * (kRowCost + width) +
                                           std::int64_t(b - t) * (kRowCost + 1);
                const std::int64_t together =
                    std::int64_t(mergedBottom - mergedTop) * (kRowCost + width + 1);
                if (together > apart)
                    break;
                top = mergedTop;
                bottom = mergedBottom;
            }
            // Rows beyond what a column needs hold the background already.
            screen.CopyRect(
                Rect(c, top, end, bottom), background,
                Rect(c + offset.x(), top + offset.y(), end + offset.x(), bottom + offset.y()));
        }
        for (int k = c; k < std::min(end, kMaxColumns); ++k)
            columns_[static_cast<std::size_t>(k)] = kCleanSpan;
        c = end;
    }
}

void TraceEraser::lineTo(Canvas& screen, int x, int y)
{
    const QPoint from = screen.penPos();
    screen.LineTo(x, y);
    if (from == QPoint(x, y))
        return; // sets nothing
    int left = std::min(from.x(), x);
    int right = std::max(from.x(), x);
    int top = std::min(from.y(), y);
    int bottom = std::max(from.y(), y);
    // An axis-parallel line leaves out exactly its end pixel.
    if (from.y() == y) {
        if (x > from.x())
            right = x - 1;
        else
            left = x + 1;
    } else if (from.x() == x) {
        if (y > from.y())
            bottom = y - 1;
        else
            top = y + 1;
    }
    note(left, right, top, bottom);
}

void TraceEraser::note(int left, int right, int top, int bottom)
{
    for (int c = std::max(left, 0); c <= std::min(right, kMaxColumns - 1); ++c) {
        Span& s = columns_[static_cast<std::size_t>(c)];
        if (s.top == kUnknown)
            continue;
        s.top = std::min<std::int32_t>(s.top, top);
        s.bottom = std::max<std::int32_t>(s.bottom, bottom);
    }
}

} // namespace display
