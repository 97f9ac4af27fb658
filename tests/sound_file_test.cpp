// The virtual sound-file input: what it accepts, and that it records a file
// exactly, looped, mixed to the opened channel count.

#include "capture/audio_in.h"
#include "capture/sound_file_source.h"
#include "capture/virtual_devices.h"
#include "capture/wavein.h"
#include "capture_test_support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <thread>
#include <vector>

#include <sys/stat.h>

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

std::string writeFloatWav(const QTemporaryDir& dir, const char* name, int rate, int channels,
                          const std::vector<float>& interleaved)
{
    const std::string path = dir.filePath(name).toStdString();
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr);
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_FALSE);
    sf_writef_float(file, interleaved.data(),
                    static_cast<sf_count_t>(interleaved.size()) / channels);
    sf_close(file);
    return path;
}

WAVEFORMATEX pcmFormat(DWORD rate, WORD channels)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(2 * channels);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
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
    // A FIFO would block the open for ever; a folder is no file either.
    ASSERT_EQ(::mkfifo(dir.filePath("pipe.wav").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.wav"));
    for (const char* name : {"missing.wav", "notes.txt", "empty.wav", "pipe.wav", "folder.wav"}) {
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
    ASSERT_TRUE(registerInputFile(QString::fromStdString(writeWav(dir, "fast.wav", 48000, 1, file)),
                                  0, false)
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
    // One channel of the file, chosen; one it does not have is refused.
    const QString right = QString::fromStdString(writeWav(dir, "right.wav", 48000, 2, stereo));
    EXPECT_FALSE(registerInputFile(right, 3).isEmpty());
    ASSERT_TRUE(registerInputFile(right, 2).isEmpty());
    const auto second = record("Sound file: right.wav", 600);
    for (std::size_t i = 0; i < 600; ++i)
        ASSERT_EQ(second[i], stereo[2 * i + 1]) << i;

    const auto up = record("Sound file: one.wav", 600, true);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(up[2 * i], mono[i]) << i;
        ASSERT_EQ(up[2 * i + 1], mono[i]) << i;
    }
}

TEST_F(SoundFileTest, AFileAtAnotherRateIsResampledToTheSameSignalAt48kHz)
{
    // One second at 44.1 kHz holds whole periods of both tones, so the loop has no seam.
    constexpr double kA1 = 0.5, kF1 = 1000, kA2 = 0.25, kF2 = 12000;
    const auto tones = [&](double t) {
        return kA1 * std::sin(2 * std::numbers::pi * kF1 * t) +
               kA2 * std::sin(2 * std::numbers::pi * kF2 * t);
    };
    std::vector<float> cd(44100);
    for (std::size_t i = 0; i < cd.size(); ++i)
        cd[i] = static_cast<float>(tones(double(i) / 44100));
    const std::string path = writeFloatWav(dir, "cd.wav", 44100, 1, cd);
    ASSERT_TRUE(registerInputFile(QString::fromStdString(path)).isEmpty());
    WAVEINCAPS caps{};
    ASSERT_EQ(waveInGetDevCaps(captest::deviceId("Sound file: cd.wav"), &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.dwSourceRate, 44100u);
    EXPECT_EQ(caps.wSourceChannels, 1u);

    std::string error;
    const auto source = openSoundFile(path, 0, pcmFormat(48000, 1), 240, error);
    ASSERT_TRUE(source) << error;
    std::vector<float> out(96000);
    for (std::size_t at = 0; at < out.size(); at += 240)
        ASSERT_TRUE(source->render(out.data() + at, 240, 1));

    // The resampler's delay, from the phase of the low tone over one second (whole periods of
    // both tones at 48 kHz), then the same signal generated at 48 kHz with that delay.
    const std::size_t from = 24000, n = 48000;
    double s = 0, c = 0;
    for (std::size_t i = from; i < from + n; ++i) {
        s += out[i] * std::sin(2 * std::numbers::pi * kF1 * double(i) / 48000);
        c += out[i] * std::cos(2 * std::numbers::pi * kF1 * double(i) / 48000);
    }
    const double delay = -std::atan2(c, s) / (2 * std::numbers::pi * kF1);
    double residual = 0;
    for (std::size_t i = from; i < from + n; ++i) {
        const double d = out[i] - tones(double(i) / 48000 - delay);
        residual += d * d;
    }
    EXPECT_LT(std::abs(delay), 0.001) << "seconds";
    EXPECT_LT(std::sqrt(residual / n), 1e-4) << "RMS difference to the tones generated at 48 kHz";
}

TEST_F(SoundFileTest, SamplesThatAreNoNumbersAreClampedAndCounted)
{
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> file = {0.5f, std::nanf(""), inf, -inf, -0.25f};
    const std::string path = writeFloatWav(dir, "bad.wav", 48000, 1, file);
    std::string error;
    const auto source = openSoundFile(path, 0, pcmFormat(48000, 1), 5, error);
    ASSERT_TRUE(source) << error;
    std::vector<float> out(5);
    ASSERT_TRUE(source->render(out.data(), 5, 1));
    EXPECT_EQ(out, (std::vector<float>{0.5f, 0.0f, 1.0f, -1.0f, -0.25f}));
    EXPECT_EQ(source->takeRepairedSamples(), 3u);
    EXPECT_EQ(source->takeRepairedSamples(), 0u);
}

} // namespace
