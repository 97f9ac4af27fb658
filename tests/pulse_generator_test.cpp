// The generator on a real, paced output: a private PulseAudio daemon
// (scripts/with-pulseaudio) whose null sink the generator plays into while
// the audio input records the sink's monitor, as a room measurement would.

#include "capture/audio_in.h"
#include "capture/pcm_convert.h"
#include "capture/signal_output.h"
#include "capture/test_signal.h"
#include "capture_test_support.h"

#include "dsp/window_table.h"
#include "engine/band_plan.h"
#include "engine/rta_block.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <memory>

using namespace capture;
using captest::waitUntil;

namespace {

constexpr int kBlockSamples = engine::kBlockSamples;
// About 31 s of averaging: enough that the noise's own scatter in the
// narrowest band (50 Hz, two bins) stays near 0.3 dB.
constexpr int kAveragedBlocks = 180;

TestSignalParams pink(double levelDb)
{
    TestSignalParams p;
    p.kind = TestSignalParams::Kind::Pink;
    p.levelDb = levelDb;
    return p;
}

double centre(const engine::BandPlan& plan, int band)
{
    return std::sqrt(plan.OctBinBorderList[band - 1] * plan.OctBinBorderList[band]);
}

// The RTA's third-octave band levels, power-averaged over the blocks.
TEST(PulseGenerator, PinkNoiseIntoTheSinkReadsFlatOnTheThirdOctaveRta)
{
    ASSERT_NE(std::getenv("SPECTRION_PULSE_SINK"), nullptr)
        << "run through scripts/with-pulseaudio";
    const UINT input = captest::deviceId("pulse");
    ASSERT_NE(input, WAVE_MAPPER - 1) << "PortAudio lists no \"pulse\" input";

    auto state = std::make_unique<engine::MeasurementState>();
    auto plan = std::make_unique<engine::BandPlan>();
    dsp::BuildWindowTable(1, state->Window); // Hann, the analyzer's default
    engine::buildPrefFreqList(*plan);
    // The third-octave plan on the page's default layout.
    engine::applyOctaveType(*plan, *state, 2, engine::RtaGeometry{739, 465, 40, 40, 659, 386});
    std::vector<double> power(static_cast<std::size_t>(plan->validbands), 0.0);

    TAudioIn audio;
    audio.SetBufferSize(engine::kBlockBytes);
    audio.SetNumBuffers(3);
    audio.SetFrameRate(engine::kFrameRate);
    audio.SetWaveDevice(input);
    int blocks = 0;
    int averaged = 0;
    bool sounding = false;
    audio.SetOnBufferFilled([&](std::uint8_t* buffer, int& size) {
        ++blocks;
        const std::span samples(reinterpret_cast<const std::int16_t*>(buffer),
                                static_cast<std::size_t>(size / 2));
        // Average whole blocks of sound only: from the block after the one
        // in which the fade-in started.
        const bool silent =
            std::all_of(samples.begin(), samples.end(), [](auto s) { return s == 0; });
        if (!sounding) {
            sounding = !silent;
            return true;
        }
        if (averaged == kAveragedBlocks)
            return true;
        engine::windowAndTransformRta(*state, samples);
        engine::sumOctaveBands(*state, *plan);
        for (int j = 1; j < plan->validbands; ++j)
            power[static_cast<std::size_t>(j)] += state->OctBands[j] * state->OctBands[j];
        ++averaged;
        return true;
    });
    ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    ASSERT_TRUE(waitUntil([&] { return blocks >= 1; }, 10000));

    SignalOutput generator;
    std::string error;
    ASSERT_TRUE(generator.start("pulse", pink(-20), engine::kFrameRate, error)) << error;
    EXPECT_TRUE(waitUntil([&] { return averaged == kAveragedBlocks; }, 90000))
        << "averaged " << averaged << " blocks";
    // A starved output plays gaps, which no longer read as pink noise.
    const std::uint64_t underflows = generator.underflows();
    generator.stop();
    audio.StopAtOnce();
    EXPECT_FALSE(generator.playing());
    EXPECT_EQ(audio.droppedFrames(), 0u);
    ASSERT_EQ(averaged, kAveragedBlocks);

    // The bands from 50 Hz to 16 kHz, by their geometric centres.
    std::vector<int> bands;
    for (int j = 2; j < plan->validbands; ++j)
        if (const double c = centre(*plan, j); c > 45 && c < 18000)
            bands.push_back(j);
    ASSERT_EQ(bands.size(), 26u);
    const auto levelDb = [&](const std::vector<double>& sum, int j) {
        return 10 * std::log10(sum[static_cast<std::size_t>(j)] / kAveragedBlocks);
    };
    const auto meanDb = [&](const std::vector<double>& sum) {
        double mean = 0;
        for (int j : bands)
            mean += levelDb(sum, j) / static_cast<double>(bands.size());
        return mean;
    };
    // What the same analysis reads from the virtual input's pink noise at
    // -20 dBFS, rounded to 16 bits as the sink does: the bands of two bins
    // read up to a decibel off the mean there too, by where their bins fall.
    auto virtualInput = makeTestSignal(pink(-20), engine::kFrameRate, error);
    std::vector<float> rendered(kBlockSamples);
    std::vector<std::int16_t> block(kBlockSamples);
    std::vector<double> reference(power.size(), 0.0);
    for (int b = 0; b < kAveragedBlocks; ++b) {
        virtualInput->render(rendered.data(), kBlockSamples, 1);
        floatToPcm16(rendered.data(), rendered.size(),
                     reinterpret_cast<std::uint8_t*>(block.data()));
        engine::windowAndTransformRta(*state, block);
        engine::sumOctaveBands(*state, *plan);
        for (int j = 1; j < plan->validbands; ++j)
            reference[static_cast<std::size_t>(j)] += state->OctBands[j] * state->OctBands[j];
    }
    // The shape band by band, and the level.
    const double mean = meanDb(power);
    const double referenceMean = meanDb(reference);
    for (int j : bands)
        EXPECT_NEAR(levelDb(power, j) - mean, levelDb(reference, j) - referenceMean, 1.0)
            << "band at " << centre(*plan, j) << " Hz; output underflows " << underflows;
    EXPECT_NEAR(mean, referenceMean, 0.5);
}

TEST(PulseGenerator, AMissingOrLostOutputEndsWithAReason)
{
    ASSERT_NE(std::getenv("SPECTRION_PULSE_SINK"), nullptr)
        << "run through scripts/with-pulseaudio";
    SignalOutput generator;
    std::string error;
    EXPECT_FALSE(generator.start("no such device", pink(-20), 48000, error));
    EXPECT_EQ(error, "there is no output device \"no such device\"");
    EXPECT_FALSE(generator.playing());

    std::string failure;
    generator.setOnFailure([&](const std::string& reason) { failure = reason; });
    ASSERT_TRUE(generator.start("pulse", pink(-20), 48000, error)) << error;
    captest::spin(500);
    EXPECT_TRUE(generator.playing());
    QFile pidFile(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t daemon = static_cast<pid_t>(pidFile.readAll().trimmed().toLong());
    ASSERT_GT(daemon, 0);

    // A frozen sound server takes nothing: the output ends after the give-up
    // time, without waiting for the server.
    ASSERT_EQ(::kill(daemon, SIGSTOP), 0);
    EXPECT_TRUE(waitUntil([&] { return !failure.empty(); }, StallWatch::kGiveUpMs + 3000));
    ::kill(daemon, SIGCONT);
    EXPECT_EQ(failure.rfind("The output device took no samples for ", 0), 0u) << failure;
    EXPECT_FALSE(generator.playing());
    failure.clear();
    ASSERT_TRUE(generator.start("pulse", pink(-20), 48000, error)) << error;
    ASSERT_TRUE(waitUntil([&] { return generator.framesPlayed() > 0; }, 5000));

    // Take the sound server away under the output, as a crash would. The audio
    // library either ends the stream or, now and then, spins on the dead
    // device without calling back: then the give-up time ends it.
    ASSERT_EQ(::kill(daemon, SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return !failure.empty(); }, 10000));
    EXPECT_TRUE(failure == "The output device stopped playing (it failed or was disconnected)." ||
                failure.rfind("The output device took no samples for ", 0) == 0)
        << failure;
    EXPECT_FALSE(generator.playing());
}

} // namespace
