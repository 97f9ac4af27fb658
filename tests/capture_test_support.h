#pragma once
// Helpers for the capture tests: waiting on the event loop, finding a device
// by name, and a virtual source whose every sample is predictable.

#include "capture/signal_source.h"
#include "capture/virtual_devices.h"
#include "capture/wavein.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace captest {

// Runs the event loop until pred holds or timeoutMs pass; returns pred().
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return pred();
}

// Runs the event loop for ms milliseconds.
inline void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

// Identifier of the device with this name, or WAVE_MAPPER - 1 when absent.
inline capture::UINT deviceId(const std::string& name)
{
    const capture::UINT n = capture::waveInGetNumDevs();
    for (capture::UINT id = 0; id < n; ++id) {
        capture::WAVEINCAPS caps;
        if (capture::waveInGetDevCaps(id, &caps) == capture::MMSYSERR_NOERROR &&
            caps.szPname == name)
            return id;
    }
    return capture::WAVE_MAPPER - 1;
}

// The 16-bit value of sample n of the counting source.
inline std::int16_t countingSample(std::int64_t n)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((n * 7919 + 13) & 0xFFFF));
}

// Sample n is countingSample(n) on every channel. Fails, when failAfter is not
// negative, at the first render that would go past frame failAfter.
class CountingSource final : public capture::SignalSource {
public:
    explicit CountingSource(std::int64_t failAfter = -1, bool startable = true,
                            std::atomic<std::int64_t>* rendered = nullptr)
        : failAfter_(failAfter), startable_(startable), rendered_(rendered)
    {
    }
    bool render(float* out, int frames, int channels) noexcept override
    {
        // Whatever the device's chunk size, nothing past frame failAfter is delivered.
        if (failAfter_ >= 0 && n_ + frames > failAfter_)
            return false;
        for (int i = 0; i < frames; ++i, ++n_)
            for (int c = 0; c < channels; ++c)
                *out++ = static_cast<float>(countingSample(n_)) / 32768.0f;
        if (rendered_)
            rendered_->fetch_add(frames, std::memory_order_release);
        return true;
    }
    const char* failureText() const noexcept override { return "test device unplugged"; }
    bool begin() override { return startable_; }

private:
    std::int64_t n_ = 0;
    const std::int64_t failAfter_;
    const bool startable_;
    std::atomic<std::int64_t>* rendered_;
};

// `rendered`, when given, counts the frames the device has produced.
inline void registerCounting(const QString& name, std::int64_t failAfter = -1,
                             bool startable = true, std::atomic<std::int64_t>* rendered = nullptr)
{
    capture::registerVirtualDevice(
        name, [failAfter, startable, rendered](const capture::WAVEFORMATEX&, int, std::string&) {
            return std::make_unique<CountingSource>(failAfter, startable, rendered);
        });
}

} // namespace captest
