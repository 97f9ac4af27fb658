#include "engine_test_support.h"

#include "engine/fft_block.h"
#include "engine/rounding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

using enginetest::constantBlock;
using enginetest::makeState;
using enginetest::sineBlock;

namespace {

// The graph's top row is the grid's 0 dBFS line.
constexpr int kZeroDbfsRow = 0;

struct Fft {
    std::unique_ptr<engine::MeasurementState> state = makeState();

    explicit Fft(int width = 659)
    {
        engine::setUpFftTab(*state, width);
        engine::onCaptureStart(*state);
    }
    void block(const std::vector<std::int16_t>& samples)
    {
        engine::processFftBlock(*state, samples, kZeroDbfsRow);
    }
    int row(int bin) const { return state->NewPoints[1][bin]; }
    int peakBin() const
    {
        const auto& y = state->NewPoints[1];
        return static_cast<int>(std::min_element(y.begin(), y.begin() + engine::kFftBinsDrawn) -
                                y.begin());
    }
};

} // namespace

TEST(FftTab, BinsSitAtTheirOwnFrequenciesOnTheGraphWidth)
{
    const struct {
        int width;
        int bin;
        int x;
    } cases[] = {
        {659, 0, 0},
        {659, 1, 0},
        {659, 171, 28},   // 1001.95 Hz
        {659, 4095, 659}, // 23994 Hz: the graph's right edge
        {659, 8191, 1318},
        {800, 171, 33},
        {800, 4095, 800},
        // 5.859375 * 32 * 800 / 24000 = 6.25; * 16 * 1600 / 24000 = 6.25
        {800, 32, 6},
        {1600, 16, 6},
    };
    for (const auto& c : cases) {
        auto state = makeState();
        ASSERT_TRUE(engine::setUpFftTab(*state, c.width));
        EXPECT_DOUBLE_EQ(state->Columnwidth, c.width / 24000.0);
        EXPECT_EQ(state->NewPoints[0][c.bin], c.x) << c.width << " bin " << c.bin;
    }
    auto state = makeState();
    EXPECT_FALSE(engine::setUpFftTab(*state, 659, 1));
    EXPECT_EQ(state->Columnwidth, 0.0);
}

TEST(FftBlock, TonesPeakOnTheColumnsOfTheirFrequencyLines)
{
    // The grid's lines stand at fftFrequencyColumn of 1 kHz, 10 kHz, 20 kHz.
    for (double hz : {1000.0, 10000.0, 20000.0}) {
        Fft fft;
        fft.block(sineBlock(hz, 16384));
        const int line = *engine::fftFrequencyColumn(hz, fft.state->Columnwidth);
        EXPECT_LE(std::abs(fft.state->NewPoints[0][fft.peakBin()] - line), 1) << hz;
    }
}

TEST(FftTab, CaptureStartSetsTheZeroRowTo470)
{
    auto state = makeState();
    EXPECT_EQ(engine::fftZeroRow(*state), 0);
    state->ScopeBufferCounter = 99;
    engine::onCaptureStart(*state);
    EXPECT_DOUBLE_EQ(state->ZerodBOffset, 156.53559774527022);
    EXPECT_EQ(engine::fftZeroRow(*state), 470);
    EXPECT_EQ(engine::fftZeroRow(*state, -5), 465);
    EXPECT_EQ(state->ScopeBufferCounter, 0);
}

TEST(FftBlock, DigitalSilenceLiesOnRow470)
{
    Fft fft;
    fft.state->OldPoints[1].fill(-5);
    fft.block(constantBlock(0));
    for (int i = 0; i < engine::kFftBinsDrawn; ++i) {
        ASSERT_EQ(fft.row(i), 470) << i;
        ASSERT_EQ(fft.state->OldPoints[1][i], 470) << i;
    }
    // Only the drawn half is copied.
    EXPECT_EQ(fft.state->OldPoints[1][engine::kFftBinsDrawn], -5);
}

TEST(FftBlock, SinesCentredOnABinLieOnTheirDbfsLine)
{
    // 1500 Hz, bin 256: 0 dBFS on the 0 line, -6 dBFS 18 rows (6 dB) below.
    const struct {
        double dbfs;
        int row;
    } cases[] = {{0, 0}, {-6, 18}, {-20, 60}, {-60, 180}};
    for (const auto& c : cases) {
        Fft fft;
        // Full scale as 16 bits hold it: a peak of 32767.
        fft.block(sineBlock(256 * 48000.0 / 8192, 32767 * std::pow(10.0, c.dbfs / 20)));
        EXPECT_EQ(fft.peakBin(), 256) << c.dbfs;
        EXPECT_EQ(fft.row(256), c.row) << c.dbfs;
        // Within the 16-bit rounding of the samples.
        EXPECT_NEAR(static_cast<double>(engine::fftLevelDbfs(fft.state->FFTbins[256])), c.dbfs,
                    0.1);
    }
    Fft fft;
    fft.block(sineBlock(1500, 32767));
    EXPECT_NEAR(fft.state->wi.intw, 2.0 / 3, 1e-4);
}

TEST(FftBlock, Sine1kHzPeaksOnThe1kColumnWithinTheWindowsScalloping)
{
    // 1000 Hz lies between bins 170 and 171: the Welch window loses up to
    // 2.2 dB there (6.6 rows).
    Fft fft;
    fft.block(sineBlock(1000, 32767));
    EXPECT_EQ(fft.peakBin(), 171);
    EXPECT_EQ(fft.state->NewPoints[0][171], 28);
    EXPECT_EQ(*engine::fftFrequencyColumn(1000, fft.state->Columnwidth), 27);
    EXPECT_GT(fft.row(171), 0);
    EXPECT_LE(fft.row(171), 7);
}

TEST(FftBlock, DcStaysOnTheZeroRowInBin0)
{
    for (std::int16_t dc : {1, -1000, 32767}) {
        Fft fft;
        fft.block(constantBlock(dc));
        EXPECT_EQ(fft.state->Spectrum[0].imag, 0.0f);
        EXPECT_EQ(fft.row(0), 470) << dc;
        EXPECT_LT(fft.row(1), 470) << dc; // the window spreads DC into bin 1
    }
}

TEST(FftBlock, MagnitudesBecomeRowsAndNeverFeedTheLogarithmZero)
{
    auto state = makeState();
    engine::onCaptureStart(*state);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // 0 dBFS is an RMS of 23170.475; every factor 10 is 60 rows.
    const struct {
        float magnitude;
        int row;
    } cases[] = {
        {23170.475f, 0},      {2317.0475f, 60},    {1.0f, 262}, // -87.3 dBFS
        {10.0f, 202},         {0.1f, 322},         {46340.95f, -18}, {0.0f, 470},
        {-0.0f, 470},         {-3.0f, 470},        {inf, 470},       {nan, 470},
        {1e-45f, 262 + 2691}, {3e38f, 262 - 2309},
    };
    for (const auto& c : cases)
        EXPECT_EQ(engine::fftMagnitudeRow(*state, c.magnitude, kZeroDbfsRow), c.row) << c.magnitude;
    EXPECT_EQ(engine::fftMagnitudeRow(*state, 23170.475f, 40), 40);
}

TEST(FftBlock, WidthChangeMovesTheBinsNotTheRows)
{
    Fft narrow(659);
    Fft wide(800);
    const auto tone = sineBlock(3000, 20000);
    narrow.block(tone);
    wide.block(tone);
    EXPECT_EQ(narrow.state->NewPoints[1], wide.state->NewPoints[1]);
    EXPECT_EQ(wide.state->NewPoints[0][512], std::lround(512 * 5.859375 * 800 / 24000));
}

// The row is computed in double where that cannot change it; it must equal
// the extended-precision rule for every magnitude, above all for those whose
// 60 log10 lies next to a half-integer, and for heights far from the graph's.
TEST(FftBlock, RowsEqualTheExtendedPrecisionRuleEvenNextToHalfPixels)
{
    auto state = makeState();
    engine::onCaptureStart(*state);
    const auto rule = [&](float m, int h) {
        return engine::roundToInt32(h - 3 * engine::fftLevelDbfs(m))
            .value_or(engine::fftZeroRow(*state, h));
    };

    std::vector<float> magnitudes;
    // A spread over every binade of positive floats.
    for (std::uint32_t bits = 1; bits < 0x7F800000u; bits += 4099) {
        float m;
        std::memcpy(&m, &bits, sizeof m);
        magnitudes.push_back(m);
    }
    // The floats nearest to each magnitude whose row is exactly a half-pixel.
    for (int n = -2700; n <= 2320; ++n) {
        float m = static_cast<float>(engine::kFullScaleSineRms * std::pow(10.0L, (n + 0.5L) / 60));
        if (!(m > 0.0f) || !std::isfinite(m))
            continue;
        for (int k = 0; k < 4; ++k)
            m = std::nextafter(m, 0.0f);
        for (int k = 0; k < 9; ++k, m = std::nextafter(m, std::numeric_limits<float>::infinity()))
            magnitudes.push_back(m);
    }

    int checked = 0;
    for (int h : {387, 0, -1000, 2147483000, std::numeric_limits<int>::min()})
        for (float m : magnitudes) {
            ASSERT_EQ(engine::fftMagnitudeRow(*state, m, h), rule(m, h)) << m << " at " << h;
            ++checked;
        }
    EXPECT_GT(checked, 2000000);
}
