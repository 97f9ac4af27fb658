#include "signal_output.h"

#include "device_list.h"
#include "generator_render.h"
#include "portaudio_device.h"

#include <QTimer>

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <system_error>
#include <thread>

namespace capture {
namespace {

// How long stop() waits for the fade-out to be rendered before it cuts the
// stream off: the fade plus far more than any device's look-ahead.
constexpr auto kFadeTimeout = std::chrono::milliseconds(1000);
// How often a playing output looks whether the device still takes samples.
constexpr int kStallCheckMs = 250;

// The device takes samples in periods of about 85 ms (4096 frames at 48 kHz)
// and holds three: the callback and the sound server wake a dozen times a
// second instead of hundreds, and a late callback still has two periods in
// hand. Starts, stops and level changes are heard up to a quarter of a
// second later, which a generator worked by hand does not notice.
constexpr double kPeriodSeconds = 4096.0 / 48000.0;
constexpr int kPeriodsHeld = 3;

// The output device of that name (empty: the default) in PortAudio's list.
PaDeviceIndex findOutput(const std::string& name, std::string& error)
{
    if (name.empty()) {
        const PaDeviceIndex index = Pa_GetDefaultOutputDevice();
        if (index == paNoDevice)
            error = "the system has no default output device";
        return index;
    }
    const PaDeviceIndex n = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels > 0 && info->name && name == info->name)
            return i;
    }
    error = "there is no output device \"" + name + "\"";
    return paNoDevice;
}

} // namespace

std::vector<OutputDeviceInfo> outputDevices(int& defaultIndex)
{
    DeviceList::instance().count();
    defaultIndex = -1;
    std::vector<OutputDeviceInfo> devices;
    if (!portaudio::started())
        return devices;
    const PaDeviceIndex defaultOutput = Pa_GetDefaultOutputDevice();
    const PaDeviceIndex n = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info || info->maxOutputChannels <= 0)
            continue;
        if (i == defaultOutput)
            defaultIndex = static_cast<int>(devices.size());
        devices.push_back({info->name ? info->name : "", info->maxOutputChannels});
    }
    return devices;
}

// One open stream. Its callbacks run on PortAudio's thread: they render,
// count and flag, and wake the UI thread; nothing else.
struct SignalOutput::Stream {
    Stream(std::unique_ptr<Waveform> waveform, double levelDb, double rate, int channelCount,
           WakePipe& wakeUp)
        : render(std::move(waveform), levelDb, rate), channels(channelCount), wake(wakeUp)
    {
        portaudio::noteStreamOpened();
    }
    // On the UI thread: closing touches the audio library's list of streams.
    ~Stream()
    {
        if (pa)
            Pa_CloseStream(pa);
        portaudio::noteStreamClosed();
    }

    static int onFrames(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags, void* user)
    {
        auto* self = static_cast<Stream*>(user);
        if (flags & paOutputUnderflow)
            self->underflows.fetch_add(1, std::memory_order_relaxed);
        self->framesTaken.fetch_add(frames, std::memory_order_relaxed);
        return self->render.render(static_cast<float*>(output), static_cast<int>(frames),
                                   self->channels)
                   ? paContinue
                   : paComplete;
    }

    // Runs when the stream has ended, whether after our fade or on its own.
    static void onFinished(void* user)
    {
        auto* self = static_cast<Stream*>(user);
        if (self->stopping.load(std::memory_order_acquire))
            return;
        self->failed.store(true, std::memory_order_release);
        self->wake.wake();
    }

    PaStream* pa = nullptr;
    GeneratorRender render;
    const int channels;
    WakePipe& wake;
    std::atomic<bool> stopping{false};
    std::atomic<bool> failed{false};
    std::atomic<std::uint64_t> underflows{0};
    std::atomic<std::uint64_t> framesTaken{0};
};

SignalOutput::SignalOutput() : stallTimer_(std::make_unique<QTimer>())
{
    stallTimer_->setInterval(kStallCheckMs);
    QObject::connect(stallTimer_.get(), &QTimer::timeout, [this] { watchForStall(); });
}

SignalOutput::~SignalOutput()
{
    stop();
    closeRetired();
    // A stream still being aborted is closed by its thread, if ever.
}

bool SignalOutput::start(const std::string& deviceName, const TestSignalParams& params, double rate,
                         std::string& error)
{
    stop();
    closeRetired();
    auto waveform = makeWaveform(params, rate, error);
    if (!waveform)
        return false;
    DeviceList::instance().count(); // starts PortAudio when nothing else has
    if (!portaudio::started()) {
        error = "the audio library did not start";
        return false;
    }
    const PaDeviceIndex device = findOutput(deviceName, error);
    if (device == paNoDevice)
        return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = std::min(2, info->maxOutputChannels);
    parameters.sampleFormat = paFloat32;
    const auto periodFrames =
        static_cast<unsigned long>(std::max(64L, std::lround(rate * kPeriodSeconds)));
    parameters.suggestedLatency =
        std::max(info->defaultHighOutputLatency, kPeriodsHeld * periodFrames / rate);
    const PaError supported = Pa_IsFormatSupported(nullptr, &parameters, rate);
    if (supported != paFormatIsSupported) {
        error = portaudio::errorText(supported);
        return false;
    }
    if (!wake_.open([this] { checkFailure(); }, error))
        return false;
    auto stream = std::make_unique<Stream>(std::move(waveform), params.levelDb, rate,
                                           parameters.channelCount, wake_);
    PaError result = Pa_OpenStream(&stream->pa, nullptr, &parameters, rate, periodFrames, paNoFlag,
                                   &Stream::onFrames, stream.get());
    if (result != paNoError && result != paDeviceUnavailable) {
        // A device whose driver refuses periods this long plays in its own, as before.
        parameters.suggestedLatency = info->defaultHighOutputLatency;
        if (Pa_OpenStream(&stream->pa, nullptr, &parameters, rate, paFramesPerBufferUnspecified,
                          paNoFlag, &Stream::onFrames, stream.get()) == paNoError)
            result = paNoError;
    }
    if (result != paNoError)
        stream->pa = nullptr;
    if (result == paNoError)
        result = Pa_SetStreamFinishedCallback(stream->pa, &Stream::onFinished);
    if (result == paNoError)
        result = Pa_StartStream(stream->pa);
    if (result != paNoError) {
        error = portaudio::errorText(result);
        stream->stopping = true;
        stream.reset();
        return false;
    }
    stream_ = std::move(stream);
    stallWatch_.start(1000.0 * parameters.suggestedLatency, StallWatch::clockMs());
    stallTimer_->start();
    return true;
}

void SignalOutput::setLevel(double levelDb)
{
    if (stream_)
        stream_->render.setLevel(levelDb);
}

void SignalOutput::stop()
{
    close(true);
}

void SignalOutput::close(bool fade)
{
    stallTimer_->stop();
    if (!stream_)
        return;
    stream_->stopping.store(true, std::memory_order_release);
    if (fade && !stream_->failed.load(std::memory_order_acquire)) {
        stream_->render.requestFadeOut();
        const auto deadline = std::chrono::steady_clock::now() + kFadeTimeout;
        while (!stream_->render.fadedOut() && Pa_IsStreamActive(stream_->pa) == 1 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Stopping plays what the device holds, the end of the fade; aborting
    // drops it, for a device that takes no more.
    if (Pa_IsStreamStopped(stream_->pa) == 0) {
        if (stream_->render.fadedOut()) {
            Pa_StopStream(stream_->pa);
        } else if (fade) {
            retire(); // it took nothing of the fade: it may hang
            return;
        } else {
            Pa_AbortStream(stream_->pa);
        }
    }
    // The pipe stays until the next start: a failure closes the stream from
    // within the pipe's own notification.
    stream_.reset();
}

void SignalOutput::checkFailure()
{
    if (!stream_ || !stream_->failed.load(std::memory_order_acquire))
        return;
    close(false);
    if (onFailure_)
        onFailure_("The output device stopped playing (it failed or was disconnected).");
}

void SignalOutput::watchForStall()
{
    if (!stream_ ||
        stallWatch_.update(StallWatch::clockMs(), framesPlayed()) != StallWatch::State::Lost)
        return;
    stallTimer_->stop();
    retire();
    if (onFailure_)
        onFailure_("The output device took no samples for " +
                   std::to_string(stallWatch_.silentMs() / 1000) +
                   " s (it hangs or was disconnected).");
}

void SignalOutput::retire()
{
    // Aborting waits for the device: for a frozen sound server until it thaws
    // or gives up (a minute), for the audio library spinning on a dead one for
    // ever. A thread of its own waits instead of the window; the stream is
    // closed here once that thread is done.
    stream_->stopping.store(true, std::memory_order_release);
    std::shared_ptr<Stream> stream = std::move(stream_);
    try {
        std::thread([stream] { Pa_AbortStream(stream->pa); }).detach();
    } catch (const std::system_error&) {
        Pa_AbortStream(stream->pa);
    }
    retired_.push_back(std::move(stream));
}

void SignalOutput::closeRetired()
{
    // Only this object holds a stream whose aborting thread has ended.
    std::erase_if(retired_, [](const std::shared_ptr<Stream>& s) { return s.use_count() == 1; });
}

int SignalOutput::channels() const
{
    return stream_ ? stream_->channels : 0;
}

std::uint64_t SignalOutput::framesPlayed() const
{
    return stream_ ? stream_->framesTaken.load(std::memory_order_relaxed) : 0;
}

std::uint64_t SignalOutput::underflows() const
{
    return stream_ ? stream_->underflows.load(std::memory_order_relaxed) : 0;
}

} // namespace capture
