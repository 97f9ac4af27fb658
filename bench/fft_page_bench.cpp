// Times one block of the FFT page as the block handler runs it: windowing,
// transform, magnitudes and rows (engine), the erase from the grid snapshot
// and the 4095 segments of the curve (display), and the copy into slot 0; on
// boxes and images of the page's sizes. A block arrives every 170.7 ms; the
// budget is 1 ms. Then the same with the page's averaging and peak hold: a
// transform of each length over the newest blocks, bin powers averaged and
// held, both curves laid out and drawn, and the spectrum kept in slot 0 for
// the memories (0.3 ms at 8192 points).

#include "display/fft_curves.h"
#include "display/fft_grid.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "engine/fft_analysis.h"
#include "engine/fft_axes.h"
#include "engine/fft_block.h"
#include "engine/measurement_state.h"
#include "memories/spectrum_rec.h"

#include <QApplication>
#include <QWidget>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <span>
#include <vector>

namespace {

enum Input { Silence, Sine1k, WhiteNoise };

std::vector<std::int16_t> block(Input input)
{
    std::vector<std::int16_t> x(engine::kBlockSamples, 0);
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> noise(-32768, 32767);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (input == Sine1k)
            x[i] = static_cast<std::int16_t>(
                std::lround(16384 * std::sin(2 * std::numbers::pi * 1000.0 * double(i) / 48000)));
        else if (input == WhiteNoise)
            x[i] = static_cast<std::int16_t>(noise(gen));
    }
    return x;
}

// The FFT page's grid, graph and erase snapshot at the default window size.
struct FftPageWidgets {
    QWidget tab;
    display::PaintBox grid{&tab};
    display::PaintBox graph{&tab, &grid};
    display::OffscreenImage snapshot;

    FftPageWidgets()
    {
        tab.setGeometry(0, 0, 739, 467);
        grid.setGeometry(0, 0, 739, 467);
        graph.setGeometry(40, 40, 659, 387);
    }
};

void BM_FftPageBlock(benchmark::State& run)
{
    FftPageWidgets page;
    auto& grid = page.grid;
    auto& graph = page.graph;
    auto& snapshot = page.snapshot;

    auto state = std::make_unique<engine::MeasurementState>();
    auto slot = std::make_unique<memories::SpectrumRec>();
    engine::setUpFftTab(*state, graph.width());
    engine::onCaptureStart(*state);
    display::PaintAxesFFT(grid.canvas(), graph.canvas(), graph.pos(), snapshot, state->Columnwidth,
                          "dBFS");
    const auto samples = block(static_cast<Input>(run.range(0)));

    // Kept across blocks, as the page keeps it: each block restores what the last drew.
    display::TraceEraser eraser;
    for (auto _ : run) {
        engine::processFftBlock(*state, samples, 0);
        display::drawFftCurve(graph.canvas(), snapshot.canvas(), state->NewPoints,
                              engine::kFftBinsDrawn, eraser);
        slot->bands = engine::kFftBinsDrawn;
        slot->coordinates = state->NewPoints;
        benchmark::DoNotOptimize(slot->coordinates.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_FftPageBlock)
    ->ArgName("input")
    ->Arg(Silence)
    ->Arg(Sine1k)
    ->Arg(WhiteNoise)
    ->Apply([](auto* b) { benchsupport::fastestOf(b); }) -> Unit(benchmark::kMicrosecond);

// range(0): the transform length.
void BM_FftPageAveragedBlockWithHold(benchmark::State& run)
{
    FftPageWidgets page;
    auto& grid = page.grid;
    auto& graph = page.graph;
    auto& snapshot = page.snapshot;

    auto state = std::make_unique<engine::MeasurementState>();
    auto analysis = std::make_unique<engine::FftAnalysis>();
    auto held = std::make_unique<engine::CoordArray>();
    auto slot = std::make_unique<memories::SpectrumRec>();
    engine::setFftLength(*analysis, static_cast<int>(run.range(0)));
    engine::onCaptureStart(*state);
    const engine::FftView view;
    const auto frequency = *engine::fftFrequencyMap(view, graph.width());
    const auto level = *engine::fftLevelMap(view, 0);
    display::PaintAxesFFT(grid.canvas(), graph.canvas(), graph.pos(), snapshot,
                          display::FftGridAxes{frequency, level, view.levelRange}, "dBFS");
    const auto samples = block(WhiteNoise);
    const double binHz = double(engine::kFrameRate) / analysis->length;
    const auto bins = static_cast<std::size_t>(engine::fftBins(*analysis));
    auto layout = std::make_unique<engine::FftBinLayout>();
    display::TraceEraser eraser; // kept across blocks, as the page keeps it
    slot->fft.power.reserve(engine::kMaxFftBins);

    for (auto _ : run) {
        engine::analyseFftBlock(*analysis, samples, engine::FftAveraging::Slow);
        layout->update(frequency, binHz, static_cast<int>(bins));
        const int n =
            engine::fftCurvePoints(std::span(analysis->average.data(), bins), *layout, level, 0.0,
                                   470, state->NewPoints, engine::kFftBinsDrawn);
        const int h = engine::fftCurvePoints(std::span(analysis->hold.data(), bins), *layout, level,
                                             0.0, 470, *held, 0);
        display::drawFftCurve(graph.canvas(), snapshot.canvas(), state->NewPoints, 0, eraser);
        display::drawFftPolyline(graph.canvas(), *held, h, display::kFftHoldColour, eraser);
        display::drawFftPolyline(graph.canvas(), state->NewPoints, n, engine::clBlack, eraser);
        slot->bands = n;
        slot->coordinates = state->NewPoints;
        slot->fft.power.assign(analysis->average.begin(),
                               analysis->average.begin() + static_cast<std::ptrdiff_t>(bins));
        benchmark::DoNotOptimize(slot->coordinates.data());
        benchmark::DoNotOptimize(slot->fft.power.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_FftPageAveragedBlockWithHold)
    ->ArgName("length")
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Arg(65536)
    ->Apply([](auto* b) { benchsupport::fastestOf(b); }) -> Unit(benchmark::kMicrosecond);

} // namespace
