#include "portaudio_device.h"

#include "format_text.h"
#include "portaudio_probe.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <string>

namespace capture::portaudio {
namespace {

bool initialised = false;
// Streams open; an output given up on is closed by the thread that aborts it.
std::atomic<int> openCount = 0;
std::string lastDiagnostics;

// The code for a refused format check. PortAudio's ALSA layer answers a device it cannot open
// at all (a sound server that is not running, say) with paBadIODeviceCombination: that is no
// question of the format.
MMRESULT formatCheckFailure(PaError error, std::string& detail)
{
    switch (error) {
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
    case paInvalidChannelCount:
        return WAVERR_BADFORMAT;
    case paDeviceUnavailable:
        return MMSYSERR_ALLOCATED;
    case paBadIODeviceCombination:
        detail += "; the device could not be opened (a sound server's device needs the server "
                  "running)";
        return MMSYSERR_NODRIVER;
    default:
        return MMSYSERR_ERROR;
    }
}

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
            return formatCheckFailure(supported, detail);
        }
        auto opened = std::make_unique<PortAudioInput>(sink, format.nBlockAlign);
        MMRESULT result = opened->openStream(parameters, rate, framesPerBuffer, detail);
        if (result == MMSYSERR_ERROR && framesPerBuffer != paFramesPerBufferUnspecified) {
            // A device whose driver refuses periods this long still records in its own short
            // ones, as before; the first refusal is the one reported if that fails too.
            parameters.suggestedLatency = latency_;
            std::string again;
            if (opened->openStream(parameters, rate, paFramesPerBufferUnspecified, again) ==
                MMSYSERR_NOERROR) {
                result = MMSYSERR_NOERROR;
                detail.clear();
            }
        }
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

} // namespace

bool scan(std::vector<std::unique_ptr<InputDevice>>& devices, int& defaultIndex)
{
    if (openCount > 0)
        return false;
    if (initialised)
        Pa_Terminate();
    initialised = false;
    devices.clear();
    defaultIndex = -1;
    lastDiagnostics.clear();
    if (!alsaConfigurationUsable(lastDiagnostics))
        return false;
    PaError started = paNoError;
    lastDiagnostics = catchDiagnostics([&] { started = Pa_Initialize(); });
    initialised = started == paNoError;
    if (!initialised) {
        lastDiagnostics += "PortAudio could not start: " + errorText(started);
        return false;
    }
    releaseAlsaConfiguration();
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

const std::string& diagnostics()
{
    return lastDiagnostics;
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
