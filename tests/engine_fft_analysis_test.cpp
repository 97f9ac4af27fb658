#include "engine_test_support.h"

#include "engine/fft_analysis.h"
#include "engine/fft_axes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using enginetest::sineBlock;

namespace {

std::unique_ptr<engine::FftAnalysis> makeAnalysis(int length = 8192)
{
    auto a = std::make_unique<engine::FftAnalysis>();
    engine::setFftLength(*a, length);
    return a;
}

std::vector<std::int16_t> whiteNoise(std::mt19937& gen, double rms)
{
    std::normal_distribution<double> dist(0.0, rms);
    std::vector<std::int16_t> s(8192);
    for (auto& v : s)
        v = static_cast<std::int16_t>(std::clamp(std::lround(dist(gen)), -32768L, 32767L));
    return s;
}

// A sine continued across blocks: block b of a tone at `hz`.
std::vector<std::int16_t> toneBlock(double hz, double peak, int b)
{
    std::vector<std::int16_t> s(8192);
    for (int i = 0; i < 8192; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * (8192.0 * b + i) / 48000.0)));
    return s;
}

std::size_t peakBin(const engine::FftAnalysis& a, const std::array<double, engine::kMaxFftBins>& p)
{
    return static_cast<std::size_t>(std::max_element(p.begin(), p.begin() + engine::fftBins(a)) -
                                    p.begin());
}

} // namespace

TEST(FftAveraging, WhiteNoiseSettlesOnItsPowerPerBin)
{
    // Noise of RMS s spreads s^2 over the 4096 bins; a Welch window of mean
    // weight intw and mean square intw2 and the page's sqrt(2) / (intw n)
    // make each bin read 2 s^2 intw2 / (intw^2 n) on average.
    const double rms = 1000.0;
    const double intw = 2.0 / 3, intw2 = 8.0 / 15;
    const double want = 2 * rms * rms * intw2 / (intw * intw * 8192);
    for (const auto mode : {engine::FftAveraging::Infinite, engine::FftAveraging::VerySlow}) {
        auto a = makeAnalysis();
        std::mt19937 gen(5);
        for (int b = 0; b < 300; ++b)
            engine::analyseFftBlock(*a, whiteNoise(gen, rms), mode);
        double sum = 0, worstDb = 0, worstBlockDb = 0;
        for (int k = 50; k < 4000; ++k) {
            sum += a->average[k];
            worstDb = std::max(worstDb, std::fabs(10 * std::log10(a->average[k] / want)));
            worstBlockDb = std::max(worstBlockDb, std::fabs(10 * std::log10(a->power[k] / want)));
        }
        EXPECT_NEAR(sum / 3950 / want, 1.0, 0.03) << static_cast<int>(mode);
        // One block's bins scatter by 10 dB and more; the average lies flat.
        EXPECT_GT(worstBlockDb, 10.0);
        EXPECT_LT(worstDb, mode == engine::FftAveraging::Infinite ? 1.5 : 3.0);
        EXPECT_EQ(a->blocks, 300);
    }
}

TEST(FftAveraging, NoneShowsTheBlockAndResetStartsAfresh)
{
    auto a = makeAnalysis();
    engine::analyseFftBlock(*a, sineBlock(1000, 20000), engine::FftAveraging::Slow);
    engine::analyseFftBlock(*a, sineBlock(3000, 20000), engine::FftAveraging::None);
    EXPECT_EQ(std::vector(a->average.begin(), a->average.begin() + 4096),
              std::vector(a->power.begin(), a->power.begin() + 4096));
    engine::resetFftAnalysis(*a, true);
    engine::analyseFftBlock(*a, sineBlock(5000, 20000), engine::FftAveraging::Slow);
    EXPECT_EQ(a->average[171], a->power[171]); // no trace of the 1 kHz block
    EXPECT_EQ(peakBin(*a, a->hold), peakBin(*a, a->power));
}

TEST(FftPeakHold, KeepsEveryBinAMovingToneVisited)
{
    auto a = makeAnalysis();
    for (int b = 0; b < 10; ++b)
        engine::analyseFftBlock(*a, sineBlock(1000 + 500 * b, 23170), engine::FftAveraging::None);
    for (int b = 0; b < 10; ++b) {
        const double hz = 1000 + 500 * b;
        const auto bin = static_cast<std::size_t>(std::lround(hz * 8192 / 48000));
        // Each tone's peak held within the window's scalloping of full scale.
        EXPECT_GT(
            engine::fftPowerLevel(std::max({a->hold[bin - 1], a->hold[bin], a->hold[bin + 1]})),
            -2.0 - 3.5)
            << hz;
        if (b < 9) {
            EXPECT_LT(engine::fftPowerLevel(a->average[bin]), -60.0) << hz;
        }
    }
    for (int k = 0; k < 4096; ++k)
        ASSERT_GE(a->hold[k], a->power[k]);
}

TEST(FftLength, LongTransformsAssembleConsecutiveBlocksAndResolveBinSpacing)
{
    for (const int n : {16384, 32768, 65536}) {
        auto a = makeAnalysis(n);
        // Centred on bin 1367 of the long transform: between two bins of 8192.
        const double binHz = 48000.0 / n;
        const double hz = 1367 * binHz;
        for (int b = 0; b < n / 8192; ++b)
            engine::analyseFftBlock(*a, toneBlock(hz, 32768 * 0.5, b), engine::FftAveraging::None,
                                    {});
        EXPECT_EQ(engine::fftBins(*a), n / 2);
        EXPECT_EQ(peakBin(*a, a->power), 1367u) << n;
        // Consecutive blocks make one continuous sine: -6.02 dBFS on its bin.
        EXPECT_NEAR(engine::fftPowerLevel(a->power[1367]), -6.02, 0.05) << n;
        EXPECT_LT(engine::fftPowerLevel(a->power[1367 + 40]), -80.0) << n;
        // The onset, while the window still held zeros, is not held.
        EXPECT_LT(engine::fftPowerLevel(a->hold[1367 + 40]), -80.0) << n;
        EXPECT_EQ(a->blocks, 1) << n;
    }
}

TEST(FftLength, PowerFactorsApplyBeforeAverageAndHoldAndOffsetShiftsTheLevel)
{
    auto a = makeAnalysis();
    std::vector<float> factors(4096, 1.0f);
    factors[171] = 0.5f;
    auto plain = makeAnalysis();
    const auto block = sineBlock(1000, 20000);
    engine::analyseFftBlock(*a, block, engine::FftAveraging::Fast, factors);
    engine::analyseFftBlock(*plain, block, engine::FftAveraging::Fast);
    EXPECT_DOUBLE_EQ(a->average[171], plain->average[171] * 0.5);
    EXPECT_DOUBLE_EQ(a->hold[171], plain->hold[171] * 0.5);
    EXPECT_DOUBLE_EQ(a->average[170], plain->average[170]);
    EXPECT_NEAR(engine::fftPowerLevel(1.0, 94.0) - engine::fftPowerLevel(1.0), 94.0, 1e-12);
    EXPECT_FALSE(engine::setFftLength(*a, 12000));
    EXPECT_EQ(a->length, 8192);
}

TEST(FftAxes, DefaultLinearAxisKeepsTheOneBlockColumnsAndLines)
{
    const engine::FftView view;
    const auto map = engine::fftFrequencyMap(view, 659);
    ASSERT_TRUE(map);
    EXPECT_EQ(engine::fftColumnOf(*map, 171 * 5.859375L), 28);
    const auto ticks = engine::fftFrequencyTicks(*map);
    ASSERT_EQ(ticks.count, 22);
    EXPECT_EQ(ticks.ticks[0].label, "1k");
    EXPECT_EQ(ticks.ticks[21].label, "22k");
    EXPECT_EQ(engine::fftColumnOf(*map, ticks.ticks[0].value), 27);

    const auto level = engine::fftLevelMap(view, 40);
    const auto rows = engine::fftLevelTicks(*level, view.levelRange, 430);
    ASSERT_EQ(rows.count, 13); // 0 .. -120; the grid's frame closes at -130
    EXPECT_EQ(rows.ticks[12].label, "-120");
    EXPECT_EQ(engine::fftLevelRow(*level, -10.0), 70);
}

TEST(FftAxes, LogAxisHasDecadesOfNineLinesAndBinsOnThem)
{
    engine::FftView view;
    view.scale = engine::FftAxisScale::Log;
    view.fMin = 20;
    view.fMax = 24000;
    const auto map = engine::fftFrequencyMap(view, 659);
    ASSERT_TRUE(map);
    const auto ticks = engine::fftFrequencyTicks(*map);
    std::vector<std::string> labels;
    for (int i = 0; i < ticks.count; ++i)
        if (!ticks.ticks[i].label.empty())
            labels.push_back(ticks.ticks[i].label);
    EXPECT_EQ(labels, (std::vector<std::string>{"20", "50", "100", "200", "500", "1k", "2k", "5k",
                                                "10k", "20k"}));
    EXPECT_EQ(ticks.count, 8 + 9 + 9 + 2); // 20 .. 90, 100 .. 900, 1k .. 9k, 10k .. 20k
    EXPECT_EQ(engine::fftColumnOf(*map, 20), 0);
    EXPECT_EQ(engine::fftColumnOf(*map, 24000), 659);
    // 659 columns over log10(1200) decades: 1 kHz at 659 log10(50) / log10(1200).
    EXPECT_EQ(engine::fftColumnOf(*map, 1000), 364);

    // A tone's bin lands on its line; the many bins of a long transform
    // collapse to at most two points per column.
    std::vector<double> powers(32768, 1e-6);
    const double binHz = 48000.0 / 65536;
    powers[1366] = 1e8; // 1000.5 Hz
    engine::CoordArray points{};
    const auto level = engine::fftLevelMap(view, 0);
    auto layout = std::make_unique<engine::FftBinLayout>();
    layout->update(*map, binHz, 32768);
    const int n = engine::fftCurvePoints(powers, *layout, *level, 0.0, 470, points);
    EXPECT_LE(n, 2 * 660 + 2);
    const auto top = std::min_element(points[1].begin(), points[1].begin() + n) - points[1].begin();
    EXPECT_EQ(points[0][static_cast<std::size_t>(top)], 364);
    for (int i = 1; i < n; ++i)
        ASSERT_GE(points[0][i], points[0][i - 1]);
}

TEST(FftAxes, ZoomMovesTheLinesAndLevelAxisFollowsTopAndRange)
{
    engine::FftView view;
    view.fMin = 1000;
    view.fMax = 2000;
    const auto map = engine::fftFrequencyMap(view, 659);
    const auto ticks = engine::fftFrequencyTicks(*map);
    EXPECT_EQ(ticks.count, 19); // every 50 Hz
    EXPECT_EQ(ticks.ticks[0].label, "1.05k");
    EXPECT_EQ(engine::fftColumnOf(*map, 1500), 330);

    view.levelTop = 20;
    view.levelRange = 60;
    const auto level = engine::fftLevelMap(view, 0);
    EXPECT_EQ(engine::fftLevelRow(*level, -40.0), 360);
    const auto rows = engine::fftLevelTicks(*level, view.levelRange, 390);
    EXPECT_EQ(rows.ticks[0].label, "20");
    EXPECT_EQ(rows.ticks[1].label, "15");

    view.fMax = view.fMin;
    EXPECT_FALSE(engine::fftFrequencyMap(view, 659));
    view.levelRange = 0;
    EXPECT_FALSE(engine::fftLevelMap(view, 0));
}
