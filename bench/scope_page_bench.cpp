// Times the oscilloscope page's work per block, as the block handler does it:
// append the block to the ring, compute the trace, then wipe each strip from
// the grid image and draw the staircase onto the 401-pixel screen. For every
// time base the slider offers, with a 1 kHz sine and with full-scale noise
// (the longest vertical lines: the worst case for drawing); free-running as a
// staircase, and triggered ("Normal", rising edge at 0 %) drawn as lines.

#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "display/scope_grid.h"
#include "display/scope_trace_painter.h"
#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trace.h"
#include "engine/scope_trigger.h"

#include <QApplication>
#include <QWidget>

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr int kScreen = 401;
constexpr int kSlowestOffered = 10; // 100 ms/div

std::vector<std::int16_t> block(bool noise)
{
    std::vector<std::int16_t> samples(engine::kBlockSamples);
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> full(-32768, 32767);
    for (std::size_t n = 0; n < samples.size(); ++n)
        samples[n] = noise ? static_cast<std::int16_t>(full(gen))
                           : static_cast<std::int16_t>(
                                 std::lround(16384 * std::sin(2 * std::numbers::pi * 1000.0 *
                                                              double(n) / engine::kFrameRate)));
    return samples;
}

// range(0): time-base position; range(1): 0 sine, 1 noise; range(2): 1 triggered.
void BM_ScopePageBlock(benchmark::State& run)
{
    QWidget tab;
    tab.setGeometry(0, 0, 739, 467);
    display::PaintBox screen(&tab);
    screen.setGeometry(76, 12, kScreen, kScreen);
    display::OffscreenImage grid(kScreen, kScreen);
    display::paintScopeGrid(grid.canvas(), kScreen, kScreen);

    auto state = std::make_unique<engine::MeasurementState>();
    auto trace = std::make_unique<engine::ScopeTrace>();
    engine::resetScope(*state);
    engine::applyTimeBase(*state, static_cast<int>(run.range(0)));
    const auto samples = block(run.range(1) != 0);
    const bool triggered = run.range(2) != 0;
    engine::TriggerSettings trigger;
    trigger.mode = triggered ? engine::TriggerMode::Normal : engine::TriggerMode::Free;
    const auto style =
        triggered ? display::ScopeTraceStyle::Lines : display::ScopeTraceStyle::Staircase;
    engine::TriggerState armed;
    display::TraceEraser eraser; // kept across blocks, as the page keeps it
    for (auto _ : run) {
        engine::appendScopeBlock(*state, samples);
        const auto window =
            engine::scopeTriggerWindow(*state, trigger, armed, engine::kBlockSamples);
        if (window.draw && engine::computeScopeTrace(*state, kScreen, kScreen, 15, 0, *trace,
                                                     engine::kFrameRate, window.firstSample))
            display::drawScopeTrace(screen.canvas(), grid.canvas(), kScreen, *trace, eraser, style);
        benchmark::ClobberMemory();
    }
    run.counters["steps"] = trace->count;
}

void timeBases(benchmark::internal::Benchmark* b)
{
    for (int triggered = 0; triggered <= 1; ++triggered)
        for (int signal = 0; signal <= 1; ++signal)
            for (int p = 1; p <= kSlowestOffered; ++p)
                b->Args({p, signal, triggered});
    b->ArgNames({"timebase", "noise", "triggered"});
    benchsupport::fastestOf(b);
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_ScopePageBlock)->Apply(timeBases);

} // namespace
