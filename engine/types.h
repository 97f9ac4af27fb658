#pragma once
// Sizes and array types shared by the measurement, the displays and the
// memories.

#include <array>
#include <cstdint>

namespace engine {

// One block: 16384-byte buffers of 16-bit mono samples at 48000 frames/s.
inline constexpr int kBlockSamples = 8192;
inline constexpr int kBlockBytes = 2 * kBlockSamples;
inline constexpr int kFrameRate = 48000;

// Entries of a per-band list: 265 preferred frequencies cover 14 Hz to 28 kHz.
inline constexpr int kBinArraySize = 265;

// Samples the oscilloscope ring holds (4.59375 s at 48000 Hz).
inline constexpr int kScopeRingSize = 220500;

using BinArray = std::array<double, kBinArraySize>;

// Screen points of a curve, one per band or bin: row 0 the x pixels, row 1
// the y pixels.
using CoordArray = std::array<std::array<std::int32_t, kBlockSamples>, 2>;

} // namespace engine
