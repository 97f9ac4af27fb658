#include "dsp/window.h"
#include "dsp/window_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace dsp;

namespace {

int windowCalls = 0;

TFFTFloat countingWelch(TFFTFloat x)
{
    ++windowCalls;
    return WWelch(x);
}

std::vector<double> table(int item, std::size_t n = 8192)
{
    std::vector<double> w(n, -1.0);
    BuildWindowTable(item, w);
    return w;
}

} // namespace

TEST(ApplyWindow, WelchStatisticsAndSlotCentres)
{
    std::vector<TFFTFloat> data(8192, 1.0f);
    windowCalls = 0;
    const TFFTWindowInfo info = ApplyWindow(data, countingWelch);
    EXPECT_EQ(windowCalls, 8192);
    EXPECT_NEAR(info.intw, 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(info.intw2, 8.0 / 15.0, 1e-6);
    // Slot centres: the two middle samples share the largest weight, and the
    // end samples get 1 - (8191/8192)^2, never 0.
    EXPECT_EQ(data[4095], data[4096]);
    EXPECT_EQ(*std::max_element(data.begin(), data.end()), data[4095]);
    EXPECT_NEAR(data[0], 1.0 - std::pow(8191.0 / 8192.0, 2), 1e-9);
    EXPECT_EQ(data[0], data[8191]);

    // Samples are scaled, not replaced.
    std::vector<TFFTFloat> scaled(8192, -2000.0f);
    ApplyWindow(scaled, WWelch);
    EXPECT_FLOAT_EQ(scaled[4095], -2000.0f * data[4095]);

    std::vector<TFFTFloat> empty;
    windowCalls = 0;
    const TFFTWindowInfo none = ApplyWindow(empty, countingWelch);
    EXPECT_EQ(windowCalls, 0);
    EXPECT_EQ(none.intw, 1.0f);
    EXPECT_EQ(none.intw2, 1.0f);
}

TEST(SpectrumHelpers, MagnitudesFillOrTruncateAndScaling)
{
    std::vector<TFFTComplex> spectrum(8192, TFFTComplex{3.0f, -4.0f});
    spectrum[7] = {0.0f, 0.0f};
    for (std::size_t len : {100, 8192, 10000}) {
        std::vector<TFFTFloat> amplitude(len, -1.0f);
        RectToAbs(spectrum, amplitude);
        for (std::size_t i = 0; i < len; ++i) {
            const float want = i >= 8192 ? 0.0f : (i == 7 ? 0.0f : 5.0f);
            ASSERT_EQ(amplitude[i], want) << "len " << len << " i " << i;
        }
    }
    std::vector<TFFTFloat> zeros(5, -1.0f);
    RectToAbs({}, zeros);
    EXPECT_EQ(zeros, std::vector<TFFTFloat>(5, 0.0f));

    std::vector<TFFTFloat> v{1.0f, -2.0f, 0.5f};
    ScaleVector(v, 4.0f);
    EXPECT_EQ(v, (std::vector<TFFTFloat>{4.0f, -8.0f, 2.0f}));
    std::vector<TFFTFloat> nothing;
    ScaleVector(nothing, 3.0f);
}

TEST(WindowTable, FourTypesWithTheirExtremes)
{
    const auto rect = table(0);
    EXPECT_TRUE(std::all_of(rect.begin(), rect.end(), [](double w) { return w == 1.0; }));

    // The periodic window shifted by one sample: the peak at 4095, the minimum last.
    const auto hann = table(1);
    EXPECT_EQ(hann[4095], 1.0);
    EXPECT_LT(hann[4096], 1.0);
    EXPECT_NEAR(hann[8191], 0.0, 1e-30);
    EXPECT_DOUBLE_EQ(hann[0], std::pow(std::sin(M_PI / 8192), 2));
    EXPECT_EQ(hann[4095 - 100], hann[4095 + 100]);

    const auto hamming = table(2);
    EXPECT_DOUBLE_EQ(hamming[4095], 1.0);
    EXPECT_DOUBLE_EQ(hamming[8191], 0.08);

    const auto bh = table(3);
    EXPECT_NEAR(bh[8191], 0.00006, 1e-15);
    EXPECT_NEAR(bh[4095], 0.35875 + 0.48829 + 0.14128 + 0.01168, 1e-15);
    EXPECT_EQ(*std::min_element(bh.begin(), bh.end()), bh[8191]);

    // Every entry follows its formula at i = k + 1.
    for (std::size_t k = 0; k < 8192; k += 511) {
        const double x = 2 * M_PI * static_cast<double>(k + 1) / 8192;
        EXPECT_NEAR(hamming[k], 0.54 - 0.46 * std::cos(x), 1e-15);
        EXPECT_NEAR(bh[k],
                    0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) -
                        0.01168 * std::cos(3 * x),
                    1e-15);
    }
}

TEST(WindowTable, NoSelectionLeavesTableAndRebuildIsIdentical)
{
    for (int item : {-1, 4, 100}) {
        auto w = table(item);
        EXPECT_TRUE(std::all_of(w.begin(), w.end(), [](double v) { return v == -1.0; })) << item;
    }
    auto w = table(3);
    BuildWindowTable(1, w);
    EXPECT_EQ(w, table(1));
    BuildWindowTable(1, w);
    EXPECT_EQ(w, table(1));
    EXPECT_EQ(table(2, 16).size(), 16u);
    EXPECT_EQ(table(2, 16)[15], table(2, 16)[15]);
}
