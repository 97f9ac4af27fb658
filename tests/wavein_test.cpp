// The wave-input service at its calls, recording from paced virtual devices.

#include "capture/wavein.h"
#include "capture/wavein_event.h"
#include "capture_test_support.h"

#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

using namespace capture;
using captest::countingSample;
using captest::waitUntil;

namespace {

// Records the notifications it receives, and on which thread.
class Recorder : public QObject {
public:
    struct Note {
        UINT message;
        WAVEHDR* header;
        DWORD bytes;
        QString text;
    };
    std::vector<Note> notes;
    bool offThread = false;

    int count(UINT message) const
    {
        int n = 0;
        for (const Note& note : notes)
            n += note.message == message;
        return n;
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != WaveInEvent::eventType())
            return QObject::event(e);
        const auto* w = static_cast<WaveInEvent*>(e);
        offThread |= QThread::currentThread() != thread();
        notes.push_back(
            {w->message, w->header, w->header ? w->header->dwBytesRecorded : 0, w->text});
        return true;
    }
};

WAVEFORMATEX pcm(WORD channels, WORD bits, DWORD rate)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.wBitsPerSample = bits;
    f.nSamplesPerSec = rate;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
}

std::string errorText(MMRESULT code)
{
    char text[512];
    waveInGetErrorText(code, text, sizeof text);
    return text;
}

class WaveInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearVirtualDevices();
        captest::registerCounting("counting", -1, true, &rendered);
        id = captest::deviceId("counting");
        for (auto& b : storage)
            b.assign(2000, 0);
        for (std::size_t i = 0; i < headers.size(); ++i) {
            headers[i] = WAVEHDR{};
            headers[i].lpData = storage[i].data();
            headers[i].dwBufferLength = static_cast<DWORD>(storage[i].size());
        }
    }
    void TearDown() override { clearVirtualDevices(); }

    MMRESULT openCounting(const WAVEFORMATEX& format)
    {
        return waveInOpen(&handle, id, &format, &recorder, 0, CALLBACK_WINDOW);
    }

    UINT id = 0;
    HWAVEIN handle = nullptr;
    std::atomic<std::int64_t> rendered{0}; // frames the counting device has produced
    Recorder recorder;
    std::array<std::vector<char>, 4> storage;
    std::array<WAVEHDR, 4> headers{};
};

TEST_F(WaveInTest, VirtualDevicesFollowTheRealOnesWithTheirFullNames)
{
    const std::string longName =
        "A virtual input whose name is far longer than thirty-two characters";
    captest::registerCounting(QString::fromStdString(longName));
    const UINT n = waveInGetNumDevs();
    ASSERT_GE(n, 2u);
    WAVEINCAPS caps;
    ASSERT_EQ(waveInGetDevCaps(n - 2, &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.szPname, "counting");
    ASSERT_EQ(waveInGetDevCaps(n - 1, &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.szPname, longName);
    EXPECT_EQ(caps.wChannels, 2);
    EXPECT_EQ(waveInGetDevCaps(n, &caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(errorText(MMSYSERR_BADDEVICEID),
              "There is no input device with this identifier: device " + std::to_string(n) +
                  " requested, " + std::to_string(n) + " present");
}

TEST_F(WaveInTest, BuffersAreFilledCompletelyInQueueOrderAndPostedOnTheUiThread)
{
    ASSERT_EQ(openCounting(pcm(1, 16, 48000)), MMSYSERR_NOERROR);
    for (auto& h : headers) {
        ASSERT_EQ(waveInPrepareHeader(handle, &h, sizeof h), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(handle, &h, sizeof h), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    // Re-queue each buffer as it comes back, and keep what it held.
    std::vector<std::int16_t> recorded;
    std::size_t seen = 1; // the open notification
    ASSERT_TRUE(waitUntil([&] {
        for (; seen < recorder.notes.size(); ++seen) {
            const Recorder::Note note = recorder.notes[seen];
            if (note.message != MM_WIM_DATA)
                continue;
            EXPECT_EQ(note.bytes, 2000u);
            EXPECT_TRUE(note.header->dwFlags & WHDR_DONE);
            EXPECT_FALSE(note.header->dwFlags & WHDR_INQUEUE);
            const auto* s = reinterpret_cast<const std::int16_t*>(note.header->lpData);
            recorded.insert(recorded.end(), s, s + 1000);
            waveInAddBuffer(handle, note.header, sizeof(WAVEHDR));
        }
        return recorded.size() >= 20 * 1000;
    }));
    ASSERT_EQ(recorder.notes.front().message, MM_WIM_OPEN);
    // The buffers come back in the order they were queued.
    for (std::size_t i = 1; i <= 8; ++i)
        EXPECT_EQ(recorder.notes[i].header, &headers[(i - 1) % 4]) << i;
    for (std::size_t i = 0; i < recorded.size(); ++i)
        ASSERT_EQ(recorded[i], countingSample(static_cast<std::int64_t>(i))) << i;

    // A queued buffer cannot be unprepared, and the device cannot close over it.
    EXPECT_EQ(waveInUnprepareHeader(handle, recorder.notes.back().header, sizeof(WAVEHDR)),
              WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(handle), WAVERR_STILLPLAYING);
    EXPECT_EQ(errorText(WAVERR_STILLPLAYING), "Buffers are still queued on the input device");

    // Reset hands every queued buffer back at once, in order, then close works.
    const std::size_t before = recorder.notes.size();
    ASSERT_EQ(waveInReset(handle), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([&] { return recorder.notes.size() >= before + 4; }));
    EXPECT_EQ(recorder.count(MM_WIM_CLOSE), 0);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([&] { return recorder.count(MM_WIM_CLOSE) == 1; }));
    EXPECT_EQ(recorder.notes.back().message, MM_WIM_CLOSE);
    EXPECT_FALSE(recorder.offThread);
    EXPECT_EQ(waveInStart(handle), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveInTest, FramesWithNoQueuedBufferAreDroppedAndCounted)
{
    ASSERT_EQ(openCounting(pcm(1, 16, 48000)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    // At least 50 ms recorded with no buffer queued, however busy the machine is.
    ASSERT_TRUE(waitUntil([&] {
        WaveInStatistics early{};
        waveInGetStatistics(handle, &early);
        return early.droppedFrames >= 48000 * 50 / 1000;
    }));
    ASSERT_EQ(waveInPrepareHeader(handle, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(handle, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([&] { return recorder.count(MM_WIM_DATA) == 1; }));
    WaveInStatistics stats{};
    ASSERT_EQ(waveInGetStatistics(handle, &stats), MMSYSERR_NOERROR);
    // The buffer holds the frames that followed the dropped ones, and those
    // after it are dropped again.
    const auto* s = reinterpret_cast<const std::int16_t*>(headers[0].lpData);
    std::int64_t start = 0;
    while (start < 48000 && countingSample(start) != s[0])
        ++start;
    EXPECT_GE(start, 48000 * 50 / 1000);
    EXPECT_GE(static_cast<std::int64_t>(stats.droppedFrames), start);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(s[i], countingSample(start + i)) << i;
    waveInReset(handle);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
}

TEST_F(WaveInTest, ResetReturnsPartlyFilledBuffersWithWhatTheyHold)
{
    headers[0].dwBufferLength = 48000; // far more than the 5 ms the test waits for
    storage[0].assign(48000, 0);
    headers[0].lpData = storage[0].data();
    ASSERT_EQ(openCounting(pcm(1, 8, 48000)), MMSYSERR_NOERROR);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(waveInPrepareHeader(handle, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(handle, &headers[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    // A second chunk rendered means the first is in the buffer, however busy the machine is.
    ASSERT_TRUE(waitUntil([&] { return rendered.load(std::memory_order_acquire) >= 480; }));
    ASSERT_EQ(waveInReset(handle), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([&] { return recorder.count(MM_WIM_DATA) == 2; }));
    EXPECT_GT(headers[0].dwBytesRecorded, 0u);
    EXPECT_LT(headers[0].dwBytesRecorded, 48000u);
    EXPECT_EQ(headers[1].dwBytesRecorded, 0u);
    // 8-bit samples are unsigned: the 16-bit value's high byte, offset by 128.
    const auto* s = reinterpret_cast<const std::uint8_t*>(headers[0].lpData);
    for (int i = 0; i < 20; ++i) {
        const int v = countingSample(i);
        const int expected = std::clamp(static_cast<int>(std::nearbyint(v / 256.0)) + 128, 0, 255);
        EXPECT_EQ(s[i], expected) << i;
    }
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
}

TEST_F(WaveInTest, InvalidCallsAreRefusedWithTheirCodes)
{
    WAVEFORMATEX format = pcm(1, 16, 48000);
    struct Case {
        WAVEFORMATEX format;
        UINT device;
        DWORD flags;
        MMRESULT code;
        const char* text;
    };
    const Case cases[] = {
        {pcm(1, 24, 48000), id, CALLBACK_WINDOW, WAVERR_BADFORMAT,
         "The input device cannot record in this format: only 8- or 16-bit PCM with 1 or 2 "
         "channels (24-bit, 1 channel, 48000 Hz)"},
        {pcm(3, 16, 48000), id, CALLBACK_WINDOW, WAVERR_BADFORMAT,
         "The input device cannot record in this format: only 8- or 16-bit PCM with 1 or 2 "
         "channels (16-bit, 3 channels, 48000 Hz)"},
        {pcm(1, 16, 0), id, CALLBACK_WINDOW, WAVERR_BADFORMAT,
         "The input device cannot record in this format: only 8- or 16-bit PCM with 1 or 2 "
         "channels (16-bit, 1 channel, 0 Hz)"},
        {format, id, 0x80, MMSYSERR_INVALFLAG, "Invalid flags for the input device"},
        {format, id + 1, CALLBACK_WINDOW, MMSYSERR_BADDEVICEID,
         "There is no input device with this identifier"},
    };
    for (const Case& c : cases) {
        HWAVEIN h = nullptr;
        EXPECT_EQ(waveInOpen(&h, c.device, &c.format, &recorder, 0, c.flags), c.code);
        EXPECT_EQ(errorText(c.code).substr(0, std::strlen(c.text)), c.text);
        EXPECT_EQ(h, nullptr);
    }
    ASSERT_EQ(openCounting(format), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(handle, &headers[0], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInPrepareHeader(handle, &headers[0], 32), MMSYSERR_INVALPARAM);
    EXPECT_EQ(
        waveInPrepareHeader(reinterpret_cast<HWAVEIN>(&headers[1]), &headers[0], sizeof(WAVEHDR)),
        MMSYSERR_INVALHANDLE);
    ASSERT_EQ(waveInPrepareHeader(handle, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInAddBuffer(handle, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(handle, &headers[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    char small[8];
    EXPECT_EQ(waveInGetErrorText(WAVERR_BADFORMAT, small, sizeof small), MMSYSERR_NOERROR);
    EXPECT_STREQ(small, "The inp");
    EXPECT_EQ(waveInGetErrorText(12345, small, sizeof small), MMSYSERR_BADERRNUM);
    waveInReset(handle);
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
}

TEST_F(WaveInTest, AFailingDeviceReturnsItsBuffersAfterTheFault)
{
    captest::registerCounting("flaky", 4500);
    const WAVEFORMATEX format = pcm(1, 16, 48000);
    ASSERT_EQ(
        waveInOpen(&handle, captest::deviceId("flaky"), &format, &recorder, 0, CALLBACK_WINDOW),
        MMSYSERR_NOERROR);
    for (auto& h : headers) {
        ASSERT_EQ(waveInPrepareHeader(handle, &h, sizeof h), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(handle, &h, sizeof h), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveInStart(handle), MMSYSERR_NOERROR);
    ASSERT_TRUE(waitUntil([&] { return recorder.count(MM_WIM_FAULT) == 1; }));
    // The device fails after 4500 frames, enough for all four buffers of 1000.
    std::vector<UINT> order;
    for (const auto& note : recorder.notes)
        order.push_back(note.message);
    EXPECT_EQ(order, (std::vector<UINT>{MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_DATA, MM_WIM_DATA,
                                        MM_WIM_DATA, MM_WIM_FAULT}));
    EXPECT_EQ(recorder.notes[5].text, "test device unplugged");
    EXPECT_EQ(waveInAddBuffer(handle, &headers[0], sizeof(WAVEHDR)), MMSYSERR_NODRIVER);
    EXPECT_EQ(errorText(MMSYSERR_NODRIVER),
              "The input device is no longer available: test device unplugged");
    EXPECT_EQ(waveInClose(handle), MMSYSERR_NOERROR);
}

} // namespace
