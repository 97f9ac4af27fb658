#include "engine_test_support.h"

#include "engine/level_scale.h"
#include "engine/rta_block.h"

#include "dsp/window_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using enginetest::constantBlock;
using enginetest::makePlan;
using enginetest::makeState;
using enginetest::sineBlock;

namespace {

constexpr int kRtaGraphHeight = 386;
constexpr int kGridHeight = 465;
constexpr int kHann = 1;

struct Rta {
    std::unique_ptr<engine::MeasurementState> state = makeState();
    std::unique_ptr<engine::BandPlan> plan;

    explicit Rta(int item, int window = kHann)
    {
        dsp::BuildWindowTable(window, state->Window);
        plan = makePlan(item, *state, 659, kGridHeight);
    }
    engine::RtaBlockReport block(const std::vector<std::int16_t>& samples, double yMin = 20,
                                 double yMax = 100)
    {
        return engine::processRtaBlock(*state, *plan, samples, yMin, yMax, kRtaGraphHeight,
                                       kGridHeight);
    }
    double row(int band) const { return state->OctBands[band]; }
    int bands() const { return plan->validbands; }
};

std::vector<std::int16_t> noiseBlock(int peak)
{
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> dist(-peak, peak);
    std::vector<std::int16_t> s(8192);
    for (auto& v : s)
        v = static_cast<std::int16_t>(dist(gen));
    return s;
}

} // namespace

TEST(RtaBlock, ToneAt1kHzLandsInThirdOctaveBand18AtItsLevel)
{
    Rta rta(2);
    const double peak = 10000;
    // Axis 100 .. 180 dB keeps the tone's row on the graph.
    rta.block(sineBlock(1000, peak), 100, 180);
    int loudest = 1;
    for (int j = 1; j < rta.bands(); ++j)
        if (rta.row(j) < rta.row(loudest))
            loudest = j;
    EXPECT_EQ(loudest, 18);
    // Parseval: twice the one-sided power of a Hann-windowed sine gives the
    // amplitude 8192 * peak * sqrt(3/16) for the band that holds it.
    const double level = 20 * std::log10(8192 * peak * std::sqrt(3.0 / 16));
    const double oneDB = 385.0 / 80;
    const double wantRow = (100 * oneDB + 425) - level * oneDB;
    EXPECT_NEAR(rta.row(18), wantRow, 1.0);
    // The level itself is kept unrounded for the files and the export.
    EXPECT_NEAR(rta.state->OctBandLevels[18], level, 0.05);
    EXPECT_TRUE(std::isnan(rta.state->OctBandLevels[0]));
    // Leakage into the neighbours stays well below the tone.
    EXPECT_GT(rta.row(17), rta.row(18) + 100);
    EXPECT_GT(rta.row(19), rta.row(18) + 100);
}

TEST(RtaBlock, SilenceLiesOnTheGraphBottom)
{
    for (int item = 1; item <= 4; ++item) {
        Rta rta(item);
        engine::applyAveragingItem(*rta.state, 0);
        rta.block(constantBlock(0));
        for (int j = 0; j < rta.bands(); ++j)
            ASSERT_EQ(rta.row(j), kRtaGraphHeight) << "plan " << item << " band " << j;
        for (int j = 1; j < rta.bands(); ++j) {
            ASSERT_EQ(rta.state->NewPoints[1][j], kRtaGraphHeight) << "plan " << item << " band " << j;
            // No power, no level: minus infinity, never a number a file could mistake.
            ASSERT_EQ(rta.state->OctBandLevels[j], -std::numeric_limits<double>::infinity());
        }
    }
}

TEST(RtaBlock, DcRaisesBand1Only)
{
    for (int window = 0; window < 4; ++window) {
        Rta rta(2, window);
        rta.block(constantBlock(5000));
        EXPECT_LT(rta.row(1), 0) << "window " << window;
        for (int j = 2; j < rta.bands(); ++j)
            EXPECT_GE(rta.row(j), kRtaGraphHeight) << "window " << window << " band " << j;
    }
}

TEST(RtaBlock, TwelfthOctaveBandsWithoutABinTakeTheRowOfTheBandBelow)
{
    Rta rta(4);
    rta.block(noiseBlock(30000), 0, 200);
    const double binHz = 48000.0 / 8192;
    int empty = 0;
    for (int j = 2; j < rta.bands() && rta.plan->OctBinBorderList[j] < 100; ++j) {
        const double lo = rta.plan->OctBinBorderList[j - 1];
        const double hi = rta.plan->OctBinBorderList[j];
        const bool hasBin = std::floor(hi / binHz) * binHz > lo;
        if (!hasBin) {
            ++empty;
            EXPECT_EQ(rta.row(j), rta.row(j - 1)) << "band " << j;
        } else {
            EXPECT_LT(rta.row(j), kRtaGraphHeight) << "band " << j;
        }
    }
    // Among them the bands ending at 21.8 Hz and 23.0 Hz.
    EXPECT_EQ(rta.plan->OctBinBorderList[2], 21.8);
    EXPECT_EQ(rta.plan->OctBinBorderList[3], 23.0);
    EXPECT_EQ(rta.row(2), rta.row(1));
    EXPECT_EQ(rta.row(3), rta.row(1));
    EXPECT_GT(empty, 10);
}

TEST(RtaBlock, OctavePlanClosesItsOpenTopBand)
{
    // The last border, 28 kHz, lies above every bin: the top band is closed
    // after the walk and still gets its row.
    Rta rta(1);
    rta.block(sineBlock(20000, 10000), 100, 180);
    EXPECT_LT(rta.row(11), 200);
    EXPECT_GT(rta.row(10), rta.row(11));
}

TEST(RtaBlock, AmplitudesBecomeRowsClampedJustBelowTheGraph)
{
    auto state = makeState();
    auto plan = makePlan(4, *state); // 1/12 octave: bands 2 and 3 hold no bin
    ASSERT_TRUE(engine::updateLevelScale(*state, 20, 100, kGridHeight));
    const struct {
        double amplitude;
        double row;
    } cases[] = {
        {1e6, -56},          // 120 dB: above the axis, not clamped at the top
        {1e5, 40},           // the axis maximum
        {1e4, 136},          // 80 dB: 521.25 - 385 = 136.25
        {10, 387},           // 20 dB, the axis minimum at grid row 425: clamped to 386 + 1
        {2, 387},            // 6 dB
        {1.0, kRtaGraphHeight}, // no level: the bottom edge
        {0.0, kRtaGraphHeight},
    };
    for (const auto& c : cases) {
        state->OctBands.fill(0);
        state->OctBands[1] = c.amplitude;
        EXPECT_EQ(engine::octaveBandRows(*state, *plan, kRtaGraphHeight), 0);
        EXPECT_EQ(state->OctBands[0], kRtaGraphHeight);
        EXPECT_EQ(state->OctBands[1], c.row) << c.amplitude;
        // Bands without a bin show the band below them ...
        EXPECT_EQ(state->OctBands[2], c.row) << c.amplitude;
        EXPECT_EQ(state->OctBands[3], c.row) << c.amplitude;
        // ... a band with a bin but no level lies on the bottom edge.
        EXPECT_EQ(state->OctBands[4], kRtaGraphHeight) << c.amplitude;
    }
}

TEST(RtaAveraging, ItemsGiveSinglePrecisionFactors)
{
    auto state = makeState();
    const float factors[] = {1.0f, 0.7f, 0.2f, 0.02f};
    for (int item = 0; item < 4; ++item) {
        ASSERT_TRUE(engine::applyAveragingItem(*state, item));
        EXPECT_EQ(state->AveragingFactor, factors[item]) << item;
    }
    for (int item : {-1, 4}) {
        EXPECT_FALSE(engine::applyAveragingItem(*state, item));
        EXPECT_EQ(state->AveragingFactor, 0.02f);
    }
}

TEST(RtaAveraging, NewRowWeighsTheStoredFactorAndRoundsToNearest)
{
    const struct {
        int item;
        int old;
        double row;
        int want;
    } cases[] = {
        {0, 425, 100, 100},
        {1, 425, 100, 198},
        {2, 425, 100, 360},
        // 0.02f is a little below 0.02: 418.50000014, not the tie 418.5.
        {3, 425, 100, 419},
        {3, 0, 25, 0},
        {3, 0, 75, 1},
        {3, 425, -56, 415},
    };
    for (const auto& c : cases) {
        auto state = makeState();
        auto plan = makePlan(2, *state);
        engine::applyAveragingItem(*state, c.item);
        state->OldPoints[1][7] = c.old;
        state->OctBands[7] = c.row;
        EXPECT_EQ(engine::averageBandRows(*state, *plan), 0);
        EXPECT_EQ(state->NewPoints[1][7], c.want) << c.item << " " << c.old << " " << c.row;
        EXPECT_EQ(state->OldPoints[1][7], c.want);
    }
}

TEST(RtaAveraging, VerySlowFirstBlockAfterAResetMovesTwoPercent)
{
    Rta rta(2);
    engine::applyAveragingItem(*rta.state, 3);
    rta.block(sineBlock(1000, 10000), 100, 180);
    const double target = rta.row(18);
    const int first = rta.state->NewPoints[1][18];
    EXPECT_NEAR(first, 425 - 0.02 * (425 - target), 0.5);
    EXPECT_LT(first, 425);
    rta.block(sineBlock(1000, 10000), 100, 180);
    EXPECT_LT(rta.state->NewPoints[1][18], first);
    // The average is the next block's memory.
    EXPECT_EQ(rta.state->OldPoints[1], rta.state->NewPoints[1]);
}

TEST(RtaBlock, LimitsWithoutAScaleKeepTheLastOne)
{
    Rta rta(2);
    const auto tone = sineBlock(1000, 3000);
    ASSERT_TRUE(rta.block(tone, 0, 160).scaleFromLimits);
    const float oneDB = rta.state->OneDB;
    const float zero = rta.state->ZerodBPoint;
    const double row = rta.row(18);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double bad[][2] = {{50, 50}, {nan, 100}, {20, nan}, {-inf, 100}, {20, inf}};
    for (const auto& limits : bad) {
        const auto report = rta.block(tone, limits[0], limits[1]);
        EXPECT_FALSE(report.scaleFromLimits) << limits[0] << " " << limits[1];
        EXPECT_EQ(report.failedRows, 0);
        EXPECT_EQ(rta.state->OneDB, oneDB);
        EXPECT_EQ(rta.state->ZerodBPoint, zero);
        EXPECT_EQ(rta.row(18), row);
    }
}

TEST(RtaBlock, RowsBeyond32BitsAreReportedNotConverted)
{
    Rta rta(2);
    engine::applyAveragingItem(*rta.state, 0);
    // A range of 1e-30 dB: 3.85e32 pixels per dB, a valid float.
    const auto report = rta.block(sineBlock(1000, 10000), 0, 1e-30);
    EXPECT_TRUE(report.scaleFromLimits);
    EXPECT_GT(report.failedRows, 0);
    // Bands that failed took the row of the band below; every row is a
    // 32-bit integer and the averaged curve follows the rows.
    for (int j = 0; j < rta.bands(); ++j) {
        EXPECT_EQ(rta.row(j), std::trunc(rta.row(j))) << j;
        EXPECT_LE(std::fabs(rta.row(j)), 2147483647.0) << j;
    }
    for (int j = 1; j < rta.bands(); ++j)
        EXPECT_EQ(rta.state->NewPoints[1][j], rta.row(j)) << j;
}

TEST(RtaBlock, ShortBlockIsPaddedWithSilence)
{
    Rta rta(2);
    std::vector<std::int16_t> none;
    rta.state->InSignal.fill(123.0f);
    rta.block(none);
    for (int j = 0; j < rta.bands(); ++j)
        EXPECT_EQ(rta.row(j), kRtaGraphHeight) << j;
}
