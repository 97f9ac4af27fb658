// Capture through PortAudio from a real, paced device: a private PulseAudio
// daemon (scripts/with-pulseaudio) whose null sink plays a known file and
// whose remapped monitor source the component records.

#include "capture/audio_in.h"
#include "capture_test_support.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <csignal>
#include <cstdlib>
#include <vector>

using namespace capture;
using captest::waitUntil;

namespace {

constexpr int kBlockSamples = 8192;
constexpr int kFileBlocks = 36;

// Pseudo-random samples, none of them zero, so the file's start stands out
// from the silence before it.
std::vector<short> knownSamples()
{
    std::vector<short> samples(static_cast<std::size_t>(kFileBlocks) * kBlockSamples);
    std::uint32_t state = 12345;
    for (short& s : samples) {
        state = state * 1664525u + 1013904223u;
        const int v = static_cast<int>(state >> 16) % 32000 - 16000;
        s = static_cast<short>(v == 0 ? 1 : v);
    }
    return samples;
}

TEST(PulseCapture, RecordsAPlayedFileInOrderWithoutLosingABlock)
{
    const char* sink = std::getenv("SPECTRION_PULSE_SINK");
    ASSERT_NE(sink, nullptr) << "run through scripts/with-pulseaudio";

    QTemporaryDir dir;
    const std::string path = dir.filePath("known.wav").toStdString();
    const std::vector<short> file = knownSamples();
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(sf_writef_short(out, file.data(), static_cast<sf_count_t>(file.size())),
              static_cast<sf_count_t>(file.size()));
    sf_close(out);

    const UINT device = captest::deviceId("pulse");
    ASSERT_NE(device, WAVE_MAPPER - 1) << "PortAudio lists no \"pulse\" input";

    TAudioIn audio;
    audio.SetBufferSize(16384);
    audio.SetNumBuffers(3);
    audio.SetFrameRate(48000);
    audio.SetWaveDevice(device);
    std::vector<std::int16_t> recorded;
    int blocks = 0;
    bool stopped = false;
    audio.SetOnStop([&](QObject*) { stopped = true; });
    audio.SetOnBufferFilled([&](std::uint8_t* buffer, int& size) {
        const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
        recorded.insert(recorded.end(), s, s + size / 2);
        ++blocks;
        return true;
    });
    ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    // The first block can take a while; play only once recording runs.
    ASSERT_TRUE(waitUntil([&] { return blocks >= 1; }, 10000));

    QProcess player;
    player.start("paplay", {"-d", QString::fromUtf8(sink), QString::fromStdString(path)});
    ASSERT_TRUE(player.waitForStarted(5000)) << player.errorString().toStdString();
    const auto firstSound = [&] {
        for (std::size_t i = 0; i < recorded.size(); ++i)
            if (recorded[i] != 0)
                return i;
        return recorded.size();
    };
    ASSERT_TRUE(waitUntil([&] { return recorded.size() >= firstSound() + file.size(); }, 30000))
        << "recorded " << recorded.size() << " samples";
    player.waitForFinished(5000);

    audio.StopAtOnce();
    ASSERT_TRUE(waitUntil([&] { return stopped; }));
    EXPECT_EQ(audio.droppedFrames(), 0u);
    EXPECT_EQ(audio.FilledBuffers, blocks);
    EXPECT_EQ(static_cast<std::size_t>(blocks) * kBlockSamples, recorded.size());

    const std::size_t start = firstSound();
    ASSERT_GE(recorded.size() - start, file.size());
    std::size_t matching = 0;
    while (matching < file.size() && recorded[start + matching] == file[matching])
        ++matching;
    EXPECT_EQ(matching, file.size())
        << "the recording departs from the file at sample " << matching << " of " << file.size();
    EXPECT_GE(file.size() / kBlockSamples, 30u);
}

} // namespace

namespace {

TEST(PulseCapture, ALostSoundServerEndsTheCaptureAsAFailure)
{
    ASSERT_NE(std::getenv("SPECTRION_PULSE_SINK"), nullptr)
        << "run through scripts/with-pulseaudio";
    const UINT device = captest::deviceId("pulse");
    ASSERT_NE(device, WAVE_MAPPER - 1) << "PortAudio lists no \"pulse\" input";
    TAudioIn audio;
    audio.SetBufferSize(4096);
    audio.SetNumBuffers(3);
    audio.SetFrameRate(48000);
    audio.SetWaveDevice(device);
    int blocks = 0;
    bool stopped = false;
    audio.SetOnStop([&](QObject*) { stopped = true; });
    audio.SetOnBufferFilled([&](std::uint8_t*, int&) { return ++blocks, true; });
    ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    ASSERT_TRUE(waitUntil([&] { return blocks >= 2; }, 10000));

    // Take the sound server away under the recording, as a crash would.
    QFile pidFile(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t daemon = static_cast<pid_t>(pidFile.readAll().trimmed().toLong());
    ASSERT_GT(daemon, 0);
    ASSERT_EQ(::kill(daemon, SIGKILL), 0);
    EXPECT_TRUE(waitUntil([&] { return stopped; }, 10000)) << "blocks " << blocks;
    EXPECT_TRUE(audio.deviceFailed());
    EXPECT_EQ(audio.ErrorMessage.toStdString(),
              "The audio device stopped delivering sound (it failed or was disconnected).");
    EXPECT_EQ(audio.QueuedBuffers, 0);
    audio.StopAtOnce();
}

} // namespace
