// The octave-band page's drawing: the grid image, the live staircase erasing
// its columns from it, and stored curves.

#include "display/colour_map.h"
#include "display/offscreen_image.h"
#include "display/rta_display.h"

#include "engine/colour.h"
#include "engine/types.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

using display::Canvas;
using display::OffscreenImage;
using display::Rect;
using engine::RGB;
using engine::TColor;

namespace {

constexpr int kW = 739;
constexpr int kH = 465;

const display::RtaGridColours kColours{RGB(0, 0, 0), RGB(0, 255, 0), RGB(0, 128, 0),
                                       RGB(255, 255, 255)};

display::RtaGridPicture defaultPicture()
{
    display::RtaGridPicture p;
    p.levels = display::LevelAxis{20, 100, 10, 4.8125f};
    p.colours = kColours;
    p.levelTitle = "Pegel [dB]";
    p.frequencyTitle = "f [Hz]";
    return p;
}

// Pixels of `colour` in the rectangle [x0, x1) x [y0, y1) of `c`.
int countColour(const Canvas& c, TColor colour, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += c.Pixels(x, y) == colour;
    return n;
}

// Pixels of white text, antialiased edges included, in the rectangle: the
// only colour with red in it on this grid.
int textPixels(const Canvas& c, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += (c.Pixels(x, y) & 0xFF) > 64;
    return n;
}

// A page-sized image with a grid box over all of it and a graph box over its
// plot area at (40, 40), as the page lays them out.
struct Page {
    OffscreenImage page{kW, kH};
    Canvas grid;
    Canvas graph;
    OffscreenImage phantom;
    Page()
    {
        grid.setTarget(const_cast<QImage*>(&page.image()), QRect(0, 0, kW, kH), nullptr);
        graph.setTarget(const_cast<QImage*>(&page.image()), QRect(40, 40, 659, 386), nullptr);
    }
};

} // namespace

TEST(RtaDisplay, GridPaintDrawsBackgroundLinesAxesAndTextAndCopiesItOntoTheBox)
{
    Page p;
    display::paintRtaGrid(p.phantom, p.grid, defaultPicture());
    ASSERT_EQ(p.phantom.width(), kW);
    ASSERT_EQ(p.phantom.height(), kH);
    const Canvas& c = p.phantom.canvas();

    const struct {
        int x, y;
        TColor colour;
        const char* what;
    } pixels[] = {
        {45, 60, kColours.background, "plot background"},
        {730, 10, kColours.background, "margin background"},
        {40, 200, kColours.axes, "left axis"},
        {300, 425, kColours.axes, "bottom axis"},
        {698, 425, kColours.axes, "bottom axis, last pixel"},
        {699, 425, kColours.background, "the axis leaves out its end"},
        {45, 377, kColours.grid, "30 dB line"},
        {45, 232, kColours.grid, "60 dB line (232.5 rounded to even)"},
        {45, 233, kColours.background, "below the 60 dB line"},
        {45, 40, kColours.grid, "100 dB line"},
        {413, 100, kColours.grid, "1 kHz line"},
        {699, 100, kColours.grid, "20 kHz line at the plot's end"},
        {413, 425, kColours.axes, "the axis over the 1 kHz line"},
    };
    for (const auto& px : pixels)
        EXPECT_EQ(c.Pixels(px.x, px.y), px.colour) << px.what;

    // Glyphs, not just changed pixels: level labels left of the axis, the
    // rotated frequency labels below the plot, the titles.
    EXPECT_GT(textPixels(c, 20, 368, 38, 386), 20) << "label 30";
    EXPECT_EQ(textPixels(c, 20, 390, 38, 420), 0) << "no label 20";
    EXPECT_GT(textPixels(c, 414, 430, 430, 452), 20) << "label 1k";
    EXPECT_GT(textPixels(c, 0, 150, 20, 320), 40) << "level title";
    EXPECT_GT(textPixels(c, 330, 440, 410, 465), 30) << "frequency title";
    EXPECT_EQ(textPixels(c, 41, 41, 699, 425), 0) << "no text in the plot";

    EXPECT_EQ(p.page.image(), p.phantom.image());
}

TEST(RtaDisplay, GridWithoutLevelAxisHasFrequencyLinesOnly)
{
    Page p;
    auto picture = defaultPicture();
    picture.levels.reset();
    picture.xAxisMin = 1000;
    picture.xAxisMax = 1000;
    display::paintRtaGrid(p.phantom, p.grid, picture);
    const Canvas& c = p.phantom.canvas();
    EXPECT_EQ(countColour(c, kColours.grid, 0, 0, kW, kH), 0);
    EXPECT_EQ(c.Pixels(40, 200), kColours.axes);
    EXPECT_EQ(textPixels(c, 20, 0, 38, 430), 0) << "no level labels";
}

TEST(RtaDisplay, GridImageTakesTheBoxSizeAndSystemColours)
{
    OffscreenImage box(300, 200);
    OffscreenImage phantom(739, 192); // the size the form gives it
    auto picture = defaultPicture();
    picture.colours.background = engine::clBtnFace;
    display::paintRtaGrid(phantom, box.canvas(), picture);
    EXPECT_EQ(phantom.width(), 300);
    EXPECT_EQ(phantom.height(), 200);
    EXPECT_EQ(phantom.canvas().Pixels(45, 45),
              display::fromQColor(display::toQColor(engine::clBtnFace)));
}

TEST(RtaDisplay, StaircaseErasesEachColumnWithTheGridPixelsUnderIt)
{
    Page p;
    display::paintRtaGrid(p.phantom, p.grid, defaultPicture());
    // Something to erase: the graph painted over in red.
    p.graph.setBrushColor(RGB(255, 0, 0));
    p.graph.FillRect(Rect(0, 0, 659, 386));

    auto pts = std::make_unique<engine::CoordArray>();
    auto& x = (*pts)[0];
    auto& y = (*pts)[1];
    display::TraceEraser eraser;
    // Four bands: the first clipped away left of the axis, then columns
    // 0..100, 100..300, 300..400; y[0] is never used.
    const int xs[] = {0, 0, 100, 300, 400};
    const int ys[] = {-5, 250, 50, 200, 120};
    for (int i = 0; i < 5; ++i) {
        x[i] = xs[i];
        y[i] = ys[i];
    }
    display::drawRtaStaircase(p.graph, p.phantom.canvas(), QPoint(40, 40), *pts, 5, 386, eraser);

    const TColor white = RGB(255, 255, 255);
    EXPECT_EQ(p.graph.Pixels(0, 50), white) << "first step starts at x[0]";
    EXPECT_EQ(p.graph.Pixels(99, 50), white);
    EXPECT_EQ(p.graph.Pixels(100, 50), white) << "riser from band 1 to band 2";
    EXPECT_EQ(p.graph.Pixels(100, 199), white);
    EXPECT_EQ(p.graph.Pixels(100, 200), white) << "second step";
    EXPECT_EQ(p.graph.Pixels(299, 200), white);
    EXPECT_EQ(p.graph.Pixels(300, 120), white) << "riser upwards";
    EXPECT_EQ(p.graph.Pixels(399, 120), white);
    EXPECT_NE(p.graph.Pixels(400, 120), white) << "the last step leaves out its end";
    for (int gy : {49, 100, 249})
        EXPECT_NE(p.graph.Pixels(0, gy), white) << "no riser on the left edge, at " << gy;

    // The columns, and what lies right of the last, show exactly the grid
    // below them: no red is left.
    for (int gx = 0; gx < 659; gx += 7)
        for (int gy = 0; gy < 386; gy += 5) {
            const TColor now = p.graph.Pixels(gx, gy);
            if (now == white)
                continue;
            ASSERT_EQ(now, p.phantom.canvas().Pixels(gx + 40, gy + 40)) << gx << "," << gy;
        }
}

TEST(RtaDisplay, StoredCurveIsDrawnWithItsOwnPointsAndBandCount)
{
    Page p;
    auto pts = std::make_unique<engine::CoordArray>();
    auto& x = (*pts)[0];
    auto& y = (*pts)[1];
    for (int i = 0; i < 12; ++i) {
        x[i] = i == 0 ? 0 : i == 11 ? 659 : static_cast<int>(33 + 65.9 * (i - 1));
        y[i] = 10 * i + 20;
    }
    const TColor red = RGB(255, 0, 0);
    display::drawRtaCurve(p.graph, red, *pts, 12);
    EXPECT_EQ(p.graph.Pixels(10, 30), red) << "band 1";
    EXPECT_EQ(p.graph.Pixels(x[5] + 5, y[6]), red) << "band 6";
    EXPECT_EQ(p.graph.Pixels(x[5], y[5] + 5), red) << "riser at the column border";
    EXPECT_EQ(p.graph.Pixels(650, y[11]), red) << "band 11";

    // Counts beyond the points' size are clamped; none or one draw nothing.
    Page q;
    for (int n : {-3, 0, 1}) {
        display::drawRtaCurve(q.graph, red, *pts, n);
        EXPECT_EQ(countColour(q.graph, red, 0, 0, 659, 386), 0) << n;
    }
    display::drawRtaCurve(q.graph, red, *pts, 1 << 30);
    EXPECT_GT(countColour(q.graph, red, 0, 0, 659, 386), 600);
}
