// Paint boxes and shapes as widgets: when the paint handler runs, how drawn
// pixels reach the screen, boxes laid over others, and a picture of a page.

#include "display/colour_map.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "display/shape.h"
#include "qt_events.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using display::BrushStyle;
using display::OffscreenImage;
using display::PaintBox;
using display::Rect;
using engine::RGB;
using engine::TColor;

namespace {

QRgb onScreen(QWidget& widget, int x, int y)
{
    return widget.grab().toImage().pixel(x, y);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST(PaintBox, HandlerRunsOnShowResizeAndRepaintButNotAfterDrawing)
{
    QWidget window;
    window.setGeometry(0, 0, 200, 150);
    PaintBox box(&window);
    box.setGeometry(10, 10, 100, 80);
    int runs = 0;
    box.setPaintHandler([&] {
        ++runs;
        box.canvas().setPenColor(RGB(0, 0, 255));
        box.canvas().MoveTo(0, 0);
        box.canvas().LineTo(50, 0);
    });
    EXPECT_EQ(runs, 0);
    box.Repaint(); // hidden: waits for the first show
    EXPECT_EQ(runs, 0);
    window.show();
    settle();
    EXPECT_EQ(runs, 1) << "first show";

    box.canvas().setPenColor(RGB(255, 0, 0));
    box.canvas().MoveTo(5, 40);
    box.canvas().LineTo(60, 40);
    settle();
    EXPECT_EQ(onScreen(box, 10, 40), qRgb(255, 0, 0)) << "drawing must reach the screen";
    EXPECT_EQ(runs, 1) << "drawing and showing it must not run the handler";

    box.Repaint();
    EXPECT_EQ(runs, 2) << "Repaint runs the handler at once";
    EXPECT_EQ(box.canvas().Pixels(10, 40),
              display::fromQColor(display::toQColor(engine::clBtnFace)))
        << "a repaint starts from the erase colour";
    EXPECT_EQ(box.canvas().Pixels(10, 0), RGB(0, 0, 255));

    box.Invalidate();
    EXPECT_EQ(runs, 2);
    settle();
    EXPECT_EQ(runs, 3) << "Invalidate runs it at the next paint";

    box.setGeometry(10, 10, 120, 80);
    settle();
    EXPECT_EQ(runs, 4) << "resize";
    EXPECT_EQ(box.canvas().width(), 120);

    box.hide();
    settle();
    box.show();
    settle();
    EXPECT_EQ(runs, 5) << "shown again";
}

TEST(PaintBox, ManyDrawingsBecomeOneScreenUpdate)
{
    QWidget window;
    window.setGeometry(0, 0, 700, 420);
    PaintBox box(&window);
    box.setGeometry(0, 0, 659, 387);
    OffscreenImage grid(659, 387);
    window.show();
    settle();
    PaintCounter counter;
    box.installEventFilter(&counter);

    auto& c = box.canvas();
    c.CopyRect(Rect(0, 0, 659, 387), grid.canvas(), Rect(0, 0, 659, 387));
    c.setPenColor(engine::clBlack);
    c.MoveTo(0, 200);
    for (int i = 1; i < 4096; ++i)
        c.LineTo(i * 659 / 4096, 100 + (i * 37) % 250);
    EXPECT_EQ(counter.paints, 0) << "nothing is painted while the handler draws";
    settle();
    EXPECT_EQ(counter.paints, 1);
}

TEST(PaintBox, UpperBoxDrawsIntoAndReadsTheLowerBoxImage)
{
    QWidget window;
    window.setGeometry(0, 0, 200, 150);
    PaintBox grid(&window);
    grid.setGeometry(0, 0, 160, 120);
    PaintBox graph(&window, &grid);
    graph.setGeometry(40, 30, 80, 60);
    std::vector<std::string> order;
    grid.setPaintHandler([&] {
        order.push_back("grid");
        grid.canvas().setBrushColor(RGB(10, 20, 30));
        grid.canvas().FillRect(Rect(0, 0, 160, 120));
        grid.canvas().setPenColor(RGB(128, 128, 128));
        grid.canvas().MoveTo(0, 50);
        grid.canvas().LineTo(160, 50);
    });
    graph.setPaintHandler([&] { order.push_back("graph"); });
    window.show();
    settle();
    ASSERT_EQ(order, (std::vector<std::string>{"grid", "graph"}));

    // The graph sees the grid under it, and a snapshot of it holds the grid.
    EXPECT_EQ(graph.canvas().Pixels(0, 20), RGB(128, 128, 128));
    OffscreenImage snapshot;
    snapshot.setHeight(graph.height());
    snapshot.setWidth(graph.width());
    snapshot.canvas().CopyRect(Rect(0, 0, 80, 60), graph.canvas(), Rect(0, 0, 80, 60));
    EXPECT_EQ(snapshot.canvas().Pixels(5, 20), RGB(128, 128, 128));
    EXPECT_EQ(snapshot.canvas().Pixels(5, 21), RGB(10, 20, 30));

    // Drawing on the graph lands on the grid's image, clipped to the graph.
    graph.canvas().setPenColor(RGB(255, 255, 255));
    graph.canvas().MoveTo(-10, 5);
    graph.canvas().LineTo(200, 5);
    graph.canvas().MoveTo(3, 59);
    graph.canvas().LineTo(3, 400); // a row below the graph: clipped
    EXPECT_EQ(grid.canvas().Pixels(40, 35), RGB(255, 255, 255));
    EXPECT_EQ(grid.canvas().Pixels(119, 35), RGB(255, 255, 255));
    EXPECT_EQ(grid.canvas().Pixels(39, 35), RGB(10, 20, 30));
    EXPECT_EQ(grid.canvas().Pixels(120, 35), RGB(10, 20, 30));
    EXPECT_EQ(grid.canvas().Pixels(43, 89), RGB(255, 255, 255));
    EXPECT_EQ(grid.canvas().Pixels(43, 90), RGB(10, 20, 30));
    settle();
    EXPECT_EQ(onScreen(window, 60, 35), qRgb(255, 255, 255)) << "upper drawing on screen";

    // Text too stays inside the graph, cut at its right edge.
    graph.canvas().setFontColor(RGB(250, 0, 0));
    graph.canvas().TextOut(70, 40, "WWWW");
    int insideInk = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const TColor p = grid.canvas().Pixels(x, y);
            const bool red = (p & 0xFF) > 128 && ((p >> 8) & 0xFF) < 100;
            if (x < 40 || x >= 120 || y < 30 || y >= 90) {
                ASSERT_FALSE(red) << "text outside the graph at " << x << "," << y;
            }
            insideInk += red && x >= 110;
        }
    EXPECT_GT(insideInk, 5);

    // Erasing the graph from the snapshot restores the grid.
    graph.canvas().CopyRect(Rect(0, 0, 80, 60), snapshot.canvas(), Rect(0, 0, 80, 60));
    EXPECT_EQ(grid.canvas().Pixels(60, 35), RGB(10, 20, 30));

    order.clear();
    graph.Repaint();
    EXPECT_EQ(order, (std::vector<std::string>{"grid", "graph"})) << "repaint of the upper box";

    // Moving the upper box moves its canvas over the grid.
    graph.move(50, 30);
    graph.canvas().setPenColor(RGB(1, 2, 3));
    graph.canvas().MoveTo(0, 0);
    graph.canvas().LineTo(1, 0);
    EXPECT_EQ(grid.canvas().Pixels(50, 30), RGB(1, 2, 3));
}

TEST(PaintBox, UpperBoxOutlivingItsLowerBoxDrawsNowhere)
{
    auto grid = std::make_unique<PaintBox>();
    grid->setGeometry(0, 0, 50, 40);
    PaintBox graph(nullptr, grid.get());
    graph.setGeometry(0, 0, 20, 10);
    graph.canvas().LineTo(10, 5);
    EXPECT_NE(graph.canvas().image(), nullptr);
    grid.reset();
    graph.canvas().LineTo(0, 0);
    graph.canvas().CopyRect(Rect(0, 0, 20, 10), graph.canvas(), Rect(1, 1, 21, 11));
    graph.Repaint();
    graph.Invalidate();
    EXPECT_EQ(graph.canvas().image(), nullptr);
    EXPECT_EQ(graph.canvas().Pixels(1, 1), 0xFFFFFFFFu);
}

TEST(Shape, FillsInsideAndOutlinesItsEdges)
{
    QWidget window;
    window.setGeometry(0, 0, 100, 100);
    window.setAutoFillBackground(true);
    display::Shape frame(&window);
    frame.setGeometry(10, 10, 40, 30);
    frame.setBrushColor(RGB(0, 200, 0));
    frame.setPenColor(RGB(0, 0, 0));
    window.show();
    settle();
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(49, 39), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(30, 25), qRgb(0, 200, 0));
    EXPECT_NE(shot.pixel(50, 25), qRgb(0, 0, 0)) << "outline beyond the shape";

    frame.setBrushStyle(BrushStyle::Clear);
    settle();
    EXPECT_EQ(window.grab().toImage().pixel(30, 25), shot.pixel(70, 70)) << "clear brush";
}

// A page as the octave-band display builds it: the grid is drawn into an
// off-screen image and copied to the grid box; each block erases the graph
// column by column from that image and draws a staircase. Set
// SPECTRION_CANVAS_PNG to a file name to look at the result.
TEST(PaintBox, ColumnErasesFromTheGridImageRemoveThePreviousStaircase)
{
    constexpr TColor kBackground = RGB(0, 0, 64), kGridLine = RGB(0, 128, 128);
    constexpr TColor kCurve = RGB(255, 255, 255);
    QWidget tab;
    tab.setGeometry(0, 0, 739, 465);
    PaintBox grid(&tab);
    grid.setGeometry(0, 0, 739, 465);
    PaintBox graph(&tab, &grid);
    graph.setGeometry(40, 40, 659, 385);
    OffscreenImage phantom;
    grid.setPaintHandler([&] {
        phantom.setHeight(grid.height());
        phantom.setWidth(grid.width());
        auto& c = phantom.canvas();
        c.setBrushColor(kBackground);
        c.FillRect(Rect(0, 0, 739, 465));
        c.setBrushStyle(BrushStyle::Clear);
        c.setFontColor(RGB(255, 255, 0));
        const QString title = "Pegel [dB]";
        c.TextOutRotated(2, 232 + c.TextWidth(title) / 2, title, 90);
        c.setPenColor(kGridLine);
        for (int k = 0; k <= 8; ++k) {
            const int y = 425 - k * 385 / 8;
            c.MoveTo(40, y);
            c.LineTo(699, y);
            const QString label = QString::number(20 + 10 * k);
            c.TextOut(38 - c.TextWidth(label), y - c.TextHeight("0") / 2, label);
        }
        for (int k = 0; k <= 10; ++k) {
            const int x = 40 + k * 659 / 10;
            c.MoveTo(x, 40);
            c.LineTo(x, 425);
            c.TextOutRotated(x + 2 + c.TextHeight("10") / 2, 430, QString::number(k) + "k", 270);
        }
        grid.canvas().CopyRect(Rect(0, 0, 739, 465), c, Rect(0, 0, 739, 465));
    });
    tab.show();
    settle();

    std::vector<int> x(31);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = int(i) * 659 / 30;
    const auto drawBlock = [&](const std::vector<int>& y) {
        auto& c = graph.canvas();
        c.setPenColor(kCurve);
        for (std::size_t i = 0; i + 1 < x.size(); ++i) {
            c.CopyRect(Rect(x[i], 0, x[i + 1], 385), phantom.canvas(),
                       Rect(x[i] + 40, 40, x[i + 1] + 40, 425));
            c.MoveTo(x[i], y[i]);
            if (i == 0)
                c.MoveTo(x[0], y[1]);
            else
                c.LineTo(x[i], y[i + 1]);
            c.LineTo(x[i + 1], y[i + 1]);
        }
    };
    std::vector<int> first(31), second(31);
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = 300 - int(i) * 8;
        second[i] = 100 + int(i % 5) * 40;
    }
    drawBlock(first);
    drawBlock(second);
    settle();

    const QImage shot = tab.grab().toImage();
    if (const QByteArray path = qgetenv("SPECTRION_CANVAS_PNG"); !path.isEmpty())
        shot.save(QString::fromLocal8Bit(path));
    const auto screen = [&](int gx, int gy) {
        return display::fromQColor(shot.pixel(gx + 40, gy + 40));
    };
    // Column 10 of the first block is gone, the second's step is there.
    const int mid = (x[10] + x[11]) / 2;
    EXPECT_EQ(screen(mid, first[11]), kBackground);
    EXPECT_EQ(screen(mid, second[11]), kCurve);
    // A grid line crossing that column survived both erases.
    EXPECT_EQ(screen(mid, 425 - 40 - 4 * 385 / 8), kGridLine);
    // The rotated title left of the plot, the labels below it.
    int titleInk = 0, labelInk = 0;
    for (int y = 150; y < 315; ++y)
        for (int gx = 0; gx < 30; ++gx)
            titleInk += display::fromQColor(shot.pixel(gx, y)) != kBackground;
    for (int y = 430; y < 465; ++y)
        for (int gx = 40; gx < 739; ++gx)
            labelInk += display::fromQColor(shot.pixel(gx, y)) != kBackground;
    EXPECT_GT(titleInk, 40);
    EXPECT_GT(labelInk, 100);
}
