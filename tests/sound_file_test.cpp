// The virtual sound-file input: what it accepts, and that it records a file
// exactly, looped, mixed to the opened channel count.

#include "capture/audio_in.h"
#include "capture/virtual_devices.h"
#include "capture_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

using namespace capture;
using captest::waitUntil;

namespace {

std::string writeWav(const QTemporaryDir& dir, const char* name, int rate, int channels,
                     const std::vector<short>& interleaved)
{
    const std::string path = dir.filePath(name).toStdString();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr);
    sf_writef_short(file, interleaved.data(),
                    static_cast<sf_count_t>(interleaved.size()) / channels);
    sf_close(file);
    return path;
}

// Records blocks of 2048 bytes until at least frames samples have arrived.
std::vector<std::int16_t> record(const std::string& device, int frames, bool stereo = false,
                                 int handlerMs = 0)
{
    TAudioIn audio;
    audio.SetBufferSize(2048);
    audio.SetNumBuffers(3);
    audio.SetFrameRate(48000);
    audio.SetStereo(stereo);
    audio.SetWaveDevice(captest::deviceId(device));
    std::vector<std::int16_t> samples;
    audio.SetOnBufferFilled([&](std::uint8_t* buffer, int& size) {
        const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
        samples.insert(samples.end(), s, s + size / 2);
        if (handlerMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(handlerMs));
        return true;
    });
    EXPECT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    EXPECT_TRUE(waitUntil([&] { return samples.size() >= static_cast<std::size_t>(frames); }));
    audio.StopAtOnce();
    return samples;
}

class SoundFileTest : public ::testing::Test {
protected:
    void SetUp() override { clearVirtualDevices(); }
    void TearDown() override { clearVirtualDevices(); }
    QTemporaryDir dir;
};

TEST_F(SoundFileTest, RegistrationRefusesWhatIsNotSound)
{
    std::ofstream(dir.filePath("notes.txt").toStdString()) << "not a sound file\n";
    writeWav(dir, "empty.wav", 48000, 1, {});
    for (const char* name : {"missing.wav", "notes.txt", "empty.wav"}) {
        const QString error = registerInputFile(dir.filePath(name));
        EXPECT_FALSE(error.isEmpty()) << name;
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
    }
    EXPECT_EQ(waveInGetNumDevs(), waveInGetNumDevs());
    EXPECT_EQ(captest::deviceId("Sound file: missing.wav"), WAVE_MAPPER - 1);
}

TEST_F(SoundFileTest, AMonoFileIsRecordedExactlyAndLooped)
{
    std::vector<short> file(1000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = captest::countingSample(static_cast<std::int64_t>(i));
    ASSERT_TRUE(registerInputFile(QString::fromStdString(writeWav(dir, "tone.wav", 48000, 1, file)))
                    .isEmpty());
    const auto got = record("Sound file: tone.wav", 2600);
    ASSERT_GE(got.size(), 2600u);
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], file[i % file.size()]) << i;
}

TEST_F(SoundFileTest, UnpacedAFileWaitsForAHandlerSlowerThanRealTimeAndLosesNothing)
{
    std::vector<short> file(5000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = captest::countingSample(static_cast<std::int64_t>(i));
    ASSERT_TRUE(
        registerInputFile(QString::fromStdString(writeWav(dir, "fast.wav", 48000, 1, file)), false)
            .isEmpty());
    // 30 ms per 1024-sample block, which takes 21 ms to play: a paced input
    // would overrun the ring.
    const auto got = record("Sound file: fast.wav", 12000, false, 30);
    ASSERT_GE(got.size(), 12000u);
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], file[i % file.size()]) << i;
}

TEST_F(SoundFileTest, ChannelsAreMixedToTheOpenedCount)
{
    // Left and right, and the mean the mono capture must show.
    std::vector<short> stereo;
    for (int i = 0; i < 600; ++i) {
        stereo.push_back(static_cast<short>(i * 50 - 15000));
        stereo.push_back(static_cast<short>(1000 - i * 20));
    }
    ASSERT_TRUE(
        registerInputFile(QString::fromStdString(writeWav(dir, "two.wav", 48000, 2, stereo)))
            .isEmpty());
    std::vector<short> mono(300);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = static_cast<short>(3000 - static_cast<int>(i) * 7);
    ASSERT_TRUE(registerInputFile(QString::fromStdString(writeWav(dir, "one.wav", 48000, 1, mono)))
                    .isEmpty());

    const auto down = record("Sound file: two.wav", 600);
    for (std::size_t i = 0; i < 600; ++i) {
        const double mean = (stereo[2 * i] + stereo[2 * i + 1]) / 2.0;
        ASSERT_EQ(down[i], static_cast<short>(std::nearbyint(mean))) << i;
    }
    const auto up = record("Sound file: one.wav", 600, true);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(up[2 * i], mono[i]) << i;
        ASSERT_EQ(up[2 * i + 1], mono[i]) << i;
    }
}

TEST_F(SoundFileTest, AFileAtAnotherRateIsRefusedWhenTheCaptureOpens)
{
    ASSERT_TRUE(registerInputFile(QString::fromStdString(writeWav(dir, "cd.wav", 44100, 1,
                                                                  std::vector<short>(100, 1))))
                    .isEmpty());
    TAudioIn audio;
    audio.SetFrameRate(48000);
    audio.SetWaveDevice(captest::deviceId("Sound file: cd.wav"));
    EXPECT_FALSE(audio.Start());
    EXPECT_TRUE(audio.ErrorMessage.startsWith("The input device cannot record in this format: "));
    EXPECT_TRUE(audio.ErrorMessage.contains("has 44100 Hz, the input records at 48000 Hz"))
        << audio.ErrorMessage.toStdString();
}

} // namespace
