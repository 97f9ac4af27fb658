#pragma once
// The nine memory slots of each analyzer: slot 0 the last measurement, which
// the block paths overwrite, slots 1 .. 8 what the user stored. The
// application owns one static instance (27 slots, about 1.9 MB) for the whole
// run; the memory commands save and open them as files (memory_file.h). UI thread only.

#include "spectrum_rec.h"

#include "engine/colour.h"

#include <array>

namespace memories {

inline constexpr int kSlots = 9;

using SlotTable = std::array<SpectrumRec, kSlots>;

struct SlotTables {
    SlotTable RTAMemRecord;   // octave-band analyzer (page 0)
    SlotTable FFTMemRecord;   // FFT analyzer (page 1)
    SlotTable ScopeMemRecord; // oscilloscope (page 2)
};

// The colours stored curves start with, slots 1 .. 8: eight hues of middle
// lightness, so each reads on the dark and on the light colour set and none
// looks like the live curve (white on dark, black on light). Slot 0, the
// last measurement, is the live curve and stays white.
inline constexpr engine::TColor kDefaultSlotColours[kSlots] = {
    engine::clWhite,
    engine::RGB(235, 60, 50),   // 1 red
    engine::RGB(245, 140, 0),   // 2 orange
    engine::RGB(40, 175, 60),   // 3 green
    engine::RGB(40, 130, 255),  // 4 blue
    engine::RGB(215, 60, 215),  // 5 magenta
    engine::RGB(0, 170, 185),   // 6 teal
    engine::RGB(185, 150, 0),   // 7 ochre
    engine::RGB(150, 100, 255), // 8 violet
};

// Start-up state: all 27 slots empty and zero-filled, the RTA and FFT slots
// in their default colours (FFT slot 0, the live curve, black), the
// oscilloscope's black.
void initSlotTables(SlotTables& tables);

} // namespace memories
