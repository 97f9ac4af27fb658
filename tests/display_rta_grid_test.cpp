// Where the octave-band grid puts its level and frequency lines and labels.

#include "display/rta_grid.h"

#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

using display::frequencyGridLines;
using display::LevelAxis;
using display::levelGridLines;

namespace {

constexpr int kGridWidth = 739;
constexpr int kGridHeight = 465;

std::vector<int> rowsOf(const std::vector<display::LevelGridLine>& lines)
{
    std::vector<int> rows;
    for (const auto& l : lines)
        rows.push_back(l.row);
    return rows;
}

std::vector<std::int64_t> labelsOf(const std::vector<display::LevelGridLine>& lines)
{
    std::vector<std::int64_t> labels;
    for (const auto& l : lines)
        labels.push_back(l.label);
    return labels;
}

std::vector<float> hzOf(const std::vector<display::FrequencyGridLine>& lines)
{
    std::vector<float> hz;
    for (const auto& l : lines)
        hz.push_back(l.hz);
    return hz;
}

} // namespace

TEST(RtaGrid, DefaultLevelAxisHasEightLinesLabelled30To100)
{
    const auto lines = levelGridLines(LevelAxis{20, 100, 10, 4.8125f}, kGridHeight, 13);
    // 232.5 rounds to the even 232.
    EXPECT_EQ(rowsOf(lines), (std::vector<int>{377, 329, 281, 232, 184, 136, 88, 40}));
    EXPECT_EQ(labelsOf(lines), (std::vector<std::int64_t>{30, 40, 50, 60, 70, 80, 90, 100}));
    // Labels are centred on their line: 376.875 - 6.5 and 232.5 - 6.5.
    EXPECT_EQ(lines[0].labelTop, 370);
    EXPECT_EQ(lines[3].labelTop, 226);
}

TEST(RtaGrid, LevelLineCountFollowsWholeNumberDivision)
{
    const int32_t big = std::numeric_limits<int32_t>::max();
    const int32_t small = std::numeric_limits<int32_t>::min();
    const struct {
        LevelAxis axis;
        std::vector<std::int64_t> labels;
    } cases[] = {
        // A step that does not divide the range: 80 div 30 = 2 lines.
        {{20, 100, 30, 4.8125f}, {50, 80}},
        {{20, 100, 0, 4.8125f}, {}},   // a step of 0: no division at all
        {{20, 100, -5, 4.8125f}, {}},  // a negative count
        {{100, 20, 10, -4.8125f}, {}}, // minimum above maximum
        {{20, 20, 10, 4.8125f}, {}},   // equal limits
        {{20, 100, 100, 4.8125f}, {}}, // step beyond the range
        {{100, 20, -10, -4.8125f}, {90, 80, 70, 60, 50, 40, 30, 20}},
        // More lines than the plot's 385 rows are left out; so are 2^32 of them.
        {{0, 386, 1, 385.0f / 386}, {}},
        {{small, big, 1, 1e-7f}, {}},
    };
    for (const auto& c : cases) {
        const auto lines = levelGridLines(c.axis, kGridHeight, 13);
        EXPECT_EQ(labelsOf(lines), c.labels)
            << c.axis.min << ".." << c.axis.max << " step " << c.axis.step;
    }
    // As many lines as rows still fit, one per row.
    const auto dense = levelGridLines(LevelAxis{0, 385, 1, 1.0f}, kGridHeight, 13);
    ASSERT_EQ(dense.size(), 385u);
    EXPECT_EQ(dense.front().row, 424);
    EXPECT_EQ(dense.back().row, 40);
    // The inverted axis with a negative step puts its lines on the same rows.
    EXPECT_EQ(rowsOf(levelGridLines(LevelAxis{100, 20, -10, -4.8125f}, kGridHeight, 13)),
              (std::vector<int>{377, 329, 281, 232, 184, 136, 88, 40}));
}

TEST(RtaGrid, DefaultFrequencyAxisSpansThreeDecadesFrom20HzTo20kHz)
{
    const auto lines = frequencyGridLines(20, 20000, kGridWidth);
    EXPECT_EQ(hzOf(lines),
              (std::vector<float>{20,   30,   40,   50,   60,   70,   80,    90,   100,  200,
                                  300,  400,  500,  600,  700,  800,  900,   1000, 2000, 3000,
                                  4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000}));
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines.front().x, 0);  // on the left axis
    EXPECT_EQ(lines.back().x, 659); // the right end of the plot
    EXPECT_EQ(lines[17].x, 373);    // 1 kHz
    EXPECT_EQ(lines[17].label, "1k");
    EXPECT_EQ(lines.front().label, "20");
    EXPECT_EQ(lines.back().label, "20k");
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_GT(lines[i].x, lines[i - 1].x) << lines[i].hz;
}

TEST(RtaGrid, FrequencyAxisFrom100HzTo10kHzLeavesOutsideCandidates)
{
    const auto lines = frequencyGridLines(100, 10000, kGridWidth);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines.front().hz, 100.0f);
    EXPECT_EQ(lines.front().x, 0);
    EXPECT_EQ(lines.back().hz, 10000.0f);
    EXPECT_EQ(lines.back().label, "10k");
    EXPECT_EQ(lines.back().x, 659);
    EXPECT_EQ(lines[9].hz, 1000.0f);
    EXPECT_EQ(lines[9].x, 330); // 329.5 rounds to the even 330
}

TEST(RtaGrid, FrequencyLimitsWithoutAnAxisGiveNoLines)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double bad[][2] = {
        {1000, 1000}, // equal: no pixels per decade
        {0, 20000},       {-20, 20000}, {20, 0},     {nan, 20000},
        {20, nan},        {20, inf},    {20000, 20}, // inverted: no candidate lies between them
        {20, 20.0000001},                            // a decade wider than any pixel count
    };
    for (const auto& limits : bad)
        EXPECT_TRUE(frequencyGridLines(limits[0], limits[1], kGridWidth).empty())
            << limits[0] << ".." << limits[1];
}

TEST(RtaGrid, FrequencyLabelsUseKForThousands)
{
    const struct {
        float hz;
        const char* label;
    } cases[] = {{1, "1"},     {9, "9"},     {20, "20"},     {100, "100"},   {900, "900"},
                 {1000, "1k"}, {5000, "5k"}, {10000, "10k"}, {20000, "20k"}, {90000, "90k"}};
    for (const auto& c : cases)
        EXPECT_EQ(display::frequencyLabel(c.hz), c.label) << c.hz;
}

TEST(RtaGrid, ThirdOctaveBandAround1kHzIsCentredOnThe1kLine)
{
    auto state = enginetest::makeState();
    const auto plan = enginetest::makePlan(2, *state);
    // Band 18 (850 Hz .. 1060 Hz) spans the columns between x[17] and x[18].
    const int left = state->NewPoints[0][17];
    const int right = state->NewPoints[0][18];
    const auto lines = frequencyGridLines(20, 20000, kGridWidth);
    ASSERT_EQ(lines[17].hz, 1000.0f);
    EXPECT_EQ((left + right) / 2, 373);
    EXPECT_EQ(lines[17].x, 373);
    // Other axis limits move the line, not the band.
    EXPECT_NE(frequencyGridLines(100, 10000, kGridWidth)[9].x, 373);
}
