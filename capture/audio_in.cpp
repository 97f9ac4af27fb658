#include "audio_in.h"

#include "callback_win_in.h"
#include "wavein.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace capture {

namespace {

// How often a running capture looks whether its device still delivers.
constexpr int kStallCheckMs = 100;

} // namespace

TAudioIn::TAudioIn(QObject* Owner) : TAudioIO(Owner)
{
    FStallTimer = new QTimer(this);
    FStallTimer->setInterval(kStallCheckMs);
    connect(FStallTimer, &QTimer::timeout, this, [this] { WatchForStall(); });
}

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
    if (WaveDeviceOpen)
        return Fail(MMSYSERR_ERROR, QStringLiteral("Wave Input device is already open"));
    FDeviceFailed = false;
    FLastError = MMSYSERR_NOERROR;
    // An empty slot must never reach the device.
    for (int i = 0; i < FNumBuffers; ++i) {
        if (!WaveHdr[i] || !WaveBuffer[i])
            return Fail(MMSYSERR_NOMEM, FAllocationError.isEmpty()
                                            ? QStringLiteral("Error allocating wave buffer memory")
                                            : FAllocationError);
    }
    BufIndex = 0;
    CallBackWin = new TCallBackWinIn(this); // owned by this component as a Qt child
    CallBackWin->AudioComponent = &TS;
    const MMRESULT opened =
        waveInOpen(&WaveHandle, FWaveDevice, &FWaveFmtEx, CallBackWin, 0,
                   CALLBACK_WINDOW | WAVE_ALLOWSYNC, static_cast<DWORD>(FBufferSize));
    if (opened != MMSYSERR_NOERROR) {
        // Nothing was posted to it, so it can go now.
        CallBackWin->deleteLater();
        CallBackWin = nullptr;
        WaveHandle = nullptr;
        return Fail(opened, TWaveInGetErrorText(opened));
    }
    WaveDeviceOpen = true;
    InitWaveHeaders();
    for (int i = 0; i < FNumBuffers; ++i) {
        const MMRESULT prepared = waveInPrepareHeader(WaveHandle, WaveHdr[i], sizeof(WAVEHDR));
        if (prepared != MMSYSERR_NOERROR) {
            const QString text = TWaveInGetErrorText(prepared);
            CloseWaveDevice();
            return Fail(prepared, text);
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
        return Fail(started, QStringLiteral("Error starting wave record: ") + text);
    }
    Active = true;
    for (int i = 0; i < FNumBuffers; ++i) {
        if (!QueueBuffer()) {
            CloseWaveDevice();
            return false;
        }
    }
    const DWORD bytesPerSecond = FWaveFmtEx.nAvgBytesPerSec; // a copy: the record is packed
    const double blockMs = 1000.0 * FBufferSize / std::max<DWORD>(bytesPerSecond, 1);
    FStallWatch.start(blockMs, StallWatch::clockMs(), FStallGiveUpMs);
    FStallQuietMs = static_cast<int>(std::ceil(2.0 * blockMs)) + kStallCheckMs;
    FStallTimer->start(kStallCheckMs);
    return true;
}

bool TAudioIn::QueueBuffer()
{
    WAVEHDR* header = WaveHdr[BufIndex];
    header->dwFlags = WHDR_PREPARED;
    const MMRESULT added = waveInAddBuffer(WaveHandle, header, sizeof(WAVEHDR));
    if (added != MMSYSERR_NOERROR) {
        Fail(added, TWaveInGetErrorText(added));
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
    // The handler may destroy the component (closing its window, say): nothing of it may be
    // touched afterwards.
    const QPointer<TAudioIn> alive(this);
    if (FOnBufferFilled)
        accepted = FOnBufferFilled(Buffer, Size);
    if (accepted && alive) {
        FilledBuffers += 1;
        // A block came: the device flows, and the watch need not wake the
        // thread until two blocks' time has passed without another.
        if (WaveDeviceOpen) {
            FStallWatch.update(StallWatch::clockMs(), LiveStatistics().framesDelivered);
            FStallTimer->start(FStallQuietMs);
        }
    }
    return accepted;
}

void TAudioIn::CloseWaveDevice()
{
    Active = false;
    // Closing twice would hand the service a stale handle.
    if (!WaveDeviceOpen)
        return;
    FStallTimer->stop();
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

WaveInStatistics TAudioIn::LiveStatistics() const
{
    WaveInStatistics live = FStatistics;
    if (WaveDeviceOpen)
        waveInGetStatistics(WaveHandle, &live);
    return live;
}

std::uint64_t TAudioIn::droppedFrames() const
{
    return LiveStatistics().droppedFrames;
}

std::uint64_t TAudioIn::deviceOverflows() const
{
    return LiveStatistics().deviceOverflows;
}

std::uint64_t TAudioIn::repairedSamples() const
{
    return LiveStatistics().repairedSamples;
}

void TAudioIn::WatchForStall()
{
    if (!WaveDeviceOpen) {
        FStallTimer->stop();
        return;
    }
    // Without blocks, look often.
    FStallTimer->setInterval(kStallCheckMs);
    if (FStallWatch.update(StallWatch::clockMs(), LiveStatistics().framesDelivered) !=
        StallWatch::State::Lost)
        return;
    // Like a device that vanished: the close that follows reports it.
    FDeviceFailed = true;
    Fail(MMSYSERR_NODRIVER, QStringLiteral("The input device delivered no sound for %1 s")
                                .arg(double(FStallWatch.silentMs()) / 1000.0, 0, 'f', 1));
    StopAtOnce();
}

bool TAudioIn::Fail(MMRESULT Code, const QString& Text)
{
    FLastError = Code;
    ErrorMessage = Text;
    return false;
}

} // namespace capture
