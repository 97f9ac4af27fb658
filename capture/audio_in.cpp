#include "audio_in.h"

#include "callback_win_in.h"
#include "wavein.h"

namespace capture {

TAudioIn::TAudioIn(QObject* Owner) : TAudioIO(Owner) {}

TAudioIn::~TAudioIn()
{
    // The device must not go on filling buffers that are about to be freed.
    if (WaveDeviceOpen) {
        Active = false;
        ContinueProcessing = false;
        waveInReset(WaveHandle);
        CloseWaveDevice();
    }
}

bool TAudioIn::Start(TAudioIn*& TS)
{
    if (!Setup(TS))
        return false;
    return StartIt();
}

bool TAudioIn::Start()
{
    return Start(FSelf);
}

bool TAudioIn::Setup(TAudioIn*& TS)
{
    if (WaveDeviceOpen) {
        ErrorMessage = QStringLiteral("Wave Input device is already open");
        return false;
    }
    FDeviceFailed = false;
    // An empty slot must never reach the device.
    for (int i = 0; i < FNumBuffers; ++i) {
        if (!WaveHdr[i] || !WaveBuffer[i]) {
            ErrorMessage = FAllocationError.isEmpty()
                               ? QStringLiteral("Error allocating wave buffer memory")
                               : FAllocationError;
            return false;
        }
    }
    BufIndex = 0;
    CallBackWin = new TCallBackWinIn(this); // owned by this component as a Qt child
    CallBackWin->AudioComponent = &TS;
    const MMRESULT opened =
        waveInOpen(&WaveHandle, FWaveDevice, &FWaveFmtEx, CallBackWin, 0,
                   CALLBACK_WINDOW | WAVE_ALLOWSYNC, static_cast<DWORD>(FBufferSize));
    if (opened != MMSYSERR_NOERROR) {
        ErrorMessage = TWaveInGetErrorText(opened);
        // Nothing was posted to it, so it can go now.
        CallBackWin->deleteLater();
        CallBackWin = nullptr;
        WaveHandle = nullptr;
        return false;
    }
    WaveDeviceOpen = true;
    InitWaveHeaders();
    for (int i = 0; i < FNumBuffers; ++i) {
        const MMRESULT prepared = waveInPrepareHeader(WaveHandle, WaveHdr[i], sizeof(WAVEHDR));
        if (prepared != MMSYSERR_NOERROR) {
            ErrorMessage = TWaveInGetErrorText(prepared);
            CloseWaveDevice();
            return false;
        }
    }
    QueuedBuffers = 0;
    ProcessedBuffers = 0;
    FilledBuffers = 0;
    FHandlerErrors = 0;
    FLastHandlerError.clear();
    FStatistics = {};
    ContinueProcessing = true;
    Active = true;
    return true;
}

bool TAudioIn::StartIt()
{
    const MMRESULT started = waveInStart(WaveHandle);
    if (started != MMSYSERR_NOERROR) {
        const QString text = TWaveInGetErrorText(started);
        CloseWaveDevice();
        ErrorMessage = QStringLiteral("Error starting wave record: ") + text;
        return false;
    }
    Active = true;
    for (int i = 0; i < FNumBuffers; ++i) {
        if (!QueueBuffer()) {
            CloseWaveDevice();
            return false;
        }
    }
    return true;
}

bool TAudioIn::QueueBuffer()
{
    WAVEHDR* header = WaveHdr[BufIndex];
    header->dwFlags = WHDR_PREPARED;
    const MMRESULT added = waveInAddBuffer(WaveHandle, header, sizeof(WAVEHDR));
    if (added != MMSYSERR_NOERROR) {
        ErrorMessage = TWaveInGetErrorText(added);
        StopGracefully();
        return false;
    }
    BufIndex = (BufIndex + 1) % FNumBuffers;
    QueuedBuffers += 1;
    return true;
}

bool TAudioIn::ProcessBuffer(std::uint8_t* Buffer, int Size)
{
    if (!ContinueProcessing)
        return false;
    bool accepted = true;
    if (FOnBufferFilled)
        accepted = FOnBufferFilled(Buffer, Size);
    if (accepted)
        FilledBuffers += 1;
    return accepted;
}

void TAudioIn::CloseWaveDevice()
{
    Active = false;
    // Closing twice would hand the service a stale handle.
    if (!WaveDeviceOpen)
        return;
    TakeStatistics();
    for (int i = 0; i < FNumBuffers; ++i)
        waveInUnprepareHeader(WaveHandle, WaveHdr[i], sizeof(WAVEHDR));
    waveInReset(WaveHandle);
    waveInClose(WaveHandle);
    WaveDeviceOpen = false;
}

void TAudioIn::StopAtOnce()
{
    if (!WaveDeviceOpen)
        return;
    Active = false;
    ContinueProcessing = false;
    waveInReset(WaveHandle);
    CloseWaveDevice();
}

void TAudioIn::StopGracefully()
{
    if (!WaveDeviceOpen)
        return;
    ContinueProcessing = false;
}

QString TAudioIn::TWaveInGetErrorText(MMRESULT Error)
{
    char text[512];
    waveInGetErrorText(Error, text, sizeof text);
    return QString::fromUtf8(text);
}

int TAudioIn::RingIndexOf(const WAVEHDR* Header) const
{
    for (int i = 0; i < FNumBuffers; ++i)
        if (WaveHdr[i] == Header)
            return i;
    return -1;
}

void TAudioIn::TakeStatistics()
{
    if (WaveDeviceOpen)
        waveInGetStatistics(WaveHandle, &FStatistics);
}

std::uint64_t TAudioIn::droppedFrames() const
{
    WaveInStatistics live = FStatistics;
    if (WaveDeviceOpen)
        waveInGetStatistics(WaveHandle, &live);
    return live.droppedFrames;
}

std::uint64_t TAudioIn::deviceOverflows() const
{
    WaveInStatistics live = FStatistics;
    if (WaveDeviceOpen)
        waveInGetStatistics(WaveHandle, &live);
    return live.deviceOverflows;
}

} // namespace capture
