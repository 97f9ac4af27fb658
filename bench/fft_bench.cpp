// Times FFT next to FFTW's single-precision real transform for the block
// length and a few others, prints ours/FFTW per length, and times the whole
// windowing, transform, magnitude and scaling pass of one block.

#include "dsp/fft.h"
#include "dsp/window.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const long kLengths[] = {4096, 6000, 8192, 16384, 32768, 65536};

std::vector<float> noise(std::size_t n)
{
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> dist(-32768, 32767);
    std::vector<float> x(n);
    for (float& v : x)
        v = static_cast<float>(dist(gen));
    return x;
}

void BM_Ours(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto signal = noise(n);
    std::vector<dsp::TFFTComplex> spectrum(n);
    for (auto _ : state) {
        dsp::FFT(signal, spectrum);
        benchmark::DoNotOptimize(spectrum.data());
        benchmark::ClobberMemory();
    }
}

void BM_FFTW(benchmark::State& state)
{
    const auto n = static_cast<int>(state.range(0));
    auto* in = fftwf_alloc_real(n);
    auto* out = fftwf_alloc_complex(n / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE); // may clobber `in`
    const auto signal = noise(static_cast<std::size_t>(n));
    std::copy(signal.begin(), signal.end(), in);
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}

// One FFT-analyzer block: Welch window, transform, magnitudes, calibration.
void BM_AnalyzerBlock(benchmark::State& state)
{
    const auto block = noise(8192);
    std::vector<float> signal(8192);
    std::vector<dsp::TFFTComplex> spectrum(8192);
    std::vector<float> bins(8192);
    for (auto _ : state) {
        signal = block;
        const dsp::TFFTWindowInfo wi = dsp::ApplyWindow(signal, dsp::WWelch);
        dsp::FFT(signal, spectrum);
        dsp::RectToAbs(spectrum, bins);
        dsp::ScaleVector(bins, static_cast<float>(std::sqrt(2.0) / (wi.intw * 8192.0)));
        benchmark::DoNotOptimize(bins.data());
        benchmark::ClobberMemory();
    }
}

void repeated(benchmark::internal::Benchmark* b)
{
    benchsupport::fastestOf(b, 9);
}

BENCHMARK(BM_Ours)->ArgsProduct({{std::begin(kLengths), std::end(kLengths)}})->Apply(repeated);
BENCHMARK(BM_FFTW)->ArgsProduct({{std::begin(kLengths), std::end(kLengths)}})->Apply(repeated);
BENCHMARK(BM_AnalyzerBlock)->Apply(repeated);

// Keeps the fastest time of every benchmark so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min")
                ns[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nFastest of the repetitions, ns per transform:\n");
    std::printf("%-8s %12s %12s %10s\n", "length", "ours", "FFTW", "ours/FFTW");
    for (long n : kLengths) {
        const auto ours = reporter.ns.find("BM_Ours/" + std::to_string(n));
        const auto fftw = reporter.ns.find("BM_FFTW/" + std::to_string(n));
        if (ours == reporter.ns.end() || fftw == reporter.ns.end())
            continue;
        std::printf("%-8ld %12.0f %12.0f %10.2f\n", n, ours->second, fftw->second,
                    ours->second / fftw->second);
    }
    benchmark::Shutdown();
    return 0;
}
