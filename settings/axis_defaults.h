#pragma once
// The texts the axis fields start with: the octave-band view's default scale, -100 dB to 0 dB
// (dBFS, the reference a new store starts with) in steps of 10 dB over 20 Hz to 20 kHz.

#include <QString>

namespace settings {

inline constexpr const char* kYAxisMaxStart = "0";
inline constexpr const char* kYAxisMinStart = "-100";
inline constexpr const char* kYAxisStepStart = "10";
inline constexpr const char* kXAxisMaxStart = "20000";
inline constexpr const char* kXAxisMinStart = "20";

inline QString startText(const char* text)
{
    return QLatin1String(text);
}

} // namespace settings
