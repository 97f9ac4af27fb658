// Times the drawing each analyzer page does per block, on boxes and images of
// the pages' sizes: the FFT curve (one full-area erase, 4095 segments), the
// octave-band staircase (121 column erases, 242 lines), the oscilloscope
// trace (400 strip erases, 800 lines); and, for scale, one FFT grid paint.

#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "display/rta_display.h"

#include <QApplication>
#include <QString>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using display::OffscreenImage;
using display::PaintBox;
using display::Rect;

namespace {

std::vector<int> randomRows(std::size_t n, int lo, int hi, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(lo, hi);
    std::vector<int> rows(n);
    for (int& r : rows)
        r = dist(gen);
    return rows;
}

// Rows of a white-noise spectrum as the FFT page draws it: Rayleigh
// magnitudes at 3 pixels per dB, every 50th bin below the graph as for an
// exactly zero component.
std::vector<int> noiseSpectrumRows()
{
    std::mt19937 gen(1);
    std::uniform_real_distribution<double> u(1e-12, 1.0);
    std::vector<int> y(4096);
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double magnitude = 30.0 * std::sqrt(-2.0 * std::log(u(gen)));
        y[i] = i % 50 == 0 ? 470 : int(std::nearbyint(387 - 60 * std::log10(magnitude)));
    }
    return y;
}

// The FFT page's erase and curve; range(0) = 0 draws the noise spectrum,
// 1 a curve whose every point jumps to a random row (the worst case).
void BM_FftCurveBlock(benchmark::State& state)
{
    QWidget tab;
    tab.setGeometry(0, 0, 739, 467);
    PaintBox grid(&tab);
    grid.setGeometry(0, 0, 739, 467);
    PaintBox graph(&tab, &grid);
    graph.setGeometry(43, 40, 659, 387);
    OffscreenImage snapshot(659, 387);
    std::vector<int> x(4096);
    for (int i = 0; i < 4096; ++i)
        x[std::size_t(i)] = int(std::nearbyint(i * 5.5 * (659.0 / 24000.0)));
    const std::vector<int> y =
        state.range(0) == 0 ? noiseSpectrumRows() : randomRows(4096, 0, 386, 1);
    for (auto _ : state) {
        display::Canvas& c = graph.canvas();
        c.CopyRect(Rect(0, 0, 659, 387), snapshot.canvas(), Rect(0, 0, 659, 387));
        c.setPenColor(engine::clBlack);
        c.MoveTo(x[0], y[0]);
        for (std::size_t i = 1; i < 4096; ++i)
            c.LineTo(x[i], y[i]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftCurveBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_RtaStaircaseBlock(benchmark::State& state)
{
    QWidget tab;
    tab.setGeometry(0, 0, 739, 465);
    PaintBox grid(&tab);
    grid.setGeometry(0, 0, 739, 465);
    PaintBox graph(&tab, &grid);
    constexpr int kG = 386;
    graph.setGeometry(40, 48, 659, kG);
    OffscreenImage phantom;
    phantom.setHeight(465);
    phantom.setWidth(739);
    constexpr int kColumns = 121; // the finest band plan
    // Static: a CoordArray is 64 KiB.
    static engine::CoordArray points{};
    for (int i = 0; i <= kColumns; ++i)
        points[0][std::size_t(i)] = i * 659 / kColumns;
    const std::vector<int> y = randomRows(kColumns + 1, 20, kG + 1, 2);
    std::copy(y.begin(), y.end(), points[1].begin());
    display::TraceEraser eraser;
    for (auto _ : state) {
        // The page's own drawing: each column erased from the grid under the
        // graph, then its riser and step.
        display::drawRtaStaircase(graph.canvas(), phantom.canvas(), QPoint(40, 48), points,
                                  kColumns + 1, kG, eraser);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RtaStaircaseBlock)->Unit(benchmark::kMicrosecond);

void BM_ScopeTraceBlock(benchmark::State& state)
{
    QWidget tab;
    tab.setGeometry(0, 0, 739, 467);
    PaintBox scope(&tab);
    scope.setGeometry(76, 12, 401, 401);
    OffscreenImage phantom(401, 401);
    std::vector<int> y(401);
    for (std::size_t k = 0; k < y.size(); ++k)
        y[k] = int(std::nearbyint(200 - 190 * std::sin(double(k) * 0.11)));
    for (auto _ : state) {
        display::Canvas& c = scope.canvas();
        c.setPenColor(engine::RGB(0, 255, 0));
        c.MoveTo(0, y[0]);
        for (int k = 0; k < 400; ++k) {
            c.CopyRect(Rect(k, 0, k + 1, 401), phantom.canvas(), Rect(k, 0, k + 1, 401));
            c.LineTo(k, y[std::size_t(k)]);
            c.LineTo(k + 1, y[std::size_t(k)]);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScopeTraceBlock)->Unit(benchmark::kMicrosecond);

void BM_FftGridPaint(benchmark::State& state)
{
    OffscreenImage grid(739, 467);
    display::Canvas& c = grid.canvas();
    for (auto _ : state) {
        c.setBrushColor(engine::clBtnFace);
        c.FillRect(Rect(0, 0, 739, 467));
        c.setBrushStyle(display::BrushStyle::Clear);
        c.setPenColor(engine::RGB(128, 128, 128));
        for (int i = 0; i <= 12; ++i) {
            c.Rectangle(40, 40 + 30 * i, 659, 71 + 30 * i);
            const QString label = QString::number(-10 * i);
            c.TextOut(35 - c.TextWidth(label), 34 + 30 * i, label);
        }
        for (int f = 1; f <= 22; ++f) {
            const int xf = int(std::nearbyint(1000.0 * f * 659.0 / 24000.0 + 40));
            c.MoveTo(xf, 40);
            c.LineTo(xf, 467 - 37);
            c.TextOut(xf - 7, 467 - 33, QString::number(f) + "k");
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftGridPaint)->Unit(benchmark::kMicrosecond);

} // namespace
