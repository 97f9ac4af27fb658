#include "line_raster.h"

#include <algorithm>

namespace display {
namespace {

// Smallest integer >= a / b, for b > 0.
template <typename Wide>
Wide ceilDiv(Wide a, Wide b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// One axis of the line: the start, the direction and the allowed range.
struct Axis {
    std::int64_t start;
    int dir;
    std::int64_t extent; // |end - start|
    std::int64_t lo;     // clip, inclusive
    std::int64_t hi;
};

// The steps k (>= 0) for which start + dir*k lies in [lo, hi].
template <typename Wide>
void stepsInside(const Axis& a, Wide& first, Wide& last)
{
    if (a.dir > 0) {
        first = Wide(a.lo) - a.start;
        last = Wide(a.hi) - a.start;
    } else {
        first = Wide(a.start) - a.hi;
        last = Wide(a.start) - a.lo;
    }
}

// The midpoint walk: `count` pixels from `p`, one major step each, a minor
// step whenever the error `r` (in units of 1/(2*da)) reaches 2*da.
inline void plot(std::uint32_t* p, std::int64_t majorStep, std::int64_t minorStep,
                 std::int64_t count, std::int64_t r, std::int64_t twoDa, std::int64_t twoDb,
                 std::uint32_t colour)
{
    // The pointer never moves past the last pixel.
    for (std::int64_t left = count - 1;; --left) {
        *p = colour;
        if (left == 0)
            break;
        p += majorStep;
        r += twoDb;
        if (r >= twoDa) {
            r -= twoDa;
            p += minorStep;
        }
    }
}

// `Wide` must hold 4 * extent^2 of the line without overflow.
template <typename Wide>
QRect rasterLineIn(std::uint32_t* bits, std::int64_t stride, const QRect& clip, std::int64_t x0,
                   std::int64_t y0, std::int64_t x1, std::int64_t y1, std::uint32_t colour,
                   std::int64_t pitch)
{
    const std::int64_t dx = x1 >= x0 ? x1 - x0 : x0 - x1;
    const std::int64_t dy = y1 >= y0 ? y1 - y0 : y0 - y1;
    const Axis ax{x0, x1 >= x0 ? 1 : -1, dx, clip.left(), clip.right()};
    const Axis ay{y0, y1 >= y0 ? 1 : -1, dy, clip.top(), clip.bottom()};
    const bool xMajor = dx >= dy;
    const Axis& major = xMajor ? ax : ay;
    const Axis& minor = xMajor ? ay : ax;
    const Wide da = major.extent; // >= 1
    const Wide db = minor.extent; // <= da

    // Step i sets the pixel major.start + dir*i, minor.start + dir*q(i) with
    // q(i) = floor((2*i*db + da - 1) / (2*da)): i*db/da rounded, half down.
    Wide lo = 0;
    Wide hi = da - 1;
    Wide first, last;
    stepsInside<Wide>(major, first, last);
    lo = std::max(lo, first);
    hi = std::min(hi, last);
    Wide qFirst, qLast;
    stepsInside<Wide>(minor, qFirst, qLast);
    if (qLast < 0 || qFirst > db)
        return {};
    if (db == 0) {
        if (qFirst > 0)
            return {};
    } else {
        if (qFirst > 0)
            lo = std::max(lo, ceilDiv<Wide>(2 * da * qFirst - da + 1, 2 * db));
        if (qLast < db)
            hi = std::min(hi, ceilDiv<Wide>(2 * da * qLast + da + 1, 2 * db) - 1);
    }
    if (lo > hi)
        return {};

    const Wide n = 2 * lo * db + da - 1;
    const std::int64_t q = std::int64_t(n / (2 * da));
    const std::int64_t r = std::int64_t(n % (2 * da));
    const std::int64_t twoDa = std::int64_t(2 * da);
    const std::int64_t twoDb = std::int64_t(2 * db);
    const std::int64_t a = major.start + major.dir * std::int64_t(lo);
    const std::int64_t b = minor.start + minor.dir * q;
    const std::int64_t px = xMajor ? a : b;
    const std::int64_t py = xMajor ? b : a;
    const std::int64_t majorStep = xMajor ? major.dir * pitch : major.dir * stride;
    const std::int64_t minorStep = xMajor ? minor.dir * stride : minor.dir * pitch;

    plot(bits + py * stride + px * pitch, majorStep, minorStep, std::int64_t(hi - lo) + 1, r, twoDa,
         twoDb, colour);
    const std::int64_t aEnd = major.start + major.dir * std::int64_t(hi);
    const std::int64_t bEnd =
        minor.start + minor.dir * std::int64_t((2 * hi * db + da - 1) / (2 * da));
    const std::int64_t exEnd = xMajor ? aEnd : bEnd;
    const std::int64_t eyEnd = xMajor ? bEnd : aEnd;
    return QRect(QPoint(int(std::min(px, exEnd)), int(std::min(py, eyEnd))),
                 QPoint(int(std::max(px, exEnd)), int(std::max(py, eyEnd))));
}

} // namespace

QRect rasterLine(std::uint32_t* bits, std::int64_t stride, const QRect& clip, std::int64_t x0,
                 std::int64_t y0, std::int64_t x1, std::int64_t y1, std::uint32_t colour,
                 std::int64_t pitch)
{
    if ((x0 == x1 && y0 == y1) || clip.isEmpty())
        return {};
    const auto inside = [&clip](std::int64_t x, std::int64_t y) {
        return x >= clip.left() && x <= clip.right() && y >= clip.top() && y <= clip.bottom();
    };
    if (inside(x0, y0) && inside(x1, y1)) {
        // Every pixel lies between the two ends: no clipping, no division.
        // Most segments of a curve are like this.
        const std::int64_t dx = x1 >= x0 ? x1 - x0 : x0 - x1;
        const std::int64_t dy = y1 >= y0 ? y1 - y0 : y0 - y1;
        const std::int64_t sx = x1 >= x0 ? pitch : -pitch;
        const std::int64_t sy = y1 >= y0 ? stride : -stride;
        const bool xMajor = dx >= dy;
        const std::int64_t da = xMajor ? dx : dy;
        plot(bits + y0 * stride + x0 * pitch, xMajor ? sx : sy, xMajor ? sy : sx, da, da - 1,
             2 * da, 2 * (xMajor ? dy : dx), colour);
        // The box of both ends: at most the end pixel more than was set.
        return QRect(QPoint(int(std::min(x0, x1)), int(std::min(y0, y1))),
                     QPoint(int(std::max(x0, x1)), int(std::max(y0, y1))));
    }
    // Screen-sized lines need no 128-bit arithmetic, which costs a library
    // call per division.
    constexpr std::int64_t kSmall = std::int64_t(1) << 28;
    const auto small = [](std::int64_t v) { return v > -kSmall && v < kSmall; };
    if (small(x0) && small(y0) && small(x1) && small(y1))
        return rasterLineIn<std::int64_t>(bits, stride, clip, x0, y0, x1, y1, colour, pitch);
    return rasterLineIn<__int128>(bits, stride, clip, x0, y0, x1, y1, colour, pitch);
}

} // namespace display
