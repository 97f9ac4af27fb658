// Measures, on a paced virtual device, the time from a capture buffer becoming
// full to the block handler being called on the UI thread, and the blocks lost.
//   capture_latency_probe [BLOCKS [BLOCK_BYTES]]   (defaults 300 and 4096)
// The source stamps each chunk as it renders it; a block is full when the
// chunk holding its last frame is delivered.

#include "capture/audio_in.h"
#include "capture/paced_device.h"
#include "capture/virtual_devices.h"
#include "capture/wavein.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class StampingSource final : public capture::SignalSource {
public:
    explicit StampingSource(std::vector<Clock::time_point>& stamps) : stamps_(stamps) {}
    bool render(float* out, int frames, int channels) noexcept override
    {
        if (next_ < stamps_.size())
            stamps_[next_++] = Clock::now();
        std::fill(out, out + frames * channels, 0.25f);
        return true;
    }

private:
    std::vector<Clock::time_point>& stamps_;
    std::size_t next_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 300;
    const int blockBytes = argc > 2 ? std::atoi(argv[2]) : 4096;
    const int blockFrames = blockBytes / 2;
    const int chunk =
        capture::PacedDevice::chunkFrames(48000, static_cast<capture::DWORD>(blockFrames));

    // Written by the device thread, read after it has been joined.
    std::vector<Clock::time_point> stamps(static_cast<std::size_t>(blocks + 8) *
                                              static_cast<std::size_t>(blockFrames) /
                                              static_cast<std::size_t>(chunk) +
                                          16);
    capture::registerVirtualDevice("stamping",
                                   [&](const capture::WAVEFORMATEX&, int, std::string&) {
                                       return std::make_unique<StampingSource>(stamps);
                                   });
    capture::UINT id = capture::waveInGetNumDevs() - 1;

    capture::TAudioIn audio;
    audio.SetBufferSize(blockBytes);
    audio.SetNumBuffers(3);
    audio.SetFrameRate(48000);
    audio.SetWaveDevice(id);
    std::vector<Clock::time_point> handled;
    handled.reserve(static_cast<std::size_t>(blocks));
    audio.SetOnBufferFilled([&](std::uint8_t*, int&) {
        handled.push_back(Clock::now());
        return true;
    });
    if (!audio.Start()) {
        std::fprintf(stderr, "start failed: %s\n", qPrintable(audio.ErrorMessage));
        return 1;
    }
    while (static_cast<int>(handled.size()) < blocks)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const std::uint64_t dropped = audio.droppedFrames();
    audio.StopAtOnce();

    std::vector<double> latencyMs;
    for (std::size_t k = 0; k < handled.size(); ++k) {
        const std::size_t lastFrame = (k + 1) * static_cast<std::size_t>(blockFrames) - 1;
        const Clock::time_point full = stamps[lastFrame / static_cast<std::size_t>(chunk)];
        latencyMs.push_back(std::chrono::duration<double, std::milli>(handled[k] - full).count());
    }
    std::sort(latencyMs.begin(), latencyMs.end());
    std::printf(
        "blocks %zu of %d bytes, full-to-handler latency: median %.3f ms, 99th "
        "percentile %.3f ms, maximum %.3f ms; frames dropped %llu (blocks lost %llu)\n",
        latencyMs.size(), blockBytes, latencyMs[latencyMs.size() / 2],
        latencyMs[latencyMs.size() * 99 / 100], latencyMs.back(),
        static_cast<unsigned long long>(dropped),
        static_cast<unsigned long long>((dropped + static_cast<std::uint64_t>(blockFrames) - 1) /
                                        static_cast<std::uint64_t>(blockFrames)));
    return dropped == 0 ? 0 : 2;
}
