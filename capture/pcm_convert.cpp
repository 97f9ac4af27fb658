#include "pcm_convert.h"

#include <cmath>

namespace capture {
namespace {

// Rounds a value within +-2^51 to the nearest integer, halves to even, as
// std::nearbyint does under the default rounding mode: adding 1.5 x 2^52
// leaves no bits below the unit, and the addition rounds so. Inline, where
// nearbyint is a library call per sample on a baseline x86-64.
inline double roundHalfEven(double v)
{
    constexpr double kShift = 0x1.8p52;
    // Without -ffast-math the compiler keeps both operations.
    return (v + kShift) - kShift;
}

// A sample that is not a number would reach an undefined float-to-integer conversion: silence
// instead. Infinities are clipped like any other sample beyond full scale.
bool repair(double& v) noexcept
{
    if (std::isnan(v)) {
        v = 0.0;
        return true;
    }
    return std::isinf(v);
}

} // namespace

std::size_t floatToPcm16(const float* in, std::size_t count, std::uint8_t* out) noexcept
{
    std::size_t repaired = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // Clamped before the rounding, which ends the same, so it stays in range.
        double v = static_cast<double>(in[i]) * 32768.0;
        repaired += repair(v);
        v = v < -32768.0 ? -32768.0 : (v > 32767.0 ? 32767.0 : v);
        v = roundHalfEven(v);
        const auto s = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        out[2 * i] = static_cast<std::uint8_t>(s & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(s >> 8);
    }
    return repaired;
}

std::size_t floatToPcm8(const float* in, std::size_t count, std::uint8_t* out) noexcept
{
    std::size_t repaired = 0;
    for (std::size_t i = 0; i < count; ++i) {
        double v = static_cast<double>(in[i]) * 128.0;
        repaired += repair(v);
        v = std::nearbyint(v) + 128.0;
        v = v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
        out[i] = static_cast<std::uint8_t>(v);
    }
    return repaired;
}

} // namespace capture
