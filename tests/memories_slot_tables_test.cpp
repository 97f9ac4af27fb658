#include "memories/slot_tables.h"

#include <gtest/gtest.h>

#include <memory>

using memories::SlotTables;
using memories::SpectrumRec;

namespace {

void expectEmpty(const SpectrumRec& slot, engine::TColor colour, const char* table, int i)
{
    SCOPED_TRACE(testing::Message() << table << " slot " << i);
    EXPECT_FALSE(slot.HasData);
    EXPECT_FALSE(slot.DrawMe);
    EXPECT_TRUE(slot.comment.isEmpty());
    EXPECT_EQ(slot.bands, 0);
    EXPECT_EQ(slot.Color, colour);
    EXPECT_EQ(slot.f[264], 0.0);
    EXPECT_EQ(slot.l[0], 0.0);
    EXPECT_EQ(slot.coordinates[1][8191], 0);
}

} // namespace

TEST(SlotTables, StartUpHasTwentySevenEmptySlotsWithDistinctRtaColours)
{
    auto tables = std::make_unique<SlotTables>();
    // Whatever a run left behind is gone after the initialiser.
    tables->FFTMemRecord[4].HasData = true;
    tables->FFTMemRecord[4].comment = QStringLiteral("Raum ÄÖÜ");
    tables->FFTMemRecord[4].Color = engine::RGB(1, 2, 3);
    tables->ScopeMemRecord[8].coordinates[1][8191] = 9;
    tables->RTAMemRecord[0].f[264] = 28000;
    tables->RTAMemRecord[0].bands = 32;

    memories::initSlotTables(*tables);
    for (int i = 0; i < memories::kSlots; ++i) {
        expectEmpty(tables->RTAMemRecord[i], memories::kDefaultSlotColours[i], "RTA", i);
        // The FFT page's memories take the same colours; its live curve is black.
        expectEmpty(tables->FFTMemRecord[i],
                    i == 0 ? engine::clBlack : memories::kDefaultSlotColours[i], "FFT", i);
        expectEmpty(tables->ScopeMemRecord[i], engine::clBlack, "Scope", i);
    }
    // The last measurement is the live curve (white); the stored ones differ
    // from it and from each other.
    EXPECT_EQ(tables->RTAMemRecord[0].Color, 0x00FFFFFFu);
    for (int i = 1; i < memories::kSlots; ++i)
        for (int k = 0; k < i; ++k)
            EXPECT_NE(memories::kDefaultSlotColours[i], memories::kDefaultSlotColours[k]) << i;
}

TEST(SlotTables, StoredSlotKeepsItsOwnPlan)
{
    auto tables = std::make_unique<SlotTables>();
    memories::initSlotTables(*tables);
    auto& rta = tables->RTAMemRecord;
    rta[0].bands = 12;
    rta[0].f[11] = 28000;
    rta[0].comment = QStringLiteral("Oktave");
    rta[3] = rta[0];
    rta[0].bands = 122;
    rta[0].f[11] = 1000;
    EXPECT_EQ(rta[3].bands, 12);
    EXPECT_EQ(rta[3].f[11], 28000);
    EXPECT_EQ(rta[3].comment, QStringLiteral("Oktave"));
}
