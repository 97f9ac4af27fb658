#pragma once
// TAudioIn: the audio input component. Records PCM from a wave-input device
// into a ring of NumBuffers buffers of BufferSize bytes and hands each filled
// block to OnBufferFilled, in recording order, then queues the buffer again.
//
// Threads: every member is used on the UI thread only; all events are raised
// there, from the Qt event loop, one at a time.
//
// Typical use: SetBufferSize(16384), SetNumBuffers(3), SetFrameRate(48000),
// SetWaveDevice(id), assign the events, Start(); StopAtOnce() or
// StopGracefully() to end. OnStart follows a successful open, OnStop the
// close; the start and stop calls themselves return before either arrives.

#include "audio_io.h"
#include "stall_watch.h"

#include <cstdint>
#include <functional>

class QTimer;

namespace capture {

class TCallBackWinIn;

// Block handler: Buffer holds Size bytes of PCM (Size is a copy; changing it
// has no effect). Returning true queues the buffer again; false leaves it out
// of the ring. An exception is contained: counted, its text kept, and the
// buffer queued again.
using TBufferEvent = std::function<bool(std::uint8_t* Buffer, int& Size)>;

class TAudioIn : public TAudioIO {
    Q_OBJECT

public:
    explicit TAudioIn(QObject* Owner = nullptr);
    // Stops a running capture at once (no events are raised any more).
    ~TAudioIn() override;

    const TBufferEvent& OnBufferFilled() const { return FOnBufferFilled; }
    void SetOnBufferFilled(TBufferEvent Handler) { FOnBufferFilled = std::move(Handler); }

    // Opens WaveDevice, queues the buffers and starts recording. TS is the
    // owner's variable holding this component; the run's notifications reach
    // the component through it, so it must outlive the run. On false,
    // ErrorMessage says why.
    bool Start(TAudioIn*& TS);
    // The same, reaching the component through a variable of its own.
    bool Start();
    // Stops now; the queued buffers come back unprocessed, then OnStop.
    void StopAtOnce() override;
    // Lets the queued buffers fill, passes none of them to the handler, then
    // closes (OnStop).
    void StopGracefully() override;

    HWAVEIN WaveHandle = nullptr; // the open input of the current run

    // Ours. Whether the last run ended because the device failed or vanished;
    // set, with the reason in ErrorMessage, before its OnStop. Cleared by Start.
    bool deviceFailed() const { return FDeviceFailed; }
    // Frames the device delivered while no buffer was queued, overflows the
    // audio library reported, and samples that were not finite numbers (and
    // were clamped), since the last Start.
    std::uint64_t droppedFrames() const;
    std::uint64_t deviceOverflows() const;
    std::uint64_t repairedSamples() const;
    // Whether the running device has delivered nothing for more than two
    // blocks' time (or, at the start, for StallWatch::kStartUpMs). A device
    // silent for the give-up time ends the capture as a failed one
    // (deviceFailed(), then OnStop).
    bool stalled() const { return FStallWatch.state() == StallWatch::State::Stalled; }
    // The give-up time in ms (StallWatch::kGiveUpMs unless changed); read at Start.
    void SetStallGiveUpMs(long long Ms) { FStallGiveUpMs = Ms; }
    // The result code of the wave-input call behind the last failure
    // (MMSYSERR_ERROR for the component's own refusals), for the owner's
    // wording of it; ErrorMessage holds the technical text.
    MMRESULT LastError() const { return FLastError; }
    // Exceptions the block handler raised since the last Start, and the text
    // of the last one.
    int handlerErrors() const { return FHandlerErrors; }
    const QString& lastHandlerError() const { return FLastHandlerError; }

protected:
    virtual bool ProcessBuffer(std::uint8_t* Buffer, int Size);
    virtual void CloseWaveDevice();
    virtual bool Setup(TAudioIn*& TS);
    bool QueueBuffer();
    bool StartIt();
    QString TWaveInGetErrorText(MMRESULT Error);
    bool BuffersInUse() const override { return WaveDeviceOpen; }

private:
    friend class TCallBackWinIn;

    int RingIndexOf(const WAVEHDR* Header) const;
    void TakeStatistics();
    WaveInStatistics LiveStatistics() const;
    void WatchForStall();
    bool Fail(MMRESULT Code, const QString& Text);

    bool WaveDeviceOpen = false;
    TCallBackWinIn* CallBackWin = nullptr; // a Qt child; deletes itself after its close
    TBufferEvent FOnBufferFilled;
    TAudioIn* FSelf = this;
    bool FDeviceFailed = false;
    int FHandlerErrors = 0;
    QString FLastHandlerError;
    WaveInStatistics FStatistics{};
    MMRESULT FLastError = MMSYSERR_NOERROR;
    StallWatch FStallWatch;
    long long FStallGiveUpMs = StallWatch::kGiveUpMs;
    QTimer* FStallTimer = nullptr; // a Qt child
    int FStallQuietMs = 0;         // the timer's delay after a block
};

} // namespace capture
