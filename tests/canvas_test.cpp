// Pixel rules of the canvas: lines, rectangles, copies, colours, text, and
// off-screen image sizing.

#include "display/canvas.h"
#include "display/colour_map.h"
#include "display/offscreen_image.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

using display::BrushStyle;
using display::OffscreenImage;
using display::Rect;
using engine::RGB;
using engine::TColor;

namespace {

using Pixel = std::pair<int, int>;

constexpr TColor kPaper = RGB(255, 255, 255);
constexpr TColor kInk = RGB(200, 10, 30);

// The pixels of `image` that are not paper.
std::set<Pixel> inked(const OffscreenImage& image)
{
    std::set<Pixel> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.canvas().Pixels(x, y) != kPaper)
                out.insert({x, y});
    return out;
}

// Textbook incremental Bresenham over every step, the end pixel left out and
// a tie kept on the start's row or column; the reference for clipping.
std::set<Pixel> referenceLine(int x0, int y0, int x1, int y1, int width, int height)
{
    std::set<Pixel> out;
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x1 >= x0 ? 1 : -1, sy = y1 >= y0 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    int x = x0, y = y0;
    long long d = 2LL * minor - major;
    for (int i = 0; i < major; ++i) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            out.insert({x, y});
        if (d > 0) {
            (xMajor ? y : x) += xMajor ? sy : sx;
            d -= 2LL * major;
        }
        d += 2LL * minor;
        (xMajor ? x : y) += xMajor ? sx : sy;
    }
    return out;
}

} // namespace

TEST(Canvas, LineLeavesOutItsEndPixelAndMovesThePen)
{
    struct Case {
        const char* name;
        int x0, y0, x1, y1;
        std::set<Pixel> pixels;
    };
    const std::vector<Case> cases = {
        {"horizontal", 2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {"horizontal reversed", 6, 3, 2, 3, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
        {"vertical", 4, 1, 4, 5, {{4, 1}, {4, 2}, {4, 3}, {4, 4}}},
        {"vertical reversed", 4, 5, 4, 1, {{4, 5}, {4, 4}, {4, 3}, {4, 2}}},
        {"diagonal", 1, 1, 5, 5, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
        {"diagonal reversed", 5, 5, 1, 1, {{5, 5}, {4, 4}, {3, 3}, {2, 2}}},
        {"shallow, ties stay on the start row", 0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {"steep", 0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}}},
        {"length 0", 3, 3, 3, 3, {}},
        {"leaving the image", 7, 2, 12, 2, {{7, 2}, {8, 2}, {9, 2}}},
        {"entirely outside", -5, -1, 20, -1, {}},
        {"from far above to inside", 1, -1000000, 1, 2, {{1, 0}, {1, 1}}},
    };
    for (const Case& c : cases) {
        OffscreenImage image(10, 8);
        image.canvas().setPenColor(kInk);
        image.canvas().MoveTo(c.x0, c.y0);
        image.canvas().LineTo(c.x1, c.y1);
        EXPECT_EQ(inked(image), c.pixels) << c.name;
        EXPECT_EQ(image.canvas().penPos(), QPoint(c.x1, c.y1)) << c.name;
        if (!c.pixels.empty()) {
            const auto [x, y] = *c.pixels.begin();
            EXPECT_EQ(image.canvas().Pixels(x, y), kInk) << c.name;
        }
    }
}

TEST(Canvas, ClippingKeepsThePixelsOfTheWholeLineAndNothingOutside)
{
    // The canvas covers only part of its image, so a pixel set beyond the
    // clip would show.
    const auto check = [](int width, int height, auto&& forEachLine) {
        constexpr int kLeft = 4, kTop = 3;
        QImage pixels(width + 2 * kLeft, height + 2 * kTop, display::kCanvasFormat);
        display::Canvas canvas;
        canvas.setTarget(&pixels, QRect(kLeft, kTop, width, height), nullptr);
        canvas.setPenColor(kInk);
        forEachLine([&](int x0, int y0, int x1, int y1) {
            pixels.fill(display::toQRgb(kPaper));
            canvas.MoveTo(x0, y0);
            canvas.LineTo(x1, y1);
            std::set<Pixel> drawn;
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x)
                    if (pixels.pixel(x, y) != display::toQRgb(kPaper))
                        drawn.insert({x - kLeft, y - kTop});
            const auto want = referenceLine(x0, y0, x1, y1, width, height);
            EXPECT_EQ(drawn, want) << "(" << x0 << "," << y0 << ") to (" << x1 << "," << y1 << ")";
            return drawn == want;
        });
    };
    // Every line between two points around a small canvas: every way in and
    // out, every tie.
    check(6, 4, [](auto&& line) {
        for (int y0 = -5; y0 <= 8; ++y0)
            for (int x0 = -5; x0 <= 10; ++x0)
                for (int y1 = -5; y1 <= 8; ++y1)
                    for (int x1 = -5; x1 <= 10; ++x1)
                        if (!line(x0, y0, x1, y1))
                            return;
    });
    // Long lines across a larger one.
    check(37, 23, [](auto&& line) {
        std::mt19937 gen(7);
        std::uniform_int_distribution<int> coord(-400, 400);
        for (int n = 0; n < 2000; ++n)
            if (!line(coord(gen), coord(gen), coord(gen), coord(gen)))
                return;
    });
}

TEST(Canvas, LinesWithExtremeEndsAreClippedExactly)
{
    OffscreenImage image(20, 10);
    auto& c = image.canvas();
    c.setPenColor(kInk);
    c.MoveTo(-2000000000, 4);
    c.LineTo(2000000000, 4); // a whole row
    c.MoveTo(7, 6500000);
    c.LineTo(7, -6500000); // a whole column
    c.MoveTo(INT32_MIN, INT32_MIN);
    c.LineTo(INT32_MAX, INT32_MAX); // the diagonal through (0, 0)
    std::set<Pixel> expected;
    for (int x = 0; x < 20; ++x)
        expected.insert({x, 4});
    for (int y = 0; y < 10; ++y)
        expected.insert({7, y});
    for (int i = 0; i < 10; ++i)
        expected.insert({i, i});
    EXPECT_EQ(inked(image), expected);
}

TEST(Canvas, RectangleExcludesRightAndBottomAndHonoursTheBrush)
{
    constexpr TColor kFill = RGB(0, 0, 250);
    struct Case {
        const char* name;
        int x1, y1, x2, y2;
        bool clearBrush;
    };
    const std::vector<Case> cases = {
        {"filled", 2, 3, 7, 7, false},           {"corners swapped", 7, 7, 2, 3, false},
        {"clear brush", 2, 3, 7, 7, true},       {"one pixel wide", 4, 1, 5, 6, false},
        {"partly outside", -3, -3, 4, 4, false},
    };
    for (const Case& c : cases) {
        OffscreenImage image(10, 9);
        auto& canvas = image.canvas();
        canvas.setPenColor(kInk);
        canvas.setBrushColor(kFill);
        if (c.clearBrush)
            canvas.setBrushStyle(BrushStyle::Clear);
        canvas.Rectangle(c.x1, c.y1, c.x2, c.y2);
        const int l = std::min(c.x1, c.x2), r = std::max(c.x1, c.x2);
        const int t = std::min(c.y1, c.y2), b = std::max(c.y1, c.y2);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                TColor want = kPaper;
                if (x >= l && x < r && y >= t && y < b) {
                    const bool edge = x == l || x == r - 1 || y == t || y == b - 1;
                    want = edge ? kInk : (c.clearBrush ? kPaper : kFill);
                }
                ASSERT_EQ(canvas.Pixels(x, y), want) << c.name << " at " << x << "," << y;
            }
    }

    OffscreenImage image(6, 6);
    image.canvas().Rectangle(1, 1, 1, 5); // no width: nothing
    image.canvas().setBrushColor(kFill);
    image.canvas().FillRect(Rect(1, 2, 4, 3));
    image.canvas().setBrushStyle(BrushStyle::Clear);
    image.canvas().FillRect(Rect(0, 0, 6, 6)); // clear brush: nothing
    EXPECT_EQ(inked(image), (std::set<Pixel>{{1, 2}, {2, 2}, {3, 2}}));
}

TEST(Canvas, CopyRectCopiesPixelForPixelAndClipsAtBothImages)
{
    const auto patterned = [](OffscreenImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                image.canvas().setPenColor(RGB(std::uint8_t(x * 7), std::uint8_t(y * 11), 99));
                image.canvas().MoveTo(x, y);
                image.canvas().LineTo(x + 1, y);
            }
    };
    struct Case {
        const char* name;
        Rect dest, source;
    };
    const std::vector<Case> cases = {
        {"inside", Rect(2, 3, 7, 6), Rect(10, 1, 15, 4)},
        {"destination off the top left", Rect(-2, -1, 4, 3), Rect(0, 0, 6, 4)},
        {"destination off the bottom right", Rect(8, 6, 14, 11), Rect(1, 1, 7, 6)},
        {"source off every edge", Rect(0, 0, 12, 9), Rect(-3, -2, 9, 7)},
        {"source beyond its image", Rect(1, 1, 5, 5), Rect(30, 30, 34, 34)},
        {"inverted", Rect(5, 5, 2, 2), Rect(5, 5, 2, 2)},
    };
    for (const Case& c : cases) {
        OffscreenImage source(20, 12);
        patterned(source);
        OffscreenImage dest(10, 8);
        dest.canvas().CopyRect(c.dest, source.canvas(), c.source);
        for (int y = 0; y < dest.height(); ++y)
            for (int x = 0; x < dest.width(); ++x) {
                const int sx = x - c.dest.Left + c.source.Left;
                const int sy = y - c.dest.Top + c.source.Top;
                const bool copied = x >= c.dest.Left && x < c.dest.Right && y >= c.dest.Top &&
                                    y < c.dest.Bottom && sx >= 0 && sy >= 0 && sx < 20 && sy < 12;
                const TColor want = copied ? source.canvas().Pixels(sx, sy) : kPaper;
                ASSERT_EQ(dest.canvas().Pixels(x, y), want) << c.name << " at " << x << "," << y;
            }
    }

    // Within one image, overlapping in both directions.
    for (const auto& [dx, dy] : std::vector<Pixel>{{3, 2}, {-3, -2}, {2, -1}}) {
        OffscreenImage image(20, 12), before(20, 12);
        patterned(image);
        patterned(before);
        image.canvas().CopyRect(Rect(5 + dx, 4 + dy, 15 + dx, 10 + dy), image.canvas(),
                                Rect(5, 4, 15, 10));
        for (int y = 4; y < 10; ++y)
            for (int x = 5; x < 15; ++x)
                ASSERT_EQ(image.canvas().Pixels(x + dx, y + dy), before.canvas().Pixels(x, y))
                    << "shift " << dx << "," << dy << " at " << x << "," << y;
    }
}

TEST(ColourMap, MapsRgbValuesAndSystemColours)
{
    const QPalette palette = QGuiApplication::palette();
    struct Case {
        TColor colour;
        QRgb want;
    };
    const std::vector<Case> cases = {
        {RGB(255, 0, 0), qRgb(255, 0, 0)},
        {0x00123456u, qRgb(0x56, 0x34, 0x12)},
        {0x02808080u, qRgb(0x80, 0x80, 0x80)}, // the top byte is not a colour
        {engine::clBtnFace, palette.color(QPalette::Active, QPalette::Button).rgb()},
        {engine::clWindowText, palette.color(QPalette::Active, QPalette::WindowText).rgb()},
        {0xFF000005u, palette.color(QPalette::Active, QPalette::Base).rgb()},
        {0xFF000013u, palette.color(QPalette::Active, QPalette::Light).rgb()},
        {0xFF000019u, qRgb(0, 0, 0)}, // unused number
        {0xFF0000FFu, qRgb(0, 0, 0)}, // unknown number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(display::toQRgb(c.colour), c.want) << std::hex << c.colour;
        EXPECT_EQ(display::toQColor(c.colour).rgb(), c.want) << std::hex << c.colour;
    }
    EXPECT_EQ(display::fromQColor(QColor(1, 2, 3)), RGB(1, 2, 3));
}

TEST(Canvas, TextDrawsGlyphsInsideItsCell)
{
    ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: install fonts-dejavu-core";
    OffscreenImage probe(1, 1);
    ASSERT_FALSE(QFontInfo(probe.canvas().font()).family().isEmpty());

    for (const bool solid : {false, true}) {
        OffscreenImage image(120, 40);
        auto& c = image.canvas();
        c.setFontColor(engine::clBlack);
        c.setBrushColor(RGB(0, 200, 0));
        if (!solid)
            c.setBrushStyle(BrushStyle::Clear);
        const QString text = "-120 dB";
        const int w = c.TextWidth(text), h = c.TextHeight(text);
        ASSERT_GT(w, 10);
        ASSERT_GT(h, 5);
        c.TextOut(5, 7, text);
        EXPECT_EQ(c.penPos(), QPoint(5 + w, 7));
        int dark = 0, background = 0;
        for (const auto& [x, y] : inked(image)) {
            ASSERT_TRUE(x >= 4 && x <= 5 + w && y >= 6 && y <= 7 + h)
                << "ink outside the cell at " << x << "," << y;
            const QRgb p = display::toQRgb(c.Pixels(x, y));
            dark += qGreen(p) < 100;
            background += p == qRgb(0, 200, 0);
        }
        EXPECT_GT(dark, 20) << "no glyphs drawn";
        if (solid)
            EXPECT_GT(background, w * h / 3) << "cell not filled with the brush";
        else
            EXPECT_EQ(background, 0);
    }
}

TEST(Canvas, RotatedTextTurnsCounterClockwiseAboutItsCorner)
{
    // Heavy letters first, so the ink's centre shows which way the text runs.
    const QString text = "MMMM....";
    struct Case {
        double angle;
        bool readsUp; // else reads downwards
    };
    for (const Case& c : {Case{90, true}, Case{270, false}}) {
        OffscreenImage image(80, 120);
        auto& canvas = image.canvas();
        canvas.setFontColor(engine::clBlack);
        canvas.setBrushStyle(BrushStyle::Clear);
        const int w = canvas.TextWidth(text), h = canvas.TextHeight(text);
        const int x = 40, y = 60;
        canvas.TextOutRotated(x, y, text, c.angle);
        const QRect cell = c.readsUp ? QRect(x, y - w, h, w) : QRect(x - h, y, h, w);
        const QRect allowed = cell.adjusted(-1, -1, 1, 1);
        int ink = 0;
        long long sumY = 0;
        for (const auto& [px, py] : inked(image)) {
            ASSERT_TRUE(allowed.contains(px, py)) << c.angle << ": ink at " << px << "," << py;
            ++ink;
            sumY += py;
        }
        ASSERT_GT(ink, 40) << c.angle << ": no glyphs drawn";
        const double centre = double(sumY) / ink;
        const double middle = cell.top() + cell.height() / 2.0;
        if (c.readsUp)
            EXPECT_GT(centre, middle) << "text at 90 must start at the bottom";
        else
            EXPECT_LT(centre, middle) << "text at 270 must start at the top";
    }
}

TEST(OffscreenImage, HeightThenWidthSizesTheImageAndKeepsItsPixels)
{
    OffscreenImage image;
    image.setHeight(5);
    EXPECT_EQ(image.canvas().height(), 5);
    image.setWidth(7);
    EXPECT_EQ(image.image().size(), QSize(7, 5));
    EXPECT_EQ(image.canvas().width(), 7);

    image.canvas().setPenColor(kInk);
    image.canvas().MoveTo(6, 4);
    image.canvas().LineTo(7, 4);
    image.setHeight(5);
    image.setWidth(7);
    EXPECT_EQ(image.canvas().Pixels(6, 4), kInk);

    image.setHeight(9);
    image.setWidth(12);
    EXPECT_EQ(image.canvas().Pixels(6, 4), kInk);
    EXPECT_EQ(inked(image).size(), 1u); // new pixels are white

    image.setWidth(3);
    image.canvas().LineTo(100, 4); // beyond the narrower image
    EXPECT_EQ(image.image().size(), QSize(3, 9));
    EXPECT_TRUE(inked(image).empty());
}

TEST(Canvas, AtScaleTwoEveryPixelIsABlockOfTheScaleOnePicture)
{
    QImage one(40, 30, display::kCanvasFormat);
    QImage two(80, 60, display::kCanvasFormat);
    one.fill(Qt::white);
    two.fill(Qt::white);
    display::Canvas a;
    display::Canvas b;
    // Laid over part of the image, as a box over another.
    a.setTarget(&one, QRect(3, 2, 34, 26), nullptr);
    b.setTarget(&two, QRect(3, 2, 34, 26), nullptr, 2);
    for (display::Canvas* c : {&a, &b}) {
        c->setPenColor(engine::RGB(255, 0, 0));
        c->MoveTo(-5, 3);
        c->LineTo(50, 27); // clipped at both ends
        c->MoveTo(2, 2);
        c->LineTo(2, 20);
        c->setBrushColor(engine::RGB(0, 0, 255));
        c->Rectangle(10, 5, 20, 15);
        c->CopyRect(display::Rect(22, 0, 32, 10), *c, display::Rect(10, 5, 20, 15));
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
                ASSERT_EQ(two.pixel(2 * x + d.x(), 2 * y + d.y()), one.pixel(x, y))
                    << x << "," << y;
    EXPECT_EQ(b.Pixels(12, 7), a.Pixels(12, 7));
    const QRect changed = a.takeChanged();
    EXPECT_EQ(b.takeChanged(), QRect(changed.topLeft() * 2, changed.size() * 2));
}
