#include "rta_display.h"

#include "engine/rounding.h"

#include <QFontDatabase>

#include <algorithm>
#include <cstddef>

namespace display {
namespace {

// Frequency labels start this far above the grid's bottom edge: 5 pixels
// below the plot.
constexpr int kFrequencyLabelDrop = 35;

// Round(a / 2 + b / 2): the start of a text |b| long centred on a length a,
// b negative for a text running forwards, positive for one running upwards.
int roundedHalf(int a, int b)
{
    return engine::roundToInt32(a / 2.0L + b / 2.0L).value_or(0);
}

// One column per band: the riser at its left border from the row of the band
// before, then the step across it. No riser stands on the graph's left edge:
// there the first band, and bands clipped away left of the axis, begin.
// `lineTo` draws.
template <typename LineTo>
void drawColumn(Canvas& c, const engine::CoordArray& points, std::size_t i, LineTo lineTo)
{
    const auto& x = points[0];
    const auto& y = points[1];
    c.MoveTo(x[i], y[i]);
    if (i == 0 || x[i] <= 0)
        c.MoveTo(x[i], y[i + 1]);
    else
        lineTo(x[i], y[i + 1]);
    lineTo(x[i + 1], y[i + 1]);
}

void paintLevelGrid(Canvas& c, const LevelAxis& axis, int w, int h, const RtaGridColours& colours)
{
    const int digitHeight = c.TextHeight("0");
    for (const LevelGridLine& line : levelGridLines(axis, h, digitHeight)) {
        c.setPenColor(colours.grid);
        c.MoveTo(kPlotMargin, line.row);
        c.LineTo(w - kPlotMargin, line.row);
        c.setPenColor(colours.axesFont);
        const QString label = QString::number(line.label);
        // The label ends two pixels left of the axis.
        c.TextOut(kPlotMargin - 2 - c.TextWidth(label), line.labelTop, label);
    }
}

void paintFrequencyGrid(Canvas& c, const RtaGridPicture& picture, int w, int h)
{
    c.setPenColor(picture.colours.grid);
    const int textHeight = c.TextHeight("10");
    for (const FrequencyGridLine& line :
         frequencyGridLines(picture.xAxisMin, picture.xAxisMax, w)) {
        const int x = line.x + kPlotMargin;
        c.MoveTo(x, kPlotMargin);
        c.LineTo(x, h - kPlotMargin);
        // Reads downwards below the plot, just right of its line.
        AngleTextOut(c, line.label, x + 2 + textHeight / 2, h - kFrequencyLabelDrop, 270);
    }
}

} // namespace

void AngleTextOut(Canvas& canvas, const QString& sText, int X, int Y, int angle)
{
    const QFont saved = canvas.font();
    const BrushStyle savedBrush = canvas.brushStyle();
    QFont fixed = saved;
    fixed.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    fixed.setFixedPitch(true);
    canvas.setFont(fixed);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.TextOutRotated(X, Y, sText, angle);
    canvas.setBrushStyle(savedBrush);
    canvas.setFont(saved);
}

void paintRtaGrid(OffscreenImage& image, Canvas& grid, const RtaGridPicture& picture)
{
    const int w = grid.width();
    const int h = grid.height();
    image.setScale(grid.scale());
    image.setHeight(h);
    image.setWidth(w);
    Canvas& c = image.canvas();

    c.setBrushStyle(BrushStyle::Clear);
    c.setFontColor(picture.colours.axesFont);
    c.setBrushColor(picture.colours.background);
    c.FillRect(Rect(0, 0, w, h));
    c.setBrushStyle(BrushStyle::Clear);
    c.setPenColor(picture.colours.axesFont);

    // Titles: the level title reads upwards, centred on the height; the
    // frequency title sits centred on the bottom edge.
    AngleTextOut(c, picture.levelTitle, 2, roundedHalf(h, c.TextWidth(picture.levelTitle)), 90);
    const int titleWidth = c.TextWidth(picture.frequencyTitle);
    c.TextOut(roundedHalf(w, -titleWidth), h - c.TextHeight(picture.frequencyTitle),
              picture.frequencyTitle);

    if (picture.levels)
        paintLevelGrid(c, *picture.levels, w, h, picture.colours);
    paintFrequencyGrid(c, picture, w, h);

    c.setPenColor(picture.colours.axes);
    c.MoveTo(kPlotMargin, kPlotMargin);
    c.LineTo(kPlotMargin, h - kPlotMargin);
    c.LineTo(w - kPlotMargin, h - kPlotMargin);

    grid.CopyRect(Rect(0, 0, w, h), c, Rect(0, 0, w, h));
}

void drawRtaCurve(Canvas& graph, engine::TColor colour, const engine::CoordArray& points, int bands)
{
    const int n = std::clamp(bands, 0, engine::kBlockSamples);
    graph.setPenColor(colour);
    for (int i = 0; i + 2 <= n; ++i)
        drawColumn(graph, points, static_cast<std::size_t>(i),
                   [&graph](int x, int y) { graph.LineTo(x, y); });
}

void drawRtaStaircase(Canvas& graph, const Canvas& gridImage, QPoint graphOrigin,
                      const engine::CoordArray& points, int validbands, int graphHeight,
                      TraceEraser& eraser, engine::TColor colour)
{
    const int n = std::clamp(validbands, 0, engine::kBinArraySize);
    const auto& x = points[0];
    auto erase = [&](int left, int right) {
        eraser.erase(graph, gridImage, graphOrigin, left, right, graphHeight);
    };
    graph.setPenColor(colour);
    for (int k = 0; k + 2 <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        erase(x[i], x[i + 1]);
        drawColumn(graph, points, i,
                   [&graph, &eraser](int xe, int ye) { eraser.lineTo(graph, xe, ye); });
    }
    // Where no band reaches (the axis going beyond the plan), a curve drawn
    // on other columns may remain: the background shows there.
    if (n >= 2) {
        erase(std::min(0, x[0]), x[0]);
        erase(x[static_cast<std::size_t>(n - 1)],
              std::max(graph.width(), x[static_cast<std::size_t>(n - 1)]));
    }
}

} // namespace display
