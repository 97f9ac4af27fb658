// The FFT page's drawing: grid positions, the grid and its snapshot, the live
// curve over the restored grid and the stored curves as staircases.

#include "display/colour_map.h"
#include "display/fft_curves.h"
#include "display/fft_grid.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>

using display::OffscreenImage;
using display::PaintBox;

namespace {

constexpr double kDesignScale = 659.0 / 24000.0; // pixels per hertz, design width
constexpr QRgb kGrey = 0xFF808080;
constexpr int kGraphLeft = 40; // the graph's 0 Hz on the grid's left edge

// The FFT tab's boxes at their design places.
struct FftBoxes {
    QWidget tab;
    PaintBox* grid;
    PaintBox* graph;
    OffscreenImage snapshot{739, 466}; // the form's size before the first paint

    explicit FftBoxes(int graphWidth = 659)
    {
        tab.setGeometry(0, 0, 739, 467);
        grid = new PaintBox(&tab);
        grid->setGeometry(0, 0, 739, 467);
        graph = new PaintBox(&tab, grid);
        graph->setGeometry(kGraphLeft, 40, graphWidth, 387);
    }
    void paintGrid(double columnwidth)
    {
        display::PaintAxesFFT(grid->canvas(), graph->canvas(), graph->pos(), snapshot, columnwidth,
                              "Pegel [dBFS]");
    }
    QRgb pixel(int x, int y) const { return grid->image().pixel(x, y); }
    QRgb graphPixel(int x, int y) const { return pixel(kGraphLeft + x, 40 + y); }
    QImage graphArea() const { return grid->image().copy(kGraphLeft, 40, graph->width(), 387); }
};

// Dark enough to be a glyph of black text, not the grey of a grid line.
bool hasGlyph(const QImage& image, const QRect& box)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (qGray(image.pixel(x, y)) < 0x50)
                return true;
    return false;
}

engine::CoordArray points(std::initializer_list<std::pair<int, int>> xy)
{
    engine::CoordArray p{};
    std::size_t i = 0;
    for (auto [x, y] : xy) {
        p[0][i] = x;
        p[1][i] = y;
        ++i;
    }
    return p;
}

} // namespace

TEST(FftGrid, FrequencyLinesAndLabelsSitOnTheGraphsScale)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A line stands where the graph, starting at graphLeft, puts the curve's
    // point of its frequency; its label starts 7 pixels left of it.
    const struct {
        int kHz;
        double columnwidth;
        int graphLeft;
        std::optional<int> line, label;
    } cases[] = {
        {1, kDesignScale, 40, 67, 60},
        {10, kDesignScale, 40, 315, 308},
        {22, kDesignScale, 40, 644, 637},
        {1, kDesignScale, 43, 70, 63},
        {1, 800.0 / 24000, 40, 73, 66},
        {1, 0.0625, 40, 102, 95},  // 62.5: halves to even
        {3, 0.0625, 40, 228, 221}, // 187.5
        {5, 0.0, 40, 40, 33},      // before any set-up
        {1, nan, 40, std::nullopt, std::nullopt},
        {1, 1e300, 40, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(display::fftFrequencyLineX(c.kHz, c.columnwidth, c.graphLeft), c.line)
            << c.kHz << " kHz at " << c.columnwidth;
        EXPECT_EQ(display::fftFrequencyLabelLeft(c.kHz, c.columnwidth, c.graphLeft), c.label)
            << c.kHz << " kHz at " << c.columnwidth;
    }
}

TEST(FftGrid, DrawsFourteenLevelLinesTwentyTwoFrequencyLinesAndTheirLabels)
{
    FftBoxes boxes;
    const QRgb face = boxes.pixel(5, 5);
    boxes.paintGrid(kDesignScale);
    const QImage& image = boxes.grid->image();

    // Level lines at y = 40, 70 .. 430, from x = 40 to the graph's right edge.
    for (int y = 40; y <= 430; y += 30) {
        EXPECT_EQ(boxes.pixel(39, y), face) << y;
        for (int x = 40; x <= 698; ++x)
            ASSERT_EQ(boxes.pixel(x, y), kGrey) << x << "," << y;
        EXPECT_EQ(boxes.pixel(699, y), face) << y;
    }
    // Between two level lines a row crosses the two edges and the 22 lines.
    int crossings = 0;
    for (int x = 0; x < 739; ++x)
        crossings += boxes.pixel(x, 55) == kGrey;
    EXPECT_EQ(crossings, 24);
    EXPECT_EQ(boxes.pixel(40, 55), kGrey);
    EXPECT_EQ(boxes.pixel(698, 55), kGrey);
    // Frequency lines from y = 40 to 429, the end pixel left out.
    for (int x : {67, 315, 644}) {
        for (int y = 40; y <= 429; ++y)
            ASSERT_EQ(boxes.pixel(x, y), kGrey) << x << "," << y;
        EXPECT_EQ(boxes.pixel(x, 431), face) << x;
        EXPECT_EQ(boxes.pixel(x, 39), face) << x;
    }
    EXPECT_EQ(boxes.pixel(66, 115), face);
    EXPECT_EQ(boxes.pixel(68, 115), face);

    // Labels 0 .. -120 right-aligned at 35, 1k .. 22k below the lines.
    for (int i = 0; i <= 12; ++i)
        EXPECT_TRUE(hasGlyph(image, QRect(8, 34 + 30 * i, 28, 14))) << -10 * i;
    for (int f = 1; f <= 22; ++f) {
        const int left = *display::fftFrequencyLabelLeft(f, kDesignScale, kGraphLeft);
        EXPECT_TRUE(hasGlyph(image, QRect(left, 434, 20, 14))) << f << "k";
    }
    // The title of the level axis above its labels, and nothing else up there.
    EXPECT_TRUE(hasGlyph(image, QRect(0, 0, 100, 32)));
    EXPECT_FALSE(hasGlyph(image, QRect(100, 0, 639, 34)));
    // No background painted: the face shows wherever nothing was drawn.
    EXPECT_EQ(boxes.pixel(738, 466), face);
    EXPECT_EQ(boxes.pixel(100, 115), face);
}

TEST(FftGrid, SnapshotIsTheGridUnderTheGraphAtTheGraphsSize)
{
    for (int width : {659, 500}) {
        FftBoxes boxes(width);
        boxes.snapshot.canvas().setBrushColor(engine::RGB(255, 0, 0));
        boxes.snapshot.canvas().FillRect(display::Rect(0, 0, 739, 466));
        boxes.paintGrid(width / 24000.0);
        ASSERT_EQ(boxes.snapshot.width(), width);
        ASSERT_EQ(boxes.snapshot.height(), 387);
        EXPECT_EQ(boxes.snapshot.image(), boxes.graphArea()) << width;
        // The 1k line lies under the graph at the graph's column of 1 kHz.
        const int line = *display::fftFrequencyLineX(1, width / 24000.0, kGraphLeft);
        EXPECT_EQ(boxes.snapshot.image().pixel(line - kGraphLeft, 100), kGrey) << width;
    }
}

TEST(FftCurves, CurveIsDrawnInBlackOverTheRestoredGridWithoutItsEndPixel)
{
    FftBoxes boxes;
    boxes.paintGrid(kDesignScale);
    const QImage grid = boxes.graphArea();
    const QRgb black = 0xFF000000;
    display::TraceEraser eraser;

    // Leftovers of an earlier curve go with the erase.
    boxes.graph->canvas().setPenColor(engine::RGB(0, 0, 255));
    boxes.graph->canvas().MoveTo(0, 200);
    boxes.graph->canvas().LineTo(600, 200);

    const auto curve = points({{100, 10}, {105, 10}, {105, 20}, {110, 20}});
    display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), curve, 4, eraser);
    for (int x = 100; x <= 104; ++x)
        EXPECT_EQ(boxes.graphPixel(x, 10), black) << x;
    for (int y = 10; y <= 19; ++y)
        EXPECT_EQ(boxes.graphPixel(105, y), black) << y;
    for (int x = 105; x <= 109; ++x)
        EXPECT_EQ(boxes.graphPixel(x, 20), black) << x;
    EXPECT_NE(boxes.graphPixel(110, 20), black);
    EXPECT_EQ(boxes.graphPixel(300, 200), grid.pixel(300, 200));

    // A point on row 470 lies below the graph: the line stops at its edge
    // and the grid below it stays.
    const auto dive = points({{100, 300}, {100, 470}});
    display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), dive, 2, eraser);
    EXPECT_EQ(boxes.graphPixel(100, 386), black);
    for (int y = 427; y < 467; ++y)
        EXPECT_NE(boxes.pixel(kGraphLeft + 100, y), black) << y;
    EXPECT_EQ(boxes.pixel(kGraphLeft + 100, 430), kGrey);

    // With one point, or none, only the erase happens; a count past the
    // arrays stops at their end.
    for (int count : {1, 0, -7}) {
        display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), curve, count, eraser);
        EXPECT_EQ(boxes.graphArea(), grid) << count;
    }
    display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), curve, 1 << 30, eraser);
    EXPECT_EQ(boxes.graphPixel(100, 10), black);
}

TEST(FftCurves, ADenseCurveSetsThePixelsOfItsSegmentsAndTheEraseLeavesNoTrace)
{
    FftBoxes boxes;
    boxes.paintGrid(kDesignScale);
    const QImage grid = boxes.graphArea();
    // Several bins a column, rows jumping up and down, repeated, beyond the
    // graph on both sides and far away.
    auto curve = std::make_unique<engine::CoordArray>();
    const int n = 4096;
    std::uint32_t r = 12345;
    for (int i = 0; i < n; ++i) {
        r = r * 1103515245u + 12345u;
        (*curve)[0][i] = i * 659 / n - 3;
        const int row = static_cast<int>(r >> 16) % 500 - 50;
        (*curve)[1][i] = i % 97 == 0 ? (i % 2 ? 1 << 30 : -(1 << 30)) : (i % 5 == 0 ? 42 : row);
    }
    display::TraceEraser eraser;
    display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), *curve, n, eraser);

    FftBoxes plain;
    plain.paintGrid(kDesignScale);
    display::Canvas& c = plain.graph->canvas();
    c.setPenColor(engine::clBlack);
    c.MoveTo((*curve)[0][0], (*curve)[1][0]);
    for (int i = 1; i < n; ++i)
        c.LineTo((*curve)[0][i], (*curve)[1][i]);
    EXPECT_EQ(boxes.grid->image(), plain.grid->image());

    // The next curve, one point, erases all of it.
    display::drawFftCurve(boxes.graph->canvas(), boxes.snapshot.canvas(), *curve, 1, eraser);
    EXPECT_EQ(boxes.graphArea(), grid);
}
