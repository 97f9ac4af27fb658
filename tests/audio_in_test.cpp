// The audio input component against the real wave-input service, recording
// from paced virtual devices (small blocks keep the runs short).

#include "capture/audio_in.h"
#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>
#include <stdexcept>
#include <vector>

using namespace capture;
using captest::countingSample;
using captest::waitUntil;

namespace {

// 2048 samples of 16-bit mono at 48000 Hz: a block every 43 ms, and with
// three buffers 128 ms of slack for a busy test machine.
constexpr int kBlockBytes = 4096;
constexpr int kBlockSamples = kBlockBytes / 2;

class AudioInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearVirtualDevices();
        captest::registerCounting("counting");
        audio.SetBufferSize(kBlockBytes);
        audio.SetNumBuffers(3);
        audio.SetFrameRate(48000);
        audio.SetWaveDevice(captest::deviceId("counting"));
        audio.SetOnStart([this](QObject* sender) {
            ++starts;
            startSender = sender;
        });
        audio.SetOnStop([this](QObject*) {
            ++stops;
            failedAtStop = audio.deviceFailed();
        });
        audio.SetOnBufferFilled([this](std::uint8_t* buffer, int& size) {
            const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
            samples.insert(samples.end(), s, s + size / 2);
            ++blocks;
            return true;
        });
    }
    void TearDown() override
    {
        audio.StopAtOnce();
        waitUntil([this] { return !audio.Active && stops == starts; }, 2000);
        clearVirtualDevices();
    }

    // Index of the first sample that breaks the counting sequence from start.
    static std::size_t firstMismatch(const std::vector<std::int16_t>& s, std::int64_t start = 0)
    {
        for (std::size_t i = 0; i < s.size(); ++i)
            if (s[i] != countingSample(start + static_cast<std::int64_t>(i)))
                return i;
        return s.size();
    }

    TAudioIn* audioPtr = &audio;
    TAudioIn audio;
    std::vector<std::int16_t> samples;
    int blocks = 0;
    int starts = 0;
    int stops = 0;
    bool failedAtStop = false;
    QObject* startSender = nullptr;
};

TEST_F(AudioInTest, ConstructorValuesAndClamps)
{
    TAudioIn fresh;
    EXPECT_EQ(fresh.BufferSize(), 8192);
    EXPECT_EQ(fresh.NumBuffers(), 4);
    EXPECT_EQ(fresh.GetFrameRate(), 22050u);
    EXPECT_FALSE(fresh.GetStereo());
    EXPECT_EQ(fresh.Quantization(), 16);
    EXPECT_EQ(fresh.WaveDevice(), WAVE_MAPPER);
    EXPECT_FALSE(fresh.Active);
    EXPECT_TRUE(fresh.ErrorMessage.isEmpty());

    struct SizeCase {
        int request;
        bool stereo;
        int bits;
        int expected;
    };
    for (const SizeCase& c : {SizeCase{100, false, 16, 512}, SizeCase{513, false, 16, 512},
                              SizeCase{16385, false, 16, 16384}, SizeCase{16384, false, 16, 16384},
                              SizeCase{1027, true, 16, 1024}, SizeCase{1027, false, 8, 1027},
                              SizeCase{1027, true, 8, 1026}}) {
        TAudioIn a;
        a.SetStereo(c.stereo);
        a.SetBits(c.bits);
        a.SetBufferSize(c.request);
        EXPECT_EQ(a.BufferSize(), c.expected) << c.request;
        // Copies: the packed record's fields may not be bound to references.
        const int blockAlign = a.WaveFormat().nBlockAlign;
        const DWORD bytesPerSecond = a.WaveFormat().nAvgBytesPerSec;
        EXPECT_EQ(blockAlign, (c.bits / 8) * (c.stereo ? 2 : 1));
        EXPECT_EQ(bytesPerSecond, blockAlign * 22050u);
    }
    for (const auto& [value, expected] : {std::pair{1, 2}, {5, 4}, {3, 3}, {-7, 2}}) {
        fresh.SetNumBuffers(value);
        EXPECT_EQ(fresh.NumBuffers(), expected) << value;
    }
    for (const auto& [value, expected] : {std::pair{12, 16}, {4, 8}, {8, 8}, {16, 16}, {24, 16}}) {
        fresh.SetBits(value);
        EXPECT_EQ(fresh.Quantization(), expected) << value;
    }
}

TEST_F(AudioInTest, BlocksArriveInRecordingOrderWithTheirContent)
{
    ASSERT_TRUE(audio.Start(audioPtr)) << audio.ErrorMessage.toStdString();
    EXPECT_TRUE(audio.Active);
    EXPECT_EQ(audio.QueuedBuffers, 3);
    ASSERT_TRUE(waitUntil([this] { return blocks >= 20; }));
    EXPECT_EQ(starts, 1);
    EXPECT_NE(startSender, nullptr);
    EXPECT_NE(startSender, &audio);
    EXPECT_EQ(firstMismatch(samples), samples.size());
    EXPECT_EQ(samples.size(), static_cast<std::size_t>(blocks) * kBlockBytes / 2);
    EXPECT_EQ(audio.FilledBuffers, blocks);
    EXPECT_EQ(audio.ProcessedBuffers, blocks);
    EXPECT_EQ(audio.QueuedBuffers, 3);
    EXPECT_EQ(audio.droppedFrames(), 0u);
}

TEST_F(AudioInTest, StopAtOnceEndsWithoutFurtherBlocks)
{
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 5; }));
    const int processed = audio.ProcessedBuffers;
    const int queued = audio.QueuedBuffers;
    audio.StopAtOnce();
    const int blocksAtStop = blocks;
    EXPECT_FALSE(audio.Active);
    ASSERT_TRUE(waitUntil([this] { return stops == 1; }));
    captest::spin(50);
    EXPECT_EQ(blocks, blocksAtStop);
    EXPECT_EQ(audio.ProcessedBuffers, processed + queued);
    EXPECT_EQ(audio.QueuedBuffers, 0);
    EXPECT_FALSE(audio.deviceFailed());
}

TEST_F(AudioInTest, StopGracefullyDrainsTheQueuedBuffersUnprocessed)
{
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 5; }));
    const int processed = audio.ProcessedBuffers;
    const int queued = audio.QueuedBuffers;
    audio.StopGracefully();
    const int blocksAtStop = blocks;
    EXPECT_TRUE(audio.Active);
    ASSERT_TRUE(waitUntil([this] { return stops == 1; }));
    EXPECT_FALSE(audio.Active);
    EXPECT_EQ(blocks, blocksAtStop);
    EXPECT_EQ(audio.ProcessedBuffers, processed + queued);
    EXPECT_EQ(audio.FilledBuffers, blocksAtStop);
    EXPECT_EQ(audio.QueuedBuffers, 0);
    // A second stop of a closed device changes nothing.
    audio.StopGracefully();
    audio.StopAtOnce();
    captest::spin(20);
    EXPECT_EQ(stops, 1);
}

TEST_F(AudioInTest, StartWhileOpenFailsAndChangesNothing)
{
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 3; }));
    const int processed = audio.ProcessedBuffers;
    EXPECT_FALSE(audio.Start());
    EXPECT_EQ(audio.ErrorMessage, "Wave Input device is already open");
    EXPECT_TRUE(audio.Active);
    EXPECT_GE(audio.ProcessedBuffers, processed);
    EXPECT_EQ(audio.QueuedBuffers, 3);
    const int before = blocks;
    ASSERT_TRUE(waitUntil([&] { return blocks >= before + 3; }));
    EXPECT_EQ(firstMismatch(samples), samples.size());
}

TEST_F(AudioInTest, RejectedDevicesReportTheServiceTextAndRaiseNoStart)
{
    struct Case {
        std::function<void()> configure;
        const char* text;
    };
    const Case cases[] = {
        {[this] { audio.SetWaveDevice(9999); },
         "There is no input device with this identifier: device 9999 requested"},
        {[this] {
             clearVirtualDevices();
             registerTestSignal("sine:30000");
             audio.SetWaveDevice(captest::deviceId("Test signal: sine:30000"));
         },
         "The input device cannot record in this format: test signal frequency 30000 Hz is not "
         "below half the sample rate (16-bit, 1 channel, 48000 Hz)"},
        {[this] {
             captest::registerCounting("refuses", -1, false);
             audio.SetWaveDevice(captest::deviceId("refuses"));
         },
         "Error starting wave record: The audio device reported an error: test device unplugged"},
    };
    for (const Case& c : cases) {
        c.configure();
        EXPECT_FALSE(audio.Start());
        EXPECT_EQ(audio.ErrorMessage.toStdString().substr(0, std::strlen(c.text)), c.text);
        EXPECT_FALSE(audio.Active);
    }
    captest::spin(50);
    // Only the device that opened and then refused to start reports open and close.
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(blocks, 0);
}

TEST_F(AudioInTest, CountersRestartWithEveryStart)
{
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 6; }));
    audio.StopAtOnce();
    ASSERT_TRUE(waitUntil([this] { return stops == 1; }));
    EXPECT_GT(audio.ProcessedBuffers, 6);
    ASSERT_TRUE(audio.Start());
    EXPECT_EQ(audio.FilledBuffers, 0);
    EXPECT_EQ(audio.ProcessedBuffers, 0);
    EXPECT_EQ(audio.QueuedBuffers, 3);
    samples.clear();
    blocks = 0;
    ASSERT_TRUE(waitUntil([this] { return blocks >= 4; }));
    EXPECT_EQ(starts, 2);
    // Every run records the device from its beginning.
    EXPECT_EQ(firstMismatch(samples), samples.size());
    EXPECT_EQ(audio.FilledBuffers, blocks);
}

TEST_F(AudioInTest, HandlerErrorsAreContainedAndTheRingKeepsItsBuffers)
{
    std::vector<int> accepted;
    audio.SetOnBufferFilled([&](std::uint8_t* buffer, int& size) -> bool {
        ++blocks;
        if (blocks % 4 == 2)
            throw std::runtime_error("scale divides by zero");
        if (blocks == 3)
            throw 42;
        const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
        samples.insert(samples.end(), s, s + size / 2);
        accepted.push_back(blocks);
        return true;
    });
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 12; }));
    EXPECT_TRUE(audio.Active);
    EXPECT_EQ(audio.QueuedBuffers, 3);
    EXPECT_EQ(audio.handlerErrors(), blocks - static_cast<int>(accepted.size()));
    EXPECT_GE(audio.handlerErrors(), 4);
    EXPECT_EQ(audio.lastHandlerError(), "scale divides by zero");
    EXPECT_EQ(audio.FilledBuffers, static_cast<int>(accepted.size()));
    // A failed block costs only itself: every accepted block k holds the k-th
    // stretch of the recording.
    for (std::size_t i = 0; i < accepted.size(); ++i) {
        const std::vector<std::int16_t> block(
            samples.begin() + static_cast<long>(i) * kBlockSamples,
            samples.begin() + static_cast<long>(i + 1) * kBlockSamples);
        EXPECT_EQ(firstMismatch(block, (accepted[i] - 1) * kBlockSamples), block.size())
            << accepted[i];
    }
}

TEST_F(AudioInTest, RefusedBlocksLeaveTheRingAndTheRestStayInOrder)
{
    std::vector<std::int64_t> blockStarts;
    audio.SetOnBufferFilled([&](std::uint8_t* buffer, int&) {
        ++blocks;
        const auto* s = reinterpret_cast<const std::int16_t*>(buffer);
        // Locate the block in the counting sequence by its first sample.
        for (std::int64_t n = 0; n < 100000; ++n)
            if (countingSample(n) == s[0] && countingSample(n + 1) == s[1]) {
                blockStarts.push_back(n);
                break;
            }
        return blocks != 2;
    });
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return blocks >= 10; }));
    EXPECT_EQ(audio.QueuedBuffers, 2);
    ASSERT_EQ(blockStarts.size(), static_cast<std::size_t>(blocks));
    for (std::size_t i = 0; i < blockStarts.size(); ++i)
        EXPECT_EQ(blockStarts[i], static_cast<std::int64_t>(i) * kBlockSamples) << i;

    // When every buffer is refused, the queue runs dry and the device closes.
    audio.SetOnBufferFilled([](std::uint8_t*, int&) { return false; });
    ASSERT_TRUE(waitUntil([this] { return stops == 1; }));
    EXPECT_FALSE(audio.Active);
    EXPECT_EQ(audio.QueuedBuffers, 0);
}

TEST_F(AudioInTest, AFailingDeviceEndsTheCaptureAndALaterStartWorks)
{
    // Fails after about 8 blocks.
    captest::registerCounting("flaky", 8 * kBlockSamples + 100);
    audio.SetWaveDevice(captest::deviceId("flaky"));
    ASSERT_TRUE(audio.Start());
    ASSERT_TRUE(waitUntil([this] { return stops == 1; }));
    EXPECT_TRUE(failedAtStop);
    EXPECT_TRUE(audio.deviceFailed());
    EXPECT_EQ(audio.ErrorMessage, "test device unplugged");
    EXPECT_FALSE(audio.Active);
    EXPECT_EQ(audio.QueuedBuffers, 0);
    EXPECT_EQ(blocks, 8);
    EXPECT_EQ(firstMismatch(samples), samples.size());

    audio.SetWaveDevice(captest::deviceId("counting"));
    ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    EXPECT_FALSE(audio.deviceFailed());
    const int before = blocks;
    ASSERT_TRUE(waitUntil([&] { return blocks >= before + 3; }));
    EXPECT_EQ(starts, 2);
}

TEST_F(AudioInTest, AllocationFailureIsReportedAndStartRefused)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer maps its shadow memory as it goes, which an address-space limit would break;
    // its allocator refuses the 2 GiB buffers itself (max_allocation_size_mb in scripts/test).
    audio.SetBufferSize(0x7FFFFFFE);
#else
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 4ull << 30; // far below 3 buffers of 2 GiB, far above what the test uses
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    audio.SetBufferSize(0x7FFFFFFE);
    setrlimit(RLIMIT_AS, &old);
#endif
    EXPECT_EQ(audio.ErrorMessage, "Error allocating wave buffer memory");
    audio.ErrorMessage.clear();
    EXPECT_FALSE(audio.Start());
    EXPECT_EQ(audio.ErrorMessage, "Error allocating wave buffer memory");
    captest::spin(20);
    EXPECT_EQ(starts, 0);

    audio.SetBufferSize(kBlockBytes);
    ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
    ASSERT_TRUE(waitUntil([this] { return blocks >= 2; }));
}

TEST_F(AudioInTest, BufferSizeCannotChangeWhileRecording)
{
    ASSERT_TRUE(audio.Start());
    audio.SetBufferSize(4096);
    EXPECT_EQ(audio.BufferSize(), kBlockBytes);
    EXPECT_EQ(audio.ErrorMessage, "The buffer size cannot change while recording");
    ASSERT_TRUE(waitUntil([this] { return blocks >= 3; }));
    EXPECT_EQ(firstMismatch(samples), samples.size());
}

TEST_F(AudioInTest, DestroyingARunningComponentStopsTheDevice)
{
    auto doomed = std::make_unique<TAudioIn>();
    doomed->SetBufferSize(kBlockBytes);
    doomed->SetFrameRate(48000);
    doomed->SetWaveDevice(captest::deviceId("counting"));
    int calls = 0;
    doomed->SetOnBufferFilled([&](std::uint8_t*, int&) { return ++calls, true; });
    ASSERT_TRUE(doomed->Start());
    ASSERT_TRUE(waitUntil([&] { return calls >= 2; }));
    doomed.reset();
    const int after = calls;
    captest::spin(50);
    EXPECT_EQ(calls, after);

    // Also from inside its own block handler and its own stop event.
    for (const bool inStop : {false, true}) {
        doomed = std::make_unique<TAudioIn>();
        doomed->SetBufferSize(kBlockBytes);
        doomed->SetFrameRate(48000);
        doomed->SetWaveDevice(captest::deviceId("counting"));
        calls = 0;
        doomed->SetOnBufferFilled([&](std::uint8_t*, int&) {
            if (++calls == 3 && !inStop)
                doomed.reset();
            else if (calls == 3)
                doomed->StopAtOnce();
            return true;
        });
        doomed->SetOnStop([&](QObject*) { doomed.reset(); });
        ASSERT_TRUE(doomed->Start());
        ASSERT_TRUE(waitUntil([&] { return !doomed; })) << inStop;
        captest::spin(30);
        EXPECT_EQ(calls, 3) << inStop;
    }
}

} // namespace
