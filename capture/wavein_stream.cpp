#include "wavein_stream.h"

#include "wavein_event.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace capture {

WaveInStream::WaveInStream(QObject* callback, const WAVEFORMATEX& format)
    : format_(format), callback_(callback)
{
}

WaveInStream::~WaveInStream()
{
    input_.reset();
    wake_.close();
}

MMRESULT WaveInStream::open(InputDevice& device, DWORD blockFrames, std::string& detail)
{
    if (!wake_.open([this] { handOver(); }, detail))
        return MMSYSERR_NOMEM;

    const MMRESULT result = device.open(format_, blockFrames, *this, input_, detail);
    if (result != MMSYSERR_NOERROR)
        return result;
    post(MM_WIM_OPEN, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInStream::addBuffer(WAVEHDR* header, std::string& detail)
{
    if (!header || !header->lpData || header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    std::lock_guard lock(mutex_);
    if (faulted_) {
        detail = faultText_.data();
        return MMSYSERR_NODRIVER;
    }
    if (count_ == kMaxQueued) {
        detail = "too many buffers queued";
        return MMSYSERR_NOMEM;
    }
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
    ring_[(head_ + count_) % kMaxQueued] = header;
    ++count_;
    room_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInStream::start(std::string& detail)
{
    {
        std::lock_guard lock(mutex_);
        if (faulted_) {
            detail = faultText_.data();
            return MMSYSERR_NODRIVER;
        }
    }
    if (running_)
        return MMSYSERR_NOERROR;
    const MMRESULT result = input_->start(detail);
    running_ = result == MMSYSERR_NOERROR;
    return result;
}

void WaveInStream::reset()
{
    stopDevice();
    {
        std::lock_guard lock(mutex_);
        finished_ = count_;
    }
    handOver();
}

MMRESULT WaveInStream::close()
{
    {
        std::lock_guard lock(mutex_);
        if (count_ > 0)
            return WAVERR_STILLPLAYING;
    }
    stopDevice();
    input_.reset();
    wake_.close();
    post(MM_WIM_CLOSE, nullptr);
    return MMSYSERR_NOERROR;
}

bool WaveInStream::isQueued(const WAVEHDR* header)
{
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i)
        if (ring_[(head_ + i) % kMaxQueued] == header)
            return true;
    return false;
}

WaveInStatistics WaveInStream::statistics() const
{
    return {dropped_.load(std::memory_order_acquire), overflows_.load(std::memory_order_acquire),
            delivered_.load(std::memory_order_acquire), repaired_.load(std::memory_order_acquire)};
}

void WaveInStream::deliver(const std::uint8_t* bytes, std::size_t count) noexcept
{
    delivered_.fetch_add(count / format_.nBlockAlign, std::memory_order_release);
    bool completed = false;
    {
        std::lock_guard lock(mutex_);
        if (faulted_)
            return;
        std::size_t offset = 0;
        while (offset < count) {
            if (finished_ == count_) {
                dropped_.fetch_add((count - offset) / format_.nBlockAlign,
                                   std::memory_order_release);
                break;
            }
            WAVEHDR* header = ring_[(head_ + finished_) % kMaxQueued];
            const std::size_t room = header->dwBufferLength - header->dwBytesRecorded;
            const std::size_t n = std::min(room, count - offset);
            std::memcpy(header->lpData + header->dwBytesRecorded, bytes + offset, n);
            header->dwBytesRecorded += static_cast<DWORD>(n);
            offset += n;
            if (header->dwBytesRecorded == header->dwBufferLength) {
                ++finished_;
                completed = true;
            }
        }
    }
    if (completed)
        wake_.wake();
}

bool WaveInStream::waitForRoom(std::size_t bytes, std::chrono::milliseconds timeout) noexcept
{
    std::unique_lock lock(mutex_);
    return room_.wait_for(lock, timeout, [&] {
        if (faulted_)
            return false;
        std::size_t room = 0;
        for (std::size_t i = finished_; i < count_ && room < bytes; ++i) {
            const WAVEHDR* header = ring_[(head_ + i) % kMaxQueued];
            room += header->dwBufferLength - header->dwBytesRecorded;
        }
        return room >= bytes;
    });
}

void WaveInStream::noteOverflow() noexcept
{
    overflows_.fetch_add(1, std::memory_order_release);
}

void WaveInStream::noteRepairedSamples(std::size_t count) noexcept
{
    repaired_.fetch_add(count, std::memory_order_release);
}

void WaveInStream::fail(const char* reason) noexcept
{
    {
        std::lock_guard lock(mutex_);
        if (faulted_)
            return;
        faulted_ = true;
        std::strncpy(faultText_.data(), reason ? reason : "", faultText_.size() - 1);
        faultText_.back() = '\0';
    }
    wake_.wake();
}

// Posts every finished buffer in queue order; after a fault, also the fault
// and then every buffer still queued, so the caller gets its ring back.
void WaveInStream::handOver()
{
    wake_.drain();
    std::array<WAVEHDR*, kMaxQueued> done;
    std::size_t n = 0;
    bool newFault = false;
    {
        std::lock_guard lock(mutex_);
        n = finished_;
        for (std::size_t i = 0; i < n; ++i)
            done[i] = ring_[(head_ + i) % kMaxQueued];
        head_ = (head_ + n) % kMaxQueued;
        count_ -= n;
        finished_ = 0;
        if (faulted_ && !faultReported_) {
            faultReported_ = true;
            newFault = true;
            faultMessage_ = QString::fromUtf8(faultText_.data());
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        done[i]->dwFlags = (done[i]->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        post(MM_WIM_DATA, done[i]);
    }
    if (newFault) {
        post(MM_WIM_FAULT, nullptr, faultMessage_);
        reset();
    }
}

void WaveInStream::stopDevice()
{
    if (running_ && input_)
        input_->stop();
    running_ = false;
}

void WaveInStream::post(UINT message, WAVEHDR* header, const QString& text)
{
    if (callback_)
        QCoreApplication::postEvent(callback_.data(),
                                    new WaveInEvent(message, this, header, text)); // Qt owns it
}

} // namespace capture
