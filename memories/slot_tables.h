#pragma once
// The nine memory slots of each analyzer: slot 0 the last measurement, which
// the block paths overwrite, slots 1 .. 8 what the user stored. The
// application owns one static instance (27 slots, about 1.9 MB) for the whole
// run; nothing is written to disk. UI thread only.

#include "spectrum_rec.h"

#include <array>

namespace memories {

inline constexpr int kSlots = 9;

using SlotTable = std::array<SpectrumRec, kSlots>;

struct SlotTables {
    SlotTable RTAMemRecord;   // octave-band analyzer (page 0)
    SlotTable FFTMemRecord;   // FFT analyzer (page 1)
    SlotTable ScopeMemRecord; // oscilloscope (page 2)
};

// Start-up state: all 27 slots empty and zero-filled, the RTA slots coloured
// white, the others black.
void initSlotTables(SlotTables& tables);

} // namespace memories
