#pragma once
// The texts the axis fields start with: the octave-band view's default scale, 20 dB to 100 dB in
// steps of 10 dB over 20 Hz to 20 kHz.

#include <QString>

namespace settings {

inline constexpr const char* kYAxisMaxStart = "100";
inline constexpr const char* kYAxisMinStart = "20";
inline constexpr const char* kYAxisStepStart = "10";
inline constexpr const char* kXAxisMaxStart = "20000";
inline constexpr const char* kXAxisMinStart = "20";

inline QString startText(const char* text)
{
    return QLatin1String(text);
}

} // namespace settings
