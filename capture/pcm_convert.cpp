#include "pcm_convert.h"

#include <cmath>

namespace capture {
namespace {

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
        double v = static_cast<double>(in[i]) * 32768.0;
        repaired += repair(v);
        v = std::nearbyint(v);
        v = v < -32768.0 ? -32768.0 : (v > 32767.0 ? 32767.0 : v);
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
