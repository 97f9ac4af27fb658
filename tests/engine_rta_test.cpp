#include "engine_test_support.h"

#include "engine/level_scale.h"
#include "engine/rta_block.h"
#include "engine/rta_curve.h"

#include "dsp/window_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <span>

using enginetest::constantBlock;
using enginetest::kRtaBottom;
using enginetest::kRtaPage;
using enginetest::makePlan;
using enginetest::makeState;
using enginetest::sineBlock;

namespace {

constexpr int kGridHeight = 465;
constexpr int kHann = 1;

struct Rta {
    std::unique_ptr<engine::MeasurementState> state = makeState();
    std::unique_ptr<engine::BandPlan> plan;

    explicit Rta(int item, int window = kHann)
    {
        dsp::BuildWindowTable(window, state->Window);
        plan = makePlan(item, *state);
    }
    engine::RtaBlockReport block(const std::vector<std::int16_t>& samples, double yMin = 20,
                                 double yMax = 100, double xMin = 20, double xMax = 20000)
    {
        return engine::processRtaBlock(*state, *plan, samples, {yMin, yMax, xMin, xMax}, kRtaPage);
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
    const double wantRow = kRtaBottom - (level - 100) * oneDB;
    EXPECT_NEAR(rta.row(18), wantRow, 1.0);
    // The level itself is kept unrounded.
    EXPECT_NEAR(static_cast<double>(rta.state->OctBandLevels[18]), level, 0.05);
    EXPECT_TRUE(std::isnan(rta.state->OctBandLevels[0]));
    // Leakage into the neighbours stays well below the tone.
    EXPECT_GT(rta.row(17), rta.row(18) + 100);
    EXPECT_GT(rta.row(19), rta.row(18) + 100);
}

TEST(RtaBlock, SilenceLiesOnThePlotBottom)
{
    for (int item = 1; item <= 4; ++item) {
        Rta rta(item);
        engine::applyAveragingItem(*rta.state, 0);
        rta.block(constantBlock(0));
        for (int j = 0; j < rta.bands(); ++j)
            ASSERT_EQ(rta.row(j), kRtaBottom) << "plan " << item << " band " << j;
        for (int j = 1; j < rta.bands(); ++j) {
            ASSERT_EQ(rta.state->NewPoints[1][j], kRtaBottom) << "plan " << item << " band " << j;
            // No power: the lowest level there is, 0 dB, which an average can hold.
            ASSERT_EQ(rta.state->OctBandLevels[j], 0.0L);
        }
    }
    // On an axis that reaches below 0 dB silence still lies on the bottom.
    Rta low(2);
    low.block(constantBlock(0), -20, 60);
    EXPECT_EQ(low.state->NewPoints[1][5], kRtaBottom);
    EXPECT_NEAR(static_cast<double>(low.state->OctBandLevels[5]), -20, 1e-9);
}

TEST(RtaBlock, DcRaisesBand1Only)
{
    for (int window = 0; window < 4; ++window) {
        Rta rta(2, window);
        rta.block(constantBlock(5000));
        EXPECT_LT(rta.row(1), 0) << "window " << window;
        for (int j = 2; j < rta.bands(); ++j)
            EXPECT_EQ(rta.row(j), kRtaBottom) << "window " << window << " band " << j;
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
            EXPECT_LT(rta.row(j), kRtaBottom) << "band " << j;
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

TEST(RtaBlock, AmplitudesBecomeLevelsAndRowsNeverBelowTheAxisMinimum)
{
    auto state = makeState();
    auto plan = makePlan(4, *state); // 1/12 octave: bands 2 and 3 hold no bin
    ASSERT_TRUE(engine::updateLevelScale(*state, 20, 100, kGridHeight, 40));
    const struct {
        double amplitude;
        long double level;
        double row;
    } cases[] = {
        {1e6, 120, -96},         // above the axis, not clamped at the top
        {1e5, 100, 0},           // the axis maximum, the graph's top row
        {1e4, 80, 96},           // 481.25 - 385 = 96.25
        {10, 20, kRtaBottom},    // the axis minimum: the plot's bottom edge
        {2, 6.0206, kRtaBottom}, // below the axis: on the bottom edge too
        {1.0, 0, kRtaBottom},    // no level
        {0.0, 0, kRtaBottom},
    };
    for (const auto& c : cases) {
        state->OctBands.fill(0);
        state->OctBands[1] = c.amplitude;
        EXPECT_EQ(engine::octaveBandRows(*state, *plan, kRtaBottom), 0);
        EXPECT_EQ(state->OctBands[0], kRtaBottom);
        EXPECT_EQ(state->OctBands[1], c.row) << c.amplitude;
        EXPECT_NEAR(static_cast<double>(state->OctBandLevels[1]), static_cast<double>(c.level),
                    1e-4);
        // Bands without a bin show the band below them ...
        EXPECT_EQ(state->OctBands[2], c.row) << c.amplitude;
        EXPECT_EQ(state->OctBands[3], c.row) << c.amplitude;
        EXPECT_EQ(state->OctBandLevels[3], state->OctBandLevels[1]);
        // ... a band with a bin but no level lies on the bottom edge.
        EXPECT_EQ(state->OctBands[4], kRtaBottom) << c.amplitude;
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

namespace {

// The row of a band amplitude as the block handler has always drawn it with
// "Keine": Round(ZerodBPoint - log10(A) 20 OneDB), the bottom row for no
// level, and nothing lower than the bottom row.
int blockRow(const engine::MeasurementState& s, double amplitude)
{
    if (!(amplitude > 1.0))
        return kRtaBottom;
    const long double v = static_cast<long double>(s.ZerodBPoint) -
                          std::log10(static_cast<long double>(amplitude)) * 20 * s.OneDB;
    return std::min<int>(kRtaBottom, static_cast<int>(std::nearbyint(v)));
}

} // namespace

TEST(RtaAveraging, KeineDrawsEveryBlockAtItsOwnRows)
{
    Rta rta(3);
    engine::applyAveragingItem(*rta.state, 0);
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> level(0.0, 1.0);
    for (int b = 0; b < 12; ++b) {
        // Tones and noise of changing level: the curve follows each block.
        std::vector<std::int16_t> s = sineBlock(250 * (b + 1), 20000 * level(gen));
        const auto noise = noiseBlock(static_cast<int>(3000 * level(gen)) + 1);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<std::int16_t>(s[i] / 2 + noise[i] / 2);
        // The block's steps one by one, to see the band amplitudes.
        engine::MeasurementState& m = *rta.state;
        engine::windowAndTransformRta(m, s);
        engine::sumOctaveBands(m, *rta.plan);
        const engine::BinArray amplitudes = m.OctBands;
        ASSERT_TRUE(engine::updateLevelScale(m, 40, 160, kGridHeight, 40));
        engine::octaveBandRows(m, *rta.plan, kRtaBottom);
        engine::averageBandRows(m, *rta.plan, kRtaBottom);
        // Every band that holds a bin has noise in it; the others (below
        // 30 Hz) show the band below.
        int want = kRtaBottom;
        for (int j = 1; j < rta.bands(); ++j) {
            if (amplitudes[j] > 1.0)
                want = blockRow(m, amplitudes[j]);
            ASSERT_EQ(m.NewPoints[1][j], want) << "block " << b << " band " << j;
        }
    }
}

TEST(RtaAveraging, EverySpeedSettlesWithinHalfAPixelOfASteadyLevel)
{
    for (int item = 0; item < 4; ++item) {
        auto state = makeState();
        auto plan = makePlan(2, *state);
        ASSERT_TRUE(engine::updateLevelScale(*state, 20, 100, kGridHeight, 40));
        engine::applyAveragingItem(*state, item);
        // A steady level in every band, from the bottom of the axis up.
        for (int block = 0; block < 1000; ++block) {
            for (int j = 1; j < 32; ++j)
                state->OctBands[j] = std::pow(10.0, (30 + j * 2.345) / 20);
            engine::octaveBandRows(*state, *plan, kRtaBottom);
            engine::averageBandRows(*state, *plan, kRtaBottom);
        }
        for (int j = 1; j < 32; ++j) {
            const double steady = 481.25 - (30 + j * 2.345) * 4.8125;
            EXPECT_LE(std::fabs(state->NewPoints[1][j] - steady), 0.5) << item << " band " << j;
            EXPECT_NEAR(static_cast<double>(state->AveragedLevels[j]), 30 + j * 2.345, 1e-3)
                << item << " band " << j;
        }
    }
}

TEST(RtaAveraging, AverageWeighsTheStoredFactorInDbAndOnlyTheRowIsRounded)
{
    const struct {
        int item;
        long double old, level;
        double average;
        int row;
    } cases[] = {
        {0, 20, 80, 80, 96},
        {1, 20, 80, 62, 183}, // 481.25 - 62 x 4.8125 = 182.875
        {2, 20, 80, 32, 327}, // 327.25
        // 0.02f is a little below 0.02: 21.19999997, the row 379.23
        {3, 20, 80, 21.2, 379},
        {3, 79.99L, 80, 79.9902, 96},
        {3, 20, 120, 22, 375},
    };
    for (const auto& c : cases) {
        auto state = makeState();
        auto plan = makePlan(2, *state);
        ASSERT_TRUE(engine::updateLevelScale(*state, 20, 100, kGridHeight, 40));
        engine::applyAveragingItem(*state, c.item);
        state->AverageRestart = false;
        state->AveragedLevels[7] = c.old;
        state->OctBandLevels[7] = c.level;
        state->OctBands[7] = 0;
        EXPECT_EQ(engine::averageBandRows(*state, *plan, kRtaBottom), 0);
        EXPECT_NEAR(static_cast<double>(state->AveragedLevels[7]), c.average, 1e-4) << c.item;
        EXPECT_EQ(state->NewPoints[1][7], c.row) << c.item;
        EXPECT_EQ(state->OldPoints[1][7], c.row);
    }
}

TEST(RtaAveraging, VerySlowFirstBlockAfterAResetMovesTwoPercent)
{
    Rta rta(2);
    engine::applyAveragingItem(*rta.state, 3);
    rta.block(sineBlock(1000, 10000), 100, 180);
    const double target = rta.row(18);
    const int first = rta.state->NewPoints[1][18];
    EXPECT_NEAR(first, kRtaBottom - 0.02 * (kRtaBottom - target), 0.5);
    EXPECT_LT(first, kRtaBottom);
    rta.block(sineBlock(1000, 10000), 100, 180);
    EXPECT_LT(rta.state->NewPoints[1][18], first);
    // The drawn rows are copied on, as the previous curve.
    EXPECT_EQ(rta.state->OldPoints[1], rta.state->NewPoints[1]);

    // Slot 0 takes the averaged levels: entry 0 and those past the plan NaN.
    engine::BinArray levels{};
    engine::copyAveragedLevels(*rta.state, *rta.plan, levels);
    EXPECT_TRUE(std::isnan(levels[0]));
    EXPECT_TRUE(std::isnan(levels[32]));
    EXPECT_EQ(levels[18], static_cast<double>(rta.state->AveragedLevels[18]));
    EXPECT_LT(levels[18], static_cast<double>(rta.state->OctBandLevels[18]) - 1);
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
        EXPECT_EQ(rta.row(j), kRtaBottom) << j;
}

TEST(RtaColumns, BandsSpanTheirFrequenciesOnTheGridsAxisForAnyLimits)
{
    auto state = makeState();
    auto plan = makePlan(2, *state);
    const std::span<const double> borders(plan->OctBinBorderList.data(), 32);
    std::array<std::int32_t, 32> x{};
    const struct {
        double min, max;
    } axes[] = {{20, 20000}, {100, 10000}};
    for (const auto& a : axes) {
        const auto axis = engine::rtaFrequencyAxis(a.min, a.max, kRtaPage);
        ASSERT_TRUE(axis);
        engine::layOutBandColumns(borders, axis, kRtaPage, x);
        EXPECT_EQ(x[0], 0) << "band 1 starts at 0 Hz, on the left edge";
        for (int j = 1; j < 32; ++j) {
            const int at = *engine::frequencyColumn(*axis, borders[j]);
            EXPECT_EQ(x[j], std::clamp(at, 0, 659)) << a.min << " border " << j;
        }
        // The 1k line of the grid stands inside band 18, 850 .. 1060 Hz.
        const int line1k = *engine::frequencyColumn(*axis, 1000.0f);
        EXPECT_LT(x[17], line1k) << a.min;
        EXPECT_GT(x[18], line1k) << a.min;
    }
    // 100 Hz .. 10 kHz: the bands below 100 Hz and above 10 kHz shrink to
    // nothing at the edges.
    EXPECT_EQ(x[7], 0);    // 85 Hz
    EXPECT_GT(x[8], 0);    // 106 Hz
    EXPECT_LT(x[27], 659); // 8500 Hz
    EXPECT_EQ(x[28], 659); // 10600 Hz
    // Limits that give no axis: the equal columns.
    for (double max : {20.0, 10.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(engine::rtaFrequencyAxis(20, max, kRtaPage));
        engine::layOutBandColumns(borders, engine::rtaFrequencyAxis(20, max, kRtaPage), kRtaPage,
                                  x);
        EXPECT_EQ(x[1], 11);
        EXPECT_EQ(x[31], 659);
    }
}

TEST(RtaCurve, StoredCurveTakesItsRowsAndColumnsFromTheAxesInForce)
{
    auto state = makeState();
    auto plan = makePlan(1, *state); // a slot of the octave plan
    engine::BinArray levels{};
    levels.fill(50);
    levels[0] = std::nan("");
    levels[4] = -std::numeric_limits<double>::infinity();
    auto points = std::make_unique<engine::CoordArray>();
    const auto axis = engine::rtaFrequencyAxis(20, 20000, kRtaPage);
    const struct {
        double min, max;
        int row;
    } scales[] = {{20, 100, 241}, {40, 80, 289}, {0, 50, 0}, {60, 100, kRtaBottom}};
    for (const auto& sc : scales) {
        const auto scale = engine::levelScale(sc.min, sc.max, 465, 40);
        ASSERT_TRUE(scale);
        EXPECT_EQ(engine::curvePoints(plan->OctBinBorderList, levels, 12, axis, *scale, kRtaPage,
                                      *points),
                  0);
        for (int j = 1; j < 12; ++j)
            EXPECT_EQ((*points)[1][j], j == 4 ? kRtaBottom : sc.row) << sc.min << " band " << j;
    }
    std::array<std::int32_t, 12> x{};
    engine::layOutBandColumns(std::span(plan->OctBinBorderList).first(12), axis, kRtaPage, x);
    for (int j = 0; j < 12; ++j)
        EXPECT_EQ((*points)[0][j], x[j]) << j;
}
