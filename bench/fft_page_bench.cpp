// Times one block of the FFT page as the block handler runs it: windowing,
// transform, magnitudes and rows (engine), the erase from the grid snapshot
// and the 4095 segments of the curve (display), and the copy into slot 0; on
// boxes and images of the page's sizes. A block arrives every 170.7 ms; the
// budget is 1 ms.

#include "display/fft_curves.h"
#include "display/fft_grid.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"
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

void BM_FftPageBlock(benchmark::State& run)
{
    QWidget tab;
    tab.setGeometry(0, 0, 739, 467);
    display::PaintBox grid(&tab);
    grid.setGeometry(0, 0, 739, 467);
    display::PaintBox graph(&tab, &grid);
    graph.setGeometry(40, 40, 659, 387);
    display::OffscreenImage snapshot;

    auto state = std::make_unique<engine::MeasurementState>();
    auto slot = std::make_unique<memories::SpectrumRec>();
    engine::setUpFftTab(*state, graph.width());
    engine::onCaptureStart(*state);
    display::PaintAxesFFT(grid.canvas(), graph.canvas(), graph.pos(), snapshot, state->Columnwidth,
                          "dBFS");
    const auto samples = block(static_cast<Input>(run.range(0)));

    for (auto _ : run) {
        engine::processFftBlock(*state, samples, 0);
        display::drawFftCurve(graph.canvas(), snapshot.canvas(), state->NewPoints,
                              engine::kFftBinsDrawn);
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

} // namespace
