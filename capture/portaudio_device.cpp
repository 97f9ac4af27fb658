#include "portaudio_device.h"

#include "format_text.h"

#include <alsa/asoundlib.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace capture::portaudio {
namespace {

bool initialised = false;
int openCount = 0;

class PortAudioInput final : public OpenInput {
public:
    PortAudioInput(FrameSink& sink, int bytesPerFrame) : sink_(sink), bytesPerFrame_(bytesPerFrame)
    {
        noteStreamOpened();
    }
    ~PortAudioInput() override
    {
        if (stream_) {
            stop();
            Pa_CloseStream(stream_);
        }
        noteStreamClosed();
    }

    MMRESULT openStream(const PaStreamParameters& parameters, double rate,
                        unsigned long framesPerBuffer, std::string& detail)
    {
        const PaError error = Pa_OpenStream(&stream_, &parameters, nullptr, rate, framesPerBuffer,
                                            paClipOff, &PortAudioInput::onFrames, this);
        if (error != paNoError) {
            stream_ = nullptr;
            detail = errorText(error);
            if (error == paDeviceUnavailable)
                return MMSYSERR_ALLOCATED;
            if (error == paInsufficientMemory)
                return MMSYSERR_NOMEM;
            return MMSYSERR_ERROR;
        }
        Pa_SetStreamFinishedCallback(stream_, &PortAudioInput::onFinished);
        return MMSYSERR_NOERROR;
    }

    MMRESULT start(std::string& detail) override
    {
        stopping_.store(false, std::memory_order_release);
        const PaError error = Pa_StartStream(stream_);
        if (error != paNoError) {
            detail = errorText(error);
            return MMSYSERR_ERROR;
        }
        return MMSYSERR_NOERROR;
    }

    void stop() override
    {
        stopping_.store(true, std::memory_order_release);
        if (Pa_IsStreamStopped(stream_) == 0)
            Pa_AbortStream(stream_);
    }

private:
    // PortAudio's thread: hand the frames over as they are; no allocation, no Qt.
    static int onFrames(const void* input, void*, unsigned long frames,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags flags, void* user)
    {
        auto* self = static_cast<PortAudioInput*>(user);
        if (flags & paInputOverflow)
            self->sink_.noteOverflow();
        if (input)
            self->sink_.deliver(static_cast<const std::uint8_t*>(input),
                                frames * static_cast<unsigned long>(self->bytesPerFrame_));
        return paContinue;
    }

    // Runs when the stream has ended, whether we stopped it or the device did.
    static void onFinished(void* user)
    {
        auto* self = static_cast<PortAudioInput*>(user);
        if (!self->stopping_.load(std::memory_order_acquire))
            self->sink_.fail("The audio device stopped delivering sound (it failed or was "
                             "disconnected).");
    }

    FrameSink& sink_;
    const int bytesPerFrame_;
    PaStream* stream_ = nullptr;
    std::atomic<bool> stopping_{true};
};

class PortAudioDevice final : public InputDevice {
public:
    PortAudioDevice(PaDeviceIndex index, const PaDeviceInfo& info)
        : index_(index), name_(info.name ? info.name : ""), channels_(info.maxInputChannels),
          latency_(info.defaultHighInputLatency)
    {
    }

    std::string name() const override { return name_; }
    int maxInputChannels() const override { return channels_; }

    MMRESULT open(const WAVEFORMATEX& format, DWORD blockFrames, FrameSink& sink,
                  std::unique_ptr<OpenInput>& input, std::string& detail) override
    {
        // Without a block size, the high default latency: the ring of capture
        // buffers already absorbs the UI's delays, and larger device periods
        // overflow less.
        PaStreamParameters parameters{};
        parameters.device = index_;
        parameters.channelCount = format.nChannels;
        parameters.sampleFormat = format.wBitsPerSample == 16 ? paInt16 : paUInt8;
        parameters.suggestedLatency = latency_;
        const double rate = format.nSamplesPerSec;
        // Periods of a whole block, in a buffer of two: the library's thread
        // and the sound server wake once per block instead of every few
        // milliseconds, and a period can wait a whole block to be taken.
        unsigned long framesPerBuffer = paFramesPerBufferUnspecified;
        if (const DWORD period = periodFramesFor(blockFrames, format.nSamplesPerSec); period > 0) {
            framesPerBuffer = period;
            parameters.suggestedLatency = std::max(latency_, 2.0 * period / rate);
        }
        const PaError supported = Pa_IsFormatSupported(&parameters, nullptr, rate);
        if (supported != paFormatIsSupported) {
            detail = errorText(supported) + " (" + describeFormat(format) + ")";
            return WAVERR_BADFORMAT;
        }
        auto opened = std::make_unique<PortAudioInput>(sink, format.nBlockAlign);
        const MMRESULT result = opened->openStream(parameters, rate, framesPerBuffer, detail);
        if (result == MMSYSERR_NOERROR)
            input = std::move(opened);
        return result;
    }

private:
    const PaDeviceIndex index_;
    const std::string name_;
    const int channels_;
    const double latency_;
};

// ALSA prints a line to stderr for every configured device it cannot open
// while PortAudio probes them (hundreds on a machine without sound cards);
// PortAudio reports what matters through its own error codes.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

// The JACK client library that PortAudio probes writes its failed connection
// attempts straight to stderr and offers no hook to stop it; the standard
// error stream is parked on /dev/null for the duration of the probe.
class StderrParked {
public:
    StderrParked()
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~StderrParked()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    StderrParked(const StderrParked&) = delete;
    StderrParked& operator=(const StderrParked&) = delete;

private:
    int saved_ = -1;
};

} // namespace

bool scan(std::vector<std::unique_ptr<InputDevice>>& devices, int& defaultIndex)
{
    if (openCount > 0)
        return false;
    if (initialised)
        Pa_Terminate();
    snd_lib_error_set_handler(&quietAlsa);
    {
        const StderrParked quiet;
        initialised = Pa_Initialize() == paNoError;
    }
    // The probe opened every configured device, loading each plugin's library
    // and all it links (codecs, other sound servers' clients: some ten
    // megabytes); the configuration cache alone keeps them loaded, since
    // PortAudio holds no device open. Freed, they unload; a stream opened
    // later reads the configuration again and loads only what it uses.
    snd_config_update_free_global();
    devices.clear();
    defaultIndex = -1;
    if (!initialised)
        return false;
    const PaDeviceIndex defaultInput = Pa_GetDefaultInputDevice();
    const PaDeviceIndex n = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < n; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info || info->maxInputChannels <= 0)
            continue;
        if (i == defaultInput)
            defaultIndex = static_cast<int>(devices.size());
        devices.push_back(std::make_unique<PortAudioDevice>(i, *info));
    }
    return true;
}

std::string errorText(int error)
{
    std::string text = Pa_GetErrorText(error);
    if (error == paUnanticipatedHostError) {
        if (const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo(); info && info->errorText)
            text += std::string(": ") + info->errorText;
    }
    return text;
}

bool started()
{
    return initialised;
}

int openStreams()
{
    return openCount;
}

void noteStreamOpened()
{
    ++openCount;
}

void noteStreamClosed()
{
    --openCount;
}

} // namespace capture::portaudio
