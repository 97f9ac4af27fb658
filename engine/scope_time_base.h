#pragma once
// The oscilloscope's time bases: seconds per division for slider positions 1
// to 15 (the slider offers 1 to 10), their labels, and the two values the
// time-base change sets: CurrtDiv, which the trace reads, and ScopeBuffersize.

#include "measurement_state.h"

#include <array>
#include <string>
#include <string_view>

namespace engine {

inline constexpr int kTimeBasePositions = 15;

// Entry p - 1 belongs to position p. 32-bit floats: the position's CurrtDiv
// is the float (0.0001 is 9.99999974737875e-5), not the decimal.
inline constexpr std::array<float, kTimeBasePositions> TimeBase = {
    0.0001f, 0.0002f, 0.0005f, 0.001f, 0.002f, 0.005f, 0.01f, 0.02f,
    0.05f,   0.1f,    0.2f,    0.5f,   1.0f,   2.0f,   5.0f,
};

// UTF-8 texts; "/div" follows them on the page.
inline constexpr std::array<std::string_view, kTimeBasePositions> TimeBaseLabel = {
    "100\u00B5s", "200\u00B5s", "500\u00B5s", "1ms",   "2ms", "5ms", "10ms", "20ms",
    "50ms",       "100ms",      "200ms",      "500ms", "1s",  "2s",  "5s",
};

// The time-base change for position 1 .. 15: CurrtDiv = TimeBase of the
// position (widened to 64 bits), ScopeBuffersize = Round(frameRate x CurrtDiv
// x 10) samples across the screen (48 at position 1, 48000 at 10). Any other
// position changes nothing and returns false.
bool applyTimeBase(MeasurementState& state, int position, int frameRate = kFrameRate);

// The label text of position 1 .. 15 followed by "/div" ("500µs/div"); empty
// for any other position.
std::string timeBaseCaption(int position);

} // namespace engine
