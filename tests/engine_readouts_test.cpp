// What the readouts read: the peak of a Welch-windowed tone between bins,
// the band under a column, and the sample a trace shows in a column.

#include "engine/fft_analysis.h"
#include "engine/readouts.h"
#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

// A sine of `hz` at `dbfs` through the FFT page's analysis, one block at a
// time from sample 0.
std::unique_ptr<engine::FftAnalysis> analysedSine(double hz, double dbfs, int length, int blocks)
{
    auto a = std::make_unique<engine::FftAnalysis>();
    engine::setFftLength(*a, length);
    const double peak = 32768.0 * std::pow(10.0, dbfs / 20);
    std::vector<std::int16_t> block(engine::kBlockSamples);
    for (int b = 0; b < blocks; ++b) {
        for (std::size_t i = 0; i < block.size(); ++i) {
            const double t = static_cast<double>(b * block.size() + i) / engine::kFrameRate;
            block[i] = static_cast<std::int16_t>(
                std::lround(peak * std::sin(2 * std::numbers::pi * hz * t)));
        }
        engine::analyseFftBlock(*a, block, engine::FftAveraging::None);
    }
    return a;
}

} // namespace

TEST(Readouts, APeakBetweenBinsReadsItsToneFrequencyAndLevel)
{
    struct Case {
        double hz;
        double dbfs;
        int length;
    };
    // On a bin, a quarter, half and three quarters between bins, and 997 Hz.
    const double bin = 48000.0 / 8192;
    for (const Case c :
         {Case{171 * bin, -6, 8192}, Case{171.25 * bin, -20, 8192}, Case{171.5 * bin, -6, 8192},
          Case{2000.73 * bin / 2, -40, 16384}, Case{997, -6, 8192}, Case{997, -6, 65536}}) {
        const auto a = analysedSine(c.hz, c.dbfs, c.length, 8);
        const double binHz = 48000.0 / c.length;
        const int near = static_cast<int>(c.hz / binHz);
        const auto peak = engine::fftPeakNear(std::span(a->average.data(), engine::fftBins(*a)),
                                              binHz, near - 5, near + 5);
        ASSERT_TRUE(peak) << c.hz;
        EXPECT_NEAR(peak->hz, c.hz, 0.02 * binHz) << c.hz;
        EXPECT_NEAR(engine::fftPowerLevel(peak->power), c.dbfs, 0.02) << c.hz;
    }
    // Silence has no peak.
    const std::vector<double> none(100, 0.0);
    EXPECT_FALSE(engine::fftPeakNear(none, bin, 10, 20));
}

TEST(Readouts, BandColumnsAndTraceStepsUnderAColumn)
{
    engine::CoordArray points{};
    for (int j = 0; j < 4; ++j)
        points[0][static_cast<std::size_t>(j)] = 10 * j; // bands 1..3: 0-9, 10-19, 20-29
    EXPECT_EQ(engine::rtaBandAt(points, 4, 0), 1);
    EXPECT_EQ(engine::rtaBandAt(points, 4, 19), 2);
    EXPECT_EQ(engine::rtaBandAt(points, 4, 29), 3);
    EXPECT_FALSE(engine::rtaBandAt(points, 4, 30));

    auto state = std::make_unique<engine::MeasurementState>();
    engine::applyTimeBase(*state, 1, engine::kFrameRate); // 100 µs/div: 48 samples a screen
    for (int i = 0; i < 1000; ++i) {
        state->ScopeBuffer[static_cast<std::size_t>(engine::scopeRingPosition(i))] = i;
        state->ScopeBufferCounter = i + 1;
    }
    auto trace = std::make_unique<engine::ScopeTrace>();
    ASSERT_TRUE(engine::computeScopeTrace(*state, 401, 401, 15, 0, *trace));
    const auto last = engine::scopeStepAt(*trace, 400);
    ASSERT_TRUE(last);
    // The right edge shows the newest sample, the left edge the one 48 before it.
    EXPECT_EQ(engine::scopeStepValue(*state, *trace, *last), 999);
    EXPECT_EQ(engine::scopeStepValue(*state, *trace, *engine::scopeStepAt(*trace, 0)), 951);
    EXPECT_FALSE(engine::scopeStepAt(*trace, 401));
}
