#include "paced_device.h"

#include "format_text.h"
#include "pcm_convert.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace capture {
namespace {

class PacedInput final : public OpenInput {
public:
    PacedInput(std::unique_ptr<SignalSource> source, const WAVEFORMATEX& format, FrameSink& sink,
               int chunkFrames, bool paced)
        : source_(std::move(source)), format_(format), sink_(sink), chunkFrames_(chunkFrames),
          paced_(paced), samples_(static_cast<std::size_t>(chunkFrames) * format.nChannels),
          bytes_(static_cast<std::size_t>(chunkFrames) * format.nBlockAlign)
    {
    }
    ~PacedInput() override { stop(); }

    MMRESULT start(std::string& detail) override
    {
        if (thread_.joinable())
            return MMSYSERR_NOERROR;
        if (!source_->begin()) {
            detail = source_->failureText();
            return MMSYSERR_ERROR;
        }
        stopRequested_ = false;
        thread_ = std::thread([this] { paced_ ? run() : runUnpaced(); });
        return MMSYSERR_NOERROR;
    }

    void stop() override
    {
        {
            std::lock_guard lock(mutex_);
            stopRequested_ = true;
        }
        wakeUp_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    // The schedule is absolute (start + k chunks), so pacing does not drift.
    void run() noexcept
    {
        using namespace std::chrono;
        const auto begin = steady_clock::now();
        const double chunkSeconds = static_cast<double>(chunkFrames_) / format_.nSamplesPerSec;
        for (long long k = 1;; ++k) {
            const auto deadline =
                begin + duration_cast<steady_clock::duration>(duration<double>(k * chunkSeconds));
            {
                std::unique_lock lock(mutex_);
                if (wakeUp_.wait_until(lock, deadline, [this] { return stopRequested_; }))
                    return;
            }
            if (!deliverChunk())
                return;
        }
    }

    // No clock: a chunk whenever the queued buffers can take it whole.
    void runUnpaced() noexcept
    {
        using namespace std::chrono_literals;
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (stopRequested_)
                    return;
            }
            // Short waits, so that a stop is seen soon.
            if (sink_.waitForRoom(bytes_.size(), 10ms) && !deliverChunk())
                return;
        }
    }

    // Renders one chunk and hands it to the sink; false when the source failed.
    bool deliverChunk() noexcept
    {
        if (!source_->render(samples_.data(), chunkFrames_, format_.nChannels)) {
            sink_.fail(source_->failureText());
            return false;
        }
        const std::size_t repaired =
            source_->takeRepairedSamples() +
            (format_.wBitsPerSample == 16
                 ? floatToPcm16(samples_.data(), samples_.size(), bytes_.data())
                 : floatToPcm8(samples_.data(), samples_.size(), bytes_.data()));
        if (repaired > 0)
            sink_.noteRepairedSamples(repaired);
        sink_.deliver(bytes_.data(), bytes_.size());
        return true;
    }

    std::unique_ptr<SignalSource> source_;
    const WAVEFORMATEX format_;
    FrameSink& sink_;
    const int chunkFrames_;
    const bool paced_;
    std::vector<float> samples_;
    std::vector<std::uint8_t> bytes_;
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool stopRequested_ = false;
    std::thread thread_;
};

} // namespace

PacedDevice::PacedDevice(std::string name, SourceFactory factory, bool paced,
                         const WAVEINCAPS& source)
    : name_(std::move(name)), factory_(std::move(factory)), paced_(paced), source_(source)
{
}

void PacedDevice::describeSource(WAVEINCAPS& caps) const
{
    caps.dwSourceRate = source_.dwSourceRate;
    caps.wSourceChannels = source_.wSourceChannels;
    caps.wSourceChannel = source_.wSourceChannel;
}

int PacedDevice::chunkFrames(DWORD rate, DWORD blockFrames)
{
    if (const DWORD period = periodFramesFor(blockFrames, rate); period > 0)
        return static_cast<int>(period);
    return std::max(1, static_cast<int>(rate / 200));
}

MMRESULT PacedDevice::open(const WAVEFORMATEX& format, DWORD blockFrames, FrameSink& sink,
                           std::unique_ptr<OpenInput>& input, std::string& detail)
{
    const int chunk = chunkFrames(format.nSamplesPerSec, blockFrames);
    std::string error;
    std::unique_ptr<SignalSource> source = factory_(format, chunk, error);
    if (!source) {
        detail = error + " (" + describeFormat(format) + ")";
        return WAVERR_BADFORMAT;
    }
    input = std::make_unique<PacedInput>(std::move(source), format, sink, chunk, paced_);
    return MMSYSERR_NOERROR;
}

} // namespace capture
