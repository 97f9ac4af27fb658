#pragma once
// Colour values as the settings store and the memories keep them: 0x00BBGGRR
// (red in the low byte), or 0xFF000000 + n for system colour n of the desktop.

#include <cstdint>

namespace engine {

using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

inline constexpr TColor kSystemColourFlag = 0xFF000000u;
inline constexpr TColor clBtnFace = kSystemColourFlag | 15u;
inline constexpr TColor clWindowText = kSystemColourFlag | 8u;

inline constexpr TColor clBlack = RGB(0, 0, 0);
inline constexpr TColor clWhite = RGB(255, 255, 255);

constexpr bool isSystemColour(TColor c)
{
    return (c & 0xFF000000u) == kSystemColourFlag;
}

} // namespace engine
