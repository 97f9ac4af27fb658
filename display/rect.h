#pragma once
// A rectangle given by two corners, as the drawing calls take it: Left and Top
// inclusive, Right and Bottom exclusive, in pixels. Unlike QRect there is no
// "right() = left + width - 1" convention to trip over.

namespace display {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom)
    {
    }
    constexpr int width() const { return Right - Left; }
    constexpr int height() const { return Bottom - Top; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

} // namespace display
