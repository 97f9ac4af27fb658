// Times the per-block arithmetic of the three analyzers, without drawing: one
// octave-band block for each band plan, one FFT-analyzer block, and the scope
// ring append with the trace pass for every time base. A block arrives every
// 170.7 ms.

#include "engine/band_plan.h"
#include "engine/fft_block.h"
#include "engine/measurement_state.h"
#include "engine/rta_block.h"
#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trace.h"
#include "engine/sound_level_meter.h"

#include "dsp/window_table.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

std::vector<std::int16_t> noiseBlock()
{
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<std::int16_t> x(engine::kBlockSamples);
    for (auto& v : x)
        v = static_cast<std::int16_t>(dist(gen));
    return x;
}

void BM_RtaBlock(benchmark::State& run)
{
    auto state = std::make_unique<engine::MeasurementState>();
    auto plan = std::make_unique<engine::BandPlan>();
    dsp::BuildWindowTable(1, state->Window);
    engine::buildPrefFreqList(*plan);
    // The page's default layout.
    const engine::RtaGeometry g{739, 465, 40, 40, 659, 386};
    engine::applyOctaveType(*plan, *state, static_cast<int>(run.range(0)), g);
    engine::applyAveragingItem(*state, 2);
    const auto block = noiseBlock();
    for (auto _ : run) {
        const auto report = engine::processRtaBlock(*state, *plan, block, engine::RtaAxes{}, g);
        benchmark::DoNotOptimize(report);
        benchmark::DoNotOptimize(state->NewPoints[1].data());
        benchmark::ClobberMemory();
    }
}

void BM_FftBlock(benchmark::State& run)
{
    auto state = std::make_unique<engine::MeasurementState>();
    engine::setUpFftTab(*state, 659);
    engine::onCaptureStart(*state);
    const auto block = noiseBlock();
    for (auto _ : run) {
        engine::processFftBlock(*state, block, 0);
        benchmark::DoNotOptimize(state->NewPoints[1].data());
        benchmark::ClobberMemory();
    }
}

void BM_ScopeBlock(benchmark::State& run)
{
    auto state = std::make_unique<engine::MeasurementState>();
    auto trace = std::make_unique<engine::ScopeTrace>();
    engine::resetScope(*state);
    engine::applyTimeBase(*state, static_cast<int>(run.range(0)));
    const auto block = noiseBlock();
    for (auto _ : run) {
        engine::appendScopeBlock(*state, block);
        const bool drawn = engine::computeScopeTrace(*state, 401, 401, 15, 0, *trace);
        benchmark::DoNotOptimize(drawn);
        benchmark::DoNotOptimize(trace->steps.data());
        benchmark::ClobberMemory();
    }
}

void repeated(benchmark::internal::Benchmark* b)
{
    benchsupport::fastestOf(b);
    b->Unit(benchmark::kMicrosecond);
}

// The sound level meter on one block: weighting (argument 0 Z, 1 A, 2 C),
// Fast, Slow, Leq, maximum and peak. Its budget is 0.1 ms a block.
void BM_MeterBlock(benchmark::State& state)
{
    engine::SoundLevelMeter meter(engine::Weighting(state.range(0)));
    const std::vector<std::int16_t> block = noiseBlock();
    for (auto _ : state) {
        meter.process(block);
        benchmark::DoNotOptimize(meter.readings());
    }
}

BENCHMARK(BM_RtaBlock)->DenseRange(1, 4)->Apply(repeated);
BENCHMARK(BM_MeterBlock)->DenseRange(0, 2)->Apply(repeated);
BENCHMARK(BM_FftBlock)->Apply(repeated);
BENCHMARK(BM_ScopeBlock)->DenseRange(1, engine::kTimeBasePositions)->Apply(repeated);

} // namespace

BENCHMARK_MAIN();
