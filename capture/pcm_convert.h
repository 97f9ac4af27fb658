#pragma once
// Conversion of float frames (full scale +-1.0) to the PCM of a capture format.
// Allocates nothing; safe on a device thread.

#include <cstddef>
#include <cstdint>

namespace capture {

// 16-bit signed little-endian: round(x * 32768), clipped to -32768..32767.
// Exact for inputs that came from 16-bit samples. A NaN gives 0 and an
// infinity full scale; returns how many inputs were not finite.
std::size_t floatToPcm16(const float* in, std::size_t count, std::uint8_t* out) noexcept;
// 8-bit unsigned: round(x * 128) + 128, clipped to 0..255, the same for
// inputs that are not finite.
std::size_t floatToPcm8(const float* in, std::size_t count, std::uint8_t* out) noexcept;

} // namespace capture
