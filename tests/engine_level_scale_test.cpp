#include "engine_test_support.h"

#include "engine/level_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

TEST(LevelScale, LimitsMapToAxisRows)
{
    const struct {
        double yMin, yMax;
        int gridHeight;
        float oneDB, zero;
    } cases[] = {
        {20, 100, 465, 4.8125f, 521.25f},
        {0, 100, 465, 3.85f, 425.0f},
        {-20, 60, 465, 4.8125f, 328.75f},
        // An inverted axis is a scale too: the minimum still lies on row 425.
        {100, 20, 465, -4.8125f, -56.25f},
    };
    for (const auto& c : cases) {
        const auto scale = engine::levelScale(c.yMin, c.yMax, c.gridHeight);
        ASSERT_TRUE(scale) << c.yMin << " " << c.yMax;
        EXPECT_EQ(scale->OneDB, c.oneDB) << c.yMin << " " << c.yMax;
        EXPECT_EQ(scale->ZerodBPoint, c.zero) << c.yMin << " " << c.yMax;
    }
}

TEST(LevelScale, DefaultStateHoldsTheDefaultAxisScale)
{
    const auto state = enginetest::makeState();
    const auto scale = engine::levelScale(20, 100, 465);
    ASSERT_TRUE(scale);
    EXPECT_EQ(state->OneDB, scale->OneDB);
    EXPECT_EQ(state->ZerodBPoint, scale->ZerodBPoint);
}

TEST(LevelScale, LimitsWithoutAScaleLeaveTheStateAlone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double big = std::numeric_limits<double>::max();
    const double bad[][2] = {
        {50, 50},    {0, 0},    {nan, 100},  {20, nan}, {nan, nan},
        {-inf, 100}, {20, inf}, {0, 1e-300}, // 3.85e302 pixels per dB: no float holds it
        {-big, big},                         // a range beyond any double
        {0, 1e300},                          // OneDB below the smallest float: 0 pixels per dB
    };
    auto state = enginetest::makeState();
    ASSERT_TRUE(engine::updateLevelScale(*state, 10, 90, 465));
    for (const auto& limits : bad) {
        EXPECT_FALSE(engine::levelScale(limits[0], limits[1], 465))
            << limits[0] << " " << limits[1];
        EXPECT_FALSE(engine::updateLevelScale(*state, limits[0], limits[1], 465));
        EXPECT_EQ(state->OneDB, 4.8125f);
        EXPECT_EQ(state->ZerodBPoint, 473.125f);
    }
    // No plot area between the grid's margins.
    EXPECT_FALSE(engine::levelScale(20, 100, 80));
}

TEST(LevelScale, RowsOfAGraphBelowTheGridTopCountFromTheGraph)
{
    // The graph lies 48 rows below the grid's top: the axis minimum, row 425
    // of the grid, is row 377 of the graph; the pixels per dB stay.
    const auto scale = engine::levelScale(20, 100, 465, 48);
    ASSERT_TRUE(scale);
    EXPECT_EQ(scale->OneDB, 4.8125f);
    EXPECT_EQ(scale->ZerodBPoint, 473.25f);

    // The average restarts on the same row.
    auto state = enginetest::makeState();
    engine::BandPlan plan;
    engine::buildPrefFreqList(plan);
    engine::RtaGeometry g = enginetest::kRtaPage;
    g.graphTop = 48;
    ASSERT_TRUE(engine::applyOctaveType(plan, *state, 2, g));
    EXPECT_EQ(state->OldPoints[1][1], 377);
    EXPECT_EQ(state->OctBands[31], 377.0);
}

TEST(LevelScale, LevelsBecomeRowsNeverBelowTheAxisMinimum)
{
    // The default axis, 20 .. 100 dB, on a graph over the plot: row 385 is
    // 20 dB, row 0 100 dB, 4.8125 rows per dB.
    const auto scale = engine::levelScale(20, 100, 465, 40);
    ASSERT_TRUE(scale);
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const struct {
        long double level;
        std::optional<std::int32_t> row;
    } cases[] = {
        {100, 0},
        {20, 385},
        {60, 192}, // 192.5: halves to even
        {50, 241},
        {120, -96},
        {19.99L, 385},
        {-300, 385},
        {-inf, 385},
        {nan, 385}, // below the axis, or no level: the bottom edge
        {inf, std::nullopt},
        {1e30L, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(engine::levelRow(c.level, *scale, 385), c.row) << static_cast<double>(c.level);
    EXPECT_EQ(engine::levelAtRow(*scale, 385), 20);
    EXPECT_EQ(engine::levelAtRow(*scale, 0), 100);
}
