#include "engine_test_support.h"

#include "engine/band_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using engine::BandPlan;
using enginetest::makePlan;
using enginetest::makeState;

namespace {

std::vector<double> borders(const BandPlan& plan)
{
    return {plan.OctBinBorderList.begin(), plan.OctBinBorderList.begin() + plan.validbands};
}

std::vector<int> xRow(const engine::MeasurementState& state, int n)
{
    return {state.NewPoints[0].begin(), state.NewPoints[0].begin() + n};
}

} // namespace

TEST(BandPlan, PreferredFrequenciesHitTheirPublishedAnchors)
{
    BandPlan plan;
    engine::buildPrefFreqList(plan);
    const struct {
        int index;
        double hz;
    } anchors[] = {{0, 14.0},   {1, 14.5},     {12, 20.0},     {67, 97.5},     {68, 100.0},
                   {72, 112.0}, {148, 1000.0}, {228, 10000.0}, {232, 11200.0}, {264, 28000.0}};
    for (const auto& a : anchors)
        EXPECT_EQ(plan.PrefFreqList[a.index], a.hz) << "index " << a.index;
    for (int i = 1; i < 265; ++i) {
        // About 1/24 octave apart: the R80 steps vary with their rounding.
        const double ratio = plan.PrefFreqList[i] / plan.PrefFreqList[i - 1];
        EXPECT_GT(ratio, 1.02) << i;
        EXPECT_LT(ratio, 1.04) << i;
    }
}

TEST(BandPlan, ThirdOctaveAndOctaveBordersInFull)
{
    auto state = makeState();
    const std::vector<double> third = {17,   21.2, 26.5, 33.5, 42.5,  53,    67,    85,
                                       106,  132,  170,  212,  265,   335,   425,   530,
                                       670,  850,  1060, 1320, 1700,  2120,  2650,  3350,
                                       4250, 5300, 6700, 8500, 10600, 13200, 17000, 21200};
    EXPECT_EQ(borders(*makePlan(2, *state)), third);
    const std::vector<double> octave = {14,  28,   56,   112,  224,   450,
                                        900, 1800, 3550, 7100, 14000, 28000};
    EXPECT_EQ(borders(*makePlan(1, *state)), octave);
}

TEST(BandPlan, EachResolutionHasItsBorderCountColumnWidthAndEnds)
{
    const struct {
        int item;
        int validbands;
        double first, second, last;
    } cases[] = {
        {1, 12, 14.0, 28.0, 28000.0},
        {2, 32, 17.0, 21.2, 21200.0},
        {3, 62, 18.5, 20.6, 20600.0},
        {4, 122, 19.5, 20.6, 20600.0},
    };
    for (const auto& c : cases) {
        auto state = makeState();
        const auto plan = makePlan(c.item, *state);
        EXPECT_EQ(plan->validbands, c.validbands) << c.item;
        EXPECT_EQ(plan->OctBinBorderList[0], c.first) << c.item;
        EXPECT_EQ(plan->OctBinBorderList[1], c.second) << c.item;
        EXPECT_EQ(plan->OctBinBorderList[c.validbands - 1], c.last) << c.item;
        EXPECT_DOUBLE_EQ(state->Columnwidth, 659.0 / (c.validbands - 2)) << c.item;
        // The columns span the graph exactly.
        EXPECT_EQ(state->NewPoints[0][0], 0);
        EXPECT_EQ(state->NewPoints[0][c.validbands - 1], 659) << c.item;
    }
}

TEST(BandPlan, ColumnBordersRoundHalfwayToEven)
{
    auto state = makeState();
    makePlan(2, *state);
    // Without a frequency axis: equal columns, the first and last half wide.
    const std::vector<int> want = {0,   11,  33,  55,  77,  99,  121, 143, 165, 187, 209,
                                   231, 253, 275, 297, 319, 340, 362, 384, 406, 428, 450,
                                   472, 494, 516, 538, 560, 582, 604, 626, 648, 659};
    EXPECT_EQ(xRow(*state, 32), want);

    // 30 pixels for 30 columns: every border falls on a half and goes to the
    // even neighbour; the last is the width.
    auto tight = makeState();
    makePlan(2, *tight, enginetest::pageWithGraphWidth(30));
    const std::vector<int> halves = {0,  0,  2,  2,  4,  4,  6,  6,  8,  8,  10,
                                     10, 12, 12, 14, 14, 16, 16, 18, 18, 20, 20,
                                     22, 22, 24, 24, 26, 26, 28, 28, 30, 30};
    EXPECT_EQ(xRow(*tight, 32), halves);
}

TEST(BandPlan, RebuildRestartsTheAverageAtTheAxisBottom)
{
    auto state = makeState();
    state->OctBands.fill(7.0);
    state->OldPoints[1].fill(7);
    state->AverageRestart = false;
    makePlan(2, *state);
    EXPECT_TRUE(state->AverageRestart);
    for (int j = 1; j < 32; ++j) {
        EXPECT_EQ(state->OctBands[j], enginetest::kRtaBottom) << j;
        EXPECT_EQ(state->OldPoints[1][j], enginetest::kRtaBottom) << j;
    }
    // Band 0 and the entries past the plan are no band's.
    EXPECT_EQ(state->OctBands[0], 7.0);
    EXPECT_EQ(state->OctBands[32], 7.0);
    EXPECT_EQ(state->OldPoints[1][32], 7);
}

TEST(BandPlan, CoarserPlanLeavesTheFinerBordersAboveItAlone)
{
    auto state = makeState();
    auto plan = makePlan(4, *state);
    const auto fine = plan->OctBinBorderList;
    ASSERT_TRUE(engine::applyOctaveType(*plan, *state, 2, enginetest::kRtaPage));
    EXPECT_EQ(plan->validbands, 32);
    for (int i = 32; i < 265; ++i)
        EXPECT_EQ(plan->OctBinBorderList[i], fine[i]) << i;
}

TEST(BandPlan, UnknownResolutionChangesNothing)
{
    for (int item : {-1, 0, 5}) {
        auto state = makeState();
        auto plan = makePlan(2, *state);
        const auto before = *plan;
        const double columnwidth = state->Columnwidth;
        EXPECT_FALSE(
            engine::applyOctaveType(*plan, *state, item, enginetest::pageWithGraphWidth(100)))
            << item;
        EXPECT_EQ(plan->validbands, before.validbands);
        EXPECT_EQ(plan->OctBinBorderList, before.OctBinBorderList);
        EXPECT_EQ(state->Columnwidth, columnwidth);
        EXPECT_EQ(state->OldPoints[1][1], enginetest::kRtaBottom);
    }
}
