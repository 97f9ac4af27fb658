// The generator's renderer: its fades and level ramps move the scale in steps
// no larger than the ramp allows, and at a steady level it plays exactly the
// virtual input's samples.

#include "capture/generator_render.h"
#include "capture/test_signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace capture;

namespace {

constexpr double kRate = 48000;

// A constant 1 at unit scale, so every rendered sample is the scale itself.
class Constant final : public Waveform {
public:
    double next() noexcept override { return 1.0; }
    double scaleFor(double levelDb) const noexcept override { return std::pow(10, levelDb / 20); }
};

std::vector<float> renderFrames(GeneratorRender& render, int frames, int channels = 1,
                                int period = 256)
{
    std::vector<float> out(static_cast<std::size_t>(frames) * channels);
    for (int done = 0; done < frames; done += period)
        render.render(out.data() + static_cast<std::size_t>(done) * channels,
                      std::min(period, frames - done), channels);
    return out;
}

TEST(GeneratorRender, FadesAndLevelChangesNeverStepFasterThanTheRamp)
{
    GeneratorRender render(std::make_unique<Constant>(), -20, kRate);
    const int ramp = render.rampFrames();
    EXPECT_EQ(ramp, 960); // 20 ms
    const double low = std::pow(10, -20.0 / 20);
    const double high = 1.0;
    // A raised cosine over N frames moves at most range x pi / (2 N) a frame.
    const auto largestStep = [&](const std::vector<float>& x, float first) {
        double largest = std::abs(x[0] - first);
        for (std::size_t i = 1; i < x.size(); ++i)
            largest = std::max(largest, std::abs(static_cast<double>(x[i]) - x[i - 1]));
        return largest;
    };
    const double slope = std::numbers::pi / (2 * ramp) * 1.0001;

    auto fadeIn = renderFrames(render, 2 * ramp);
    EXPECT_LE(largestStep(fadeIn, 0.0f), low * slope);
    EXPECT_GT(fadeIn[0], 0.0f);
    EXPECT_LT(fadeIn[ramp - 2], static_cast<float>(low));
    EXPECT_EQ(fadeIn[ramp - 1], static_cast<float>(low));
    EXPECT_EQ(fadeIn.back(), static_cast<float>(low));

    // Up to full scale, then turned back half-way through that ramp: the
    // second ramp starts where the first had got to.
    render.setLevel(0);
    auto up = renderFrames(render, ramp / 2);
    render.setLevel(-20);
    auto back = renderFrames(render, 2 * ramp);
    EXPECT_LE(largestStep(up, fadeIn.back()), (high - low) * slope);
    EXPECT_LE(largestStep(back, up.back()), (high - low) * slope);
    EXPECT_EQ(back.back(), static_cast<float>(low));

    // A stereo device gets the same samples on both channels; the fade-out
    // ends in silence and the renderer says so.
    render.requestFadeOut();
    EXPECT_FALSE(render.fadedOut());
    auto fadeOut = renderFrames(render, 2 * ramp, 2);
    EXPECT_TRUE(render.fadedOut());
    std::vector<float> left;
    for (std::size_t i = 0; i < fadeOut.size(); i += 2) {
        EXPECT_EQ(fadeOut[i], fadeOut[i + 1]);
        left.push_back(fadeOut[i]);
    }
    EXPECT_LE(largestStep(left, back.back()), low * slope);
    EXPECT_EQ(left[static_cast<std::size_t>(ramp - 1)], 0.0f);
    float after[8];
    EXPECT_FALSE(render.render(after, 4, 2));
    EXPECT_EQ(std::vector<float>(after, after + 8), std::vector<float>(8, 0.0f));
}

TEST(GeneratorRender, PlaysTheVirtualInputsSamplesOnceFadedIn)
{
    for (const char* text :
         {"pink:-20", "white:-20", "sine:997:-3", "sweep:20-20000:0.5:-20", "silence"}) {
        std::string error;
        const auto params = parseTestSignal(text, error);
        ASSERT_TRUE(params) << error;
        auto virtualInput = makeTestSignal(*params, kRate, error);
        ASSERT_TRUE(virtualInput) << error;
        GeneratorRender generator(makeWaveform(*params, kRate, error), params->levelDb, kRate);

        constexpr int kFrames = 48000;
        std::vector<float> expected(kFrames);
        for (int done = 0; done < kFrames; done += 240)
            virtualInput->render(expected.data() + done, 240, 1);
        const std::vector<float> played = renderFrames(generator, kFrames, 1, 333);
        const auto ramp = static_cast<std::size_t>(generator.rampFrames());
        for (std::size_t i = ramp; i < played.size(); ++i)
            ASSERT_EQ(played[i], expected[i]) << text << " at sample " << i;
        // During the fade-in: the same samples, scaled down.
        for (std::size_t i = 0; i < ramp; ++i)
            ASSERT_LE(std::abs(played[i]), std::abs(expected[i])) << text << " at sample " << i;
    }
}

} // namespace
