#include "fft_grid.h"

#include "engine/rounding.h"

#include <QString>

namespace display {
namespace {

constexpr engine::TColor kGridGrey = 0x808080;

std::optional<int> roundedColumn(int kHz, double columnwidth, int offset)
{
    const auto x = engine::roundToInt32(1000.0L * kHz * columnwidth + offset);
    return x ? std::optional<int>(*x) : std::nullopt;
}

} // namespace

std::optional<int> fftFrequencyLineX(int kHz, double columnwidth)
{
    return roundedColumn(kHz, columnwidth, 40);
}

std::optional<int> fftFrequencyLabelLeft(int kHz, double columnwidth)
{
    return roundedColumn(kHz, columnwidth, 33);
}

void PaintAxesFFT(Canvas& grid, const Canvas& graph, OffscreenImage& snapshot, double columnwidth)
{
    const int w = graph.width();
    const int h = graph.height();
    grid.setBrushStyle(BrushStyle::Clear);
    grid.setPenColor(kGridGrey);
    grid.setFontColor(engine::clWindowText);

    // Consecutive rectangles share their horizontal edges: lines every 30
    // pixels, closed left and right.
    for (int i = 0; i < kFftLevelRectangles; ++i) {
        const int top = kFftGridTop + kFftLevelStep * i;
        grid.Rectangle(kFftGridLeft, top, w, top + kFftLevelStep + 1);
        const QString label = QString::number(-10 * i);
        // Right-aligned at x = 35, vertically about centred on the line.
        grid.TextOut(35 - grid.TextWidth(label), top - 6, label);
    }

    const int bottom = grid.height();
    for (int f = 1; f <= kFftFrequencyLines; ++f) {
        const std::optional<int> x = fftFrequencyLineX(f, columnwidth);
        const std::optional<int> labelLeft = fftFrequencyLabelLeft(f, columnwidth);
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
