#pragma once
// The two ways a computed value becomes an integer (a pixel, a sample count):
// rounding to nearest with halves to even, and truncation toward zero. Both
// refuse values that are not finite or do not fit in 32 bits, so no infinity
// or NaN is ever converted.
//
// Rounding follows the current floating-point rounding mode, which the
// program never changes from round-to-nearest.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace engine {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -0.5 -> -0).
inline long double roundHalfEven(long double v)
{
    return std::nearbyint(v);
}

// True when the integral value v is a 32-bit integer.
inline bool fitsInt32(long double v)
{
    return v >= static_cast<long double>(std::numeric_limits<std::int32_t>::min()) &&
           v <= static_cast<long double>(std::numeric_limits<std::int32_t>::max());
}
// The same for a double, whose compare needs no extended precision: both
// limits are doubles exactly. The curve of a spectrum asks this for each point.
inline bool fitsInt32(double v)
{
    return v >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
           v <= static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

// v rounded halves to even, or nothing when v is not finite or out of range.
inline std::optional<std::int32_t> roundToInt32(long double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const long double r = roundHalfEven(v);
    if (!fitsInt32(r))
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

// v truncated toward zero, or nothing when v is not finite or out of range.
inline std::optional<std::int32_t> truncToInt32(long double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const long double t = std::trunc(v);
    if (!fitsInt32(t))
        return std::nullopt;
    return static_cast<std::int32_t>(t);
}

// v as a 32-bit float, or nothing when v is not finite or beyond the float
// range (where the conversion would be undefined).
inline std::optional<float> narrowToFloat(long double v)
{
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(v);
}

} // namespace engine
