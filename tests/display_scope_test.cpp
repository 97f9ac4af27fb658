#include "display/offscreen_image.h"
#include "display/scope_grid.h"
#include "display/scope_trace_painter.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using display::OffscreenImage;
using display::Rect;

namespace {

constexpr engine::TColor kGreen = engine::RGB(0, 255, 0);
constexpr engine::TColor kLine = engine::RGB(0, 128, 0);
constexpr engine::TColor kBlack = engine::RGB(0, 0, 0);
constexpr engine::TColor kJunk = engine::RGB(200, 10, 90);

} // namespace

TEST(ScopeGrid, LinesLieOnTheTenDivisionsOfA401PixelScreen)
{
    EXPECT_EQ(static_cast<double>(display::scopeGridPitch(401)), 40.099998474121094);
    OffscreenImage grid(401, 401);
    display::paintScopeGrid(grid.canvas(), 401, 401);
    const std::set<int> lines = {0, 40, 80, 120, 160, 200, 241, 281, 321, 361};
    for (int i = 0; i < 401; ++i) {
        const engine::TColor want = lines.count(i) ? kLine : kBlack;
        // Row 20 and column 20 cross no line of the other direction.
        EXPECT_EQ(grid.canvas().Pixels(i, 20), want) << "column " << i;
        EXPECT_EQ(grid.canvas().Pixels(20, i), want) << "row " << i;
    }
    EXPECT_EQ(grid.canvas().Pixels(400, 400), kBlack);
    EXPECT_EQ(grid.canvas().Pixels(241, 361), kLine);
}

TEST(ScopeGrid, CellsAreOnePixelLargerThanThePitchWithHalvesToEven)
{
    const float p401 = display::scopeGridPitch(401);
    const float p405 = display::scopeGridPitch(405); // 40.5: corners on halves
    const struct {
        int column, row;
        float w, h;
        Rect want;
    } cases[] = {
        {0, 0, p401, p401, Rect(0, 0, 41, 41)},
        {5, 6, p401, p401, Rect(200, 241, 242, 282)}, // 200.4999.. and 240.6
        {9, 9, p401, p401, Rect(361, 361, 402, 402)}, // closing line on 401
        {1, 3, p405, p405, Rect(40, 122, 82, 163)},   // 40.5 -> 40, 121.5 -> 122, 163
        {3, 1, p405, p405, Rect(122, 40, 163, 82)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(display::scopeGridCell(c.column, c.row, c.w, c.h), c.want)
            << c.column << "," << c.row;
}

TEST(ScopeTracePainter, WipesEachStripFromTheGridThenDrawsTheStaircase)
{
    OffscreenImage grid(40, 30);
    grid.canvas().setBrushColor(kBlack);
    grid.canvas().FillRect(Rect(0, 0, 40, 30));
    grid.canvas().setPenColor(kLine);
    grid.canvas().MoveTo(10, 0);
    grid.canvas().LineTo(10, 30);
    OffscreenImage screen(40, 30);
    screen.canvas().setBrushColor(kJunk); // last block's trace, say
    screen.canvas().FillRect(Rect(0, 0, 40, 30));

    auto trace = std::make_unique<engine::ScopeTrace>();
    trace->startRow = 5;
    trace->xStep = 6.0f;
    // A first step left of the screen, then three steps, then a gap: columns
    // 25 .. 39 belong to no step.
    trace->steps[0] = {0, -4, 0, 5, 5, 5};
    trace->steps[1] = {1, 0, 6, 5, 5, 5};
    trace->steps[2] = {2, 6, 12, 20, 5, 20};
    trace->steps[3] = {3, 12, 25, 8, 8, 20};
    trace->count = 4;
    display::TraceEraser eraser;
    display::drawScopeTrace(screen.canvas(), grid.canvas(), 30, *trace, eraser);

    std::set<std::pair<int, int>> green;
    for (int x = 0; x < 6; ++x)
        green.insert({x, 5});
    for (int y = 5; y < 20; ++y) // down at x0 = 6, leaving out the end pixel
        green.insert({6, y});
    for (int x = 6; x < 12; ++x)
        green.insert({x, 20});
    for (int y = 20; y > 8; --y) // up at x0 = 12
        green.insert({12, y});
    for (int x = 12; x < 25; ++x)
        green.insert({x, 8});
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            engine::TColor want = x >= 25 ? kJunk : x == 10 ? kLine : kBlack;
            if (green.count({x, y}))
                want = kGreen;
            ASSERT_EQ(screen.canvas().Pixels(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(screen.canvas().penPos(), QPoint(25, 8));
}

TEST(ScopeTracePainter, LinesJoinTheSamplesAndNarrowColumnsShowTheirEnvelope)
{
    OffscreenImage grid(40, 30);
    grid.canvas().setBrushColor(kBlack);
    grid.canvas().FillRect(Rect(0, 0, 40, 30));
    OffscreenImage screen(40, 30);
    auto trace = std::make_unique<engine::ScopeTrace>();

    // Lines: a steep segment keeps the pixels it sets in the next step's strip.
    trace->startRow = 0;
    trace->xStep = 4.0f;
    trace->steps[0] = {0, 0, 4, 28, 0, 28};
    trace->steps[1] = {1, 4, 8, 28, 28, 28};
    trace->count = 2;
    display::TraceEraser eraser;
    display::drawScopeTrace(screen.canvas(), grid.canvas(), 30, *trace, eraser,
                            display::ScopeTraceStyle::Lines);
    for (int y = 0; y < 28; ++y) {
        int inRow = 0;
        for (int x = 0; x <= 4; ++x)
            inRow += screen.canvas().Pixels(x, y) == kGreen;
        ASSERT_EQ(inRow, 1) << y; // one pixel a row, none wiped
    }
    EXPECT_EQ(screen.canvas().Pixels(4, 26), kGreen);
    for (int x = 4; x < 8; ++x)
        EXPECT_EQ(screen.canvas().Pixels(x, 28), kGreen) << x;

    // Several samples a column: the column's range, whatever the row drawn.
    screen.canvas().setBrushColor(kJunk);
    screen.canvas().FillRect(Rect(0, 0, 40, 30));
    trace->xStep = 0.5f;
    trace->startRow = 15;
    trace->steps[0] = {2, 0, 1, 15, 3, 26};
    trace->count = 1;
    eraser.forget(); // the screen was painted over
    display::drawScopeTrace(screen.canvas(), grid.canvas(), 30, *trace, eraser);
    for (int y = 0; y < 30; ++y)
        ASSERT_EQ(screen.canvas().Pixels(0, y), (y >= 3 && y <= 26) ? kGreen : kBlack) << y;
}
