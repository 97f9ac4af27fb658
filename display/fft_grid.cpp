#include "fft_grid.h"

#include "engine/fft_block.h"
#include "engine/rounding.h"

#include <algorithm>
#include <climits>

namespace display {
namespace {

constexpr engine::TColor kGridGrey = 0x808080;

// The level axis' title: its left edge, and its gap above the top label.
constexpr int kTitleLeft = 4;
constexpr int kTitleGap = 4;

} // namespace

std::optional<int> fftFrequencyLineX(int kHz, double columnwidth, int graphLeft)
{
    const auto x = engine::fftFrequencyColumn(1000.0L * kHz, columnwidth);
    if (!x || !engine::fitsInt32(static_cast<long double>(*x) + graphLeft))
        return std::nullopt;
    return *x + graphLeft;
}

std::optional<int> fftFrequencyLabelLeft(int kHz, double columnwidth, int graphLeft)
{
    const auto x = fftFrequencyLineX(kHz, columnwidth, graphLeft);
    if (!x || !engine::fitsInt32(static_cast<long double>(*x) - 7))
        return std::nullopt;
    return *x - 7;
}

FftGridAxes fftDefaultGridAxes(double columnwidth, int graphWidth, int topLevelDb)
{
    FftGridAxes axes;
    axes.frequency.scale = engine::FftAxisScale::Linear;
    axes.frequency.start = 0;
    axes.frequency.perUnit = columnwidth;
    axes.frequency.width = graphWidth;
    axes.frequency.end = columnwidth > 0 ? graphWidth / static_cast<long double>(columnwidth)
                                         : 1000.0L * kFftFrequencyLines;
    axes.level = {static_cast<double>(topLevelDb), static_cast<double>(kFftLevelStep) / 10,
                  kFftGridTop};
    return axes;
}

void PaintAxesFFT(Canvas& grid, const Canvas& graph, QPoint graphOrigin, OffscreenImage& snapshot,
                  double columnwidth, const QString& levelTitle, int topLevelDb)
{
    PaintAxesFFT(grid, graph, graphOrigin, snapshot,
                 fftDefaultGridAxes(columnwidth, graph.width(), topLevelDb), levelTitle);
}

void PaintAxesFFT(Canvas& grid, const Canvas& graph, QPoint graphOrigin, OffscreenImage& snapshot,
                  const FftGridAxes& axes, const QString& levelTitle)
{
    const int w = graph.width();
    const int h = graph.height();
    grid.setBrushStyle(BrushStyle::Clear);
    grid.setPenColor(kGridGrey);
    grid.setFontColor(engine::clWindowText);

    // Consecutive rectangles share their horizontal edges: a line at every
    // level tick, closed left, at the graph's right edge and at the bottom.
    const int right = graphOrigin.x() + w;
    const int frameBottom = graphOrigin.y() + h + kFftFrameBelowGraph;
    const engine::FftTicks levels = engine::fftLevelTicks(axes.level, axes.levelRange, frameBottom);
    for (int i = 0; i < levels.count; ++i) {
        const engine::FftTick& tick = levels.ticks[static_cast<std::size_t>(i)];
        const int top = engine::fftLevelRow(axes.level, tick.value).value_or(kFftGridTop);
        const int next = i + 1 < levels.count
                             ? engine::fftLevelRow(
                                   axes.level, levels.ticks[static_cast<std::size_t>(i) + 1].value)
                                   .value_or(frameBottom)
                             : frameBottom;
        if (next > top)
            grid.Rectangle(kFftGridLeft, top, right, next + 1);
        if (!tick.label.empty()) {
            const QString label = QString::fromStdString(tick.label);
            // Right-aligned at x = 35, vertically about centred on the line.
            grid.TextOut(35 - grid.TextWidth(label), top - 6, label);
        }
    }
    grid.TextOut(kTitleLeft, kFftGridTop - 6 - kTitleGap - grid.TextHeight(levelTitle), levelTitle);

    const int bottom = grid.height();
    const engine::FftTicks lines = engine::fftFrequencyTicks(axes.frequency);
    int labelEnd = INT_MIN;
    for (int i = 0; i < lines.count; ++i) {
        const engine::FftTick& tick = lines.ticks[static_cast<std::size_t>(i)];
        const auto column = engine::fftColumnOf(axes.frequency, tick.value);
        if (!column || *column < 0 || *column > w)
            continue;
        const int x = graphOrigin.x() + *column;
        grid.MoveTo(x, kFftGridTop);
        grid.LineTo(x, bottom - 37);
        // A label that would run into the one before stays off.
        const QString label = QString::fromStdString(tick.label);
        const int left = x - std::max(7, grid.TextWidth(label) / 2);
        if (!label.isEmpty() && left > labelEnd) {
            grid.TextOut(left, bottom - 33, label);
            labelEnd = left + grid.TextWidth(label) + 2;
        }
    }

    snapshot.setScale(graph.scale());
    snapshot.setHeight(h);
    snapshot.setWidth(w);
    snapshot.canvas().CopyRect(Rect(0, 0, w, h), graph, Rect(0, 0, w, h));
}

} // namespace display
