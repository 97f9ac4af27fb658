#pragma once
// One open input of the wave-input service: the queue of caller buffers that
// the device thread fills strictly in order, and the hand-over of finished
// buffers to the callback object on the UI thread.
//
// Threads: the public methods other than the FrameSink ones run on the thread
// that opened the stream (the UI thread). The FrameSink methods run on the
// device's thread; they lock a mutex briefly, copy, and wake the UI thread
// through a pipe; they allocate nothing and call no Qt.

#include "input_device.h"
#include "wake_pipe.h"
#include "wavein_types.h"

#include <QPointer>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

class QObject;

namespace capture {

struct WaveInStream final : public FrameSink {
public:
    // callback may be null: then nothing is posted and callers watch WHDR_DONE.
    WaveInStream(QObject* callback, const WAVEFORMATEX& format);
    ~WaveInStream() override;
    WaveInStream(const WaveInStream&) = delete;
    WaveInStream& operator=(const WaveInStream&) = delete;

    // Opens the device for buffers of blockFrames frames (0: unknown); posts
    // MM_WIM_OPEN on success.
    MMRESULT open(InputDevice& device, DWORD blockFrames, std::string& detail);
    MMRESULT addBuffer(WAVEHDR* header, std::string& detail);
    MMRESULT start(std::string& detail);
    // Stops the device and returns every queued buffer, in queue order.
    void reset();
    // Refuses while buffers are queued; otherwise releases the device and
    // posts MM_WIM_CLOSE. The stream may be destroyed afterwards.
    MMRESULT close();
    bool isQueued(const WAVEHDR* header);
    WaveInStatistics statistics() const;

    void deliver(const std::uint8_t* bytes, std::size_t count) noexcept override;
    void noteOverflow() noexcept override;
    void noteRepairedSamples(std::size_t count) noexcept override;
    void fail(const char* reason) noexcept override;
    bool waitForRoom(std::size_t bytes, std::chrono::milliseconds timeout) noexcept override;

private:
    // Buffers queued at once; the component uses at most four.
    static constexpr std::size_t kMaxQueued = 64;

    void handOver();
    void stopDevice();
    void post(UINT message, WAVEHDR* header, const QString& text = {});

    const WAVEFORMATEX format_;
    QPointer<QObject> callback_;
    bool running_ = false;
    bool faultReported_ = false;
    QString faultMessage_;

    mutable std::mutex mutex_;     // the ring and the fault, shared with the device thread
    std::condition_variable room_; // a buffer was queued: an unpaced device may go on
    std::array<WAVEHDR*, kMaxQueued> ring_{};
    std::size_t head_ = 0;     // oldest queued buffer
    std::size_t count_ = 0;    // buffers in the ring, finished ones included
    std::size_t finished_ = 0; // full buffers at the head, not yet handed over
    bool faulted_ = false;
    std::array<char, 256> faultText_{};
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<std::uint64_t> overflows_{0};
    std::atomic<std::uint64_t> delivered_{0};
    std::atomic<std::uint64_t> repaired_{0};

    WakePipe wake_;
    // Last, so it is destroyed (and the device stopped) before the rest.
    std::unique_ptr<OpenInput> input_;
};

} // namespace capture
