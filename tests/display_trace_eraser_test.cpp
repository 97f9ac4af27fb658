// The live curves erased through a TraceEraser look exactly as when every
// block restores whole columns, block after block, and after something else
// drew on the screen and the eraser was told to forget.

#include "display/fft_curves.h"
#include "display/offscreen_image.h"
#include "display/rta_display.h"
#include "display/scope_trace_painter.h"
#include "display/trace_eraser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int kW = 160;
constexpr int kH = 90;

using Draw = std::function<void(display::Canvas& screen, const display::Canvas& background,
                                display::TraceEraser& eraser, std::mt19937& random)>;

// Rows reach beyond the screen on both sides, so clipping is exercised.
int randomRow(std::mt19937& random)
{
    return std::uniform_int_distribution<int>(-15, kH + 15)(random);
}

void drawRta(display::Canvas& screen, const display::Canvas& background,
             display::TraceEraser& eraser, std::mt19937& random)
{
    static engine::CoordArray points{};
    int x = std::uniform_int_distribution<int>(-5, 5)(random);
    const int bands = 12;
    for (std::size_t i = 0; i < bands; ++i) {
        points[0][i] = x;
        points[1][i] = randomRow(random);
        x += std::uniform_int_distribution<int>(1, 20)(random);
    }
    display::drawRtaStaircase(screen, background, QPoint(0, 0), points, bands, kH, eraser);
}

void drawFft(display::Canvas& screen, const display::Canvas& background,
             display::TraceEraser& eraser, std::mt19937& random)
{
    static engine::CoordArray points{};
    const int count = 300;
    for (std::size_t i = 0; i < count; ++i) {
        points[0][i] = static_cast<int>(i) * kW / count;
        points[1][i] = randomRow(random);
    }
    display::drawFftCurve(screen, background, points, count, eraser);
}

// The averaged page: the erase alone, the peak hold, then a dense live curve
// (several bins a column, as on a long transform's log axis).
void drawFftWithHold(display::Canvas& screen, const display::Canvas& background,
                     display::TraceEraser& eraser, std::mt19937& random)
{
    static engine::CoordArray live{};
    static engine::CoordArray hold{};
    const int count = 1000;
    for (std::size_t i = 0; i < count; ++i) {
        live[0][i] = hold[0][i / 4] = static_cast<int>(i) * kW / count;
        live[1][i] = randomRow(random);
        hold[1][i / 4] = randomRow(random) / 2;
    }
    display::drawFftCurve(screen, background, live, 0, eraser);
    display::drawFftPolyline(screen, hold, count / 4, display::kFftHoldColour, eraser);
    display::drawFftPolyline(screen, live, count, engine::clBlack, eraser);
}

// Staircase, lines, or narrow columns with their envelope.
void drawScope(display::Canvas& screen, const display::Canvas& background,
               display::TraceEraser& eraser, std::mt19937& random)
{
    static engine::ScopeTrace trace;
    const int kind = std::uniform_int_distribution<int>(0, 2)(random);
    trace.startRow = randomRow(random);
    trace.xStep = kind == 2 ? 0.5f : 2.0f;
    int x = std::uniform_int_distribution<int>(-6, 0)(random);
    trace.count = 0;
    while (x < kW - 1) {
        const int x1 = std::min(kW - 1, x + std::uniform_int_distribution<int>(1, 4)(random));
        const int k = trace.count++;
        const int a = randomRow(random);
        const int b = randomRow(random);
        trace.steps[static_cast<std::size_t>(k)] = {
            k, x, x1, randomRow(random), std::min(a, b), std::max(a, b)};
        x = x1;
    }
    display::drawScopeTrace(screen, background, kH, trace, eraser,
                            kind == 1 ? display::ScopeTraceStyle::Lines
                                      : display::ScopeTraceStyle::Staircase);
}

TEST(TraceEraser, CurvesLookAsWithWholeColumnsRestoredBlockAfterBlock)
{
    display::OffscreenImage background(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            background.canvas().setPenColor(engine::RGB(x, y, (x * y) & 255));
            background.canvas().MoveTo(x, y);
            background.canvas().LineTo(x + 1, y);
        }
    for (const auto& [name, draw] : {std::pair<const char*, Draw>{"rta", drawRta},
                                     {"fft", drawFft},
                                     {"fft with hold", drawFftWithHold},
                                     {"scope", drawScope}}) {
        display::OffscreenImage kept(kW, kH);
        display::OffscreenImage whole(kW, kH);
        display::TraceEraser eraser;
        std::mt19937 randomKept(3);
        std::mt19937 randomWhole(3);
        for (int block = 0; block < 40; ++block) {
            if (block == 20) {
                // Something else paints the screen: the eraser must be told.
                for (display::OffscreenImage* screen : {&kept, &whole}) {
                    screen->canvas().setBrushColor(engine::RGB(255, 0, 255));
                    screen->canvas().FillRect(display::Rect(0, 10, kW, 30));
                }
                eraser.forget();
            }
            draw(kept.canvas(), background.canvas(), eraser, randomKept);
            display::TraceEraser fresh; // knows nothing: restores whole columns
            draw(whole.canvas(), background.canvas(), fresh, randomWhole);
            ASSERT_EQ(kept.image(), whole.image()) << name << ", block " << block;
        }
    }
}

} // namespace
