#include "slot_tables.h"

#include "engine/fft_analysis.h"

#include <limits>

namespace memories {
namespace {

// In place: a SpectrumRec temporary would put 70 KiB on the stack per slot.
void clear(SpectrumRec& slot)
{
    slot.f.fill(0.0);
    slot.l.fill(0.0);
    for (auto& row : slot.coordinates)
        row.fill(0);
    slot.bands = 0;
    slot.comment.clear();
    slot.HasData = false;
    slot.DrawMe = false;
    slot.Color = engine::clBlack;
    slot.levels.fill(std::numeric_limits<double>::quiet_NaN());
    slot.windowType = -1;
    slot.averaging = -1;
    slot.stored = {};
    slot.droppedBlocks = -1;
    slot.description.clear();
    slot.basis = {};
    slot.fft.length = 0;
    slot.fft.sampleRate = 0;
    slot.fft.power.clear();
    slot.unsaved = false;
}

} // namespace

void initSlotTables(SlotTables& tables)
{
    for (SlotTable* table : {&tables.RTAMemRecord, &tables.FFTMemRecord, &tables.ScopeMemRecord})
        for (SpectrumRec& slot : *table)
            clear(slot);
    for (int k = 0; k < kSlots; ++k)
        tables.RTAMemRecord[static_cast<std::size_t>(k)].Color = kDefaultSlotColours[k];
    // The FFT page's memories take the same distinct colours; its live curve is black.
    for (int k = 1; k < kSlots; ++k)
        tables.FFTMemRecord[static_cast<std::size_t>(k)].Color = kDefaultSlotColours[k];
    // Slot 0 takes every block's spectrum without allocating.
    tables.FFTMemRecord[0].fft.power.reserve(engine::kMaxFftBins);
}

} // namespace memories
