#include "fft_grid.h"

#include "engine/fft_block.h"
#include "engine/rounding.h"

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

void PaintAxesFFT(Canvas& grid, const Canvas& graph, QPoint graphOrigin, OffscreenImage& snapshot,
                  double columnwidth, const QString& levelTitle)
{
    const int w = graph.width();
    const int h = graph.height();
    grid.setBrushStyle(BrushStyle::Clear);
    grid.setPenColor(kGridGrey);
    grid.setFontColor(engine::clWindowText);

    // Consecutive rectangles share their horizontal edges: lines every 30
    // pixels, closed left and at the graph's right edge.
    const int right = graphOrigin.x() + w;
    for (int i = 0; i < kFftLevelRectangles; ++i) {
        const int top = kFftGridTop + kFftLevelStep * i;
        grid.Rectangle(kFftGridLeft, top, right, top + kFftLevelStep + 1);
        const QString label = QString::number(-10 * i);
        // Right-aligned at x = 35, vertically about centred on the line.
        grid.TextOut(35 - grid.TextWidth(label), top - 6, label);
    }
    // The labels read dBFS: 0 is the level of a full-scale sine.
    grid.TextOut(kTitleLeft, kFftGridTop - 6 - kTitleGap - grid.TextHeight(levelTitle), levelTitle);

    const int bottom = grid.height();
    for (int f = 1; f <= kFftFrequencyLines; ++f) {
        const std::optional<int> x = fftFrequencyLineX(f, columnwidth, graphOrigin.x());
        const std::optional<int> labelLeft = fftFrequencyLabelLeft(f, columnwidth, graphOrigin.x());
        if (!x || !labelLeft)
            continue;
        grid.MoveTo(*x, kFftGridTop);
        grid.LineTo(*x, bottom - 37);
        grid.TextOut(*labelLeft, bottom - 33, QString::number(f) + "k");
    }

    snapshot.setHeight(h);
    snapshot.setWidth(w);
    snapshot.canvas().CopyRect(Rect(0, 0, w, h), graph, Rect(0, 0, w, h));
}

} // namespace display
