#pragma once
// The sixteen display colours, numbered 1 to 16, and their two preset sets. Values are
// engine::TColor (0x00BBGGRR, or 0xFF000000 + a system colour number). The application owns one
// table for the whole run; the settings dialog edits it and the octave-band display draws with
// entries 11 to 14. UI thread only.

#include "engine/colour.h"

#include <array>

namespace settings {

inline constexpr int kColourCount = 16;

// Entries 1..16; entry 0 is unused so that the numbers match the list and the stored names.
using ColourSet = std::array<engine::TColor, kColourCount + 1>;

// The entries a view draws with.
enum ColourEntry : int {
    BackgroundColour = 11,
    AxesColour = 12,
    GridColour = 13,
    AxesFontColour = 14,
    LegendBackgroundColour = 15,
    LegendTextColour = 16,
};

// What a first start shows: black background, bright green axes, green grid, white texts.
inline constexpr ColourSet kStandardColours = {
    0,
    engine::RGB(255, 0, 0),     // 1 red
    engine::RGB(0, 255, 255),   // 2 cyan
    engine::RGB(0, 255, 0),     // 3 bright green
    engine::RGB(0, 0, 255),     // 4 blue
    engine::RGB(255, 0, 255),   // 5 magenta
    engine::RGB(255, 255, 255), // 6 white
    engine::RGB(128, 128, 255), // 7 light blue
    engine::RGB(0, 128, 128),   // 8 teal
    engine::RGB(0, 0, 255),     // 9 blue
    engine::RGB(128, 0, 0),     // 10 maroon
    engine::RGB(0, 0, 0),       // 11 background: black
    engine::RGB(0, 255, 0),     // 12 axes: bright green
    engine::RGB(0, 128, 0),     // 13 grid: green
    engine::RGB(255, 255, 255), // 14 axis texts: white
    engine::RGB(0, 0, 0),       // 15 legend background: black
    engine::RGB(255, 255, 255), // 16 legend text: white
};

// Dark drawing on the desktop's own button face.
inline constexpr ColourSet kLightColours = {
    0,
    engine::RGB(255, 0, 0),     // 1 red
    engine::RGB(0, 128, 0),     // 2 green
    engine::RGB(128, 0, 0),     // 3 maroon
    engine::RGB(0, 0, 255),     // 4 blue
    engine::RGB(0, 255, 255),   // 5 cyan
    engine::RGB(128, 128, 128), // 6 grey
    engine::RGB(255, 0, 255),   // 7 magenta
    engine::RGB(0, 128, 128),   // 8 teal
    engine::RGB(0, 0, 128),     // 9 navy
    engine::RGB(128, 0, 0),     // 10 maroon
    engine::clBtnFace,          // 11 background
    engine::clWindowText,       // 12 axes
    engine::RGB(128, 128, 128), // 13 grid: grey
    engine::RGB(0, 0, 0),       // 14 axis texts: black
    engine::clBtnFace,          // 15 legend background
    engine::clWindowText,       // 16 legend text
};

// The entries' names as the colour list shows them (English, never translated); index 0 unused.
inline constexpr std::array<const char*, kColourCount + 1> kColourListTexts = {
    "",
    "Series 1 Color",
    "Series 2 Color",
    "Series 3 Color",
    "Series 4 Color",
    "Series 5 Color",
    "Series 6 Color",
    "Series 7 Color",
    "Series 8 Color",
    "Series 9 Color",
    "Series 10 Color",
    "Background Color",
    "Axes Color",
    "Grid Color",
    "Axes Font Color",
    "Legend Background Color",
    "Legend Text Color",
};

struct ColourTable {
    // Starts as the Standard set; the settings dialog loads the stored colours over it.
    ColourSet GraphColors = kStandardColours;
};

} // namespace settings
