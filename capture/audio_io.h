#pragma once
// TAudioIO: the base of the audio input component. Holds the capture format,
// the ring of capture buffers with their headers, the counters and the
// open/close events. TAudioIn (audio_in.h) records with it.
//
// Threads: every member is used on the UI thread only.

#include "wavein_types.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace capture {

// Capacity of the ring: indices 0..3.
inline constexpr int MAXBUFFERS = 4;

// Open and close events. Sender is the callback object of the run (a
// TCallBackWinIn), which is deleted soon after its close event: do not keep it.
using TNotifyEvent = std::function<void(QObject* Sender)>;

class TAudioIO : public QObject {
    Q_OBJECT

public:
    // Defaults: 8192-byte blocks requested, 4 buffers, 16-bit mono PCM at
    // 22050 frames/s, WAVE_MAPPER. Allocates the headers and buffers; a
    // failure shows only in ErrorMessage (and makes a later Start fail).
    explicit TAudioIO(QObject* Owner = nullptr);
    ~TAudioIO() override;

    // Block size in bytes: the request (at least 512) rounded down to whole
    // frames. Setting it reallocates the buffers for the current NumBuffers;
    // while a capture is open it is refused with a text in ErrorMessage.
    int BufferSize() const { return FBufferSize; }
    void SetBufferSize(int Value);
    // Buffers in the ring, 2..4. Allocates nothing: raise it only up to the
    // count allocated by the last SetBufferSize (4 at construction).
    int NumBuffers() const { return FNumBuffers; }
    void SetNumBuffers(int Value);
    // Frames per second, stored unchecked.
    DWORD GetFrameRate() const { return FWaveFmtEx.nSamplesPerSec; }
    DWORD FrameRate() const { return GetFrameRate(); }
    void SetFrameRate(DWORD Value);
    // Two channels when true, one otherwise.
    bool GetStereo() const { return FWaveFmtEx.nChannels == 2; }
    bool Stereo() const { return GetStereo(); }
    void SetStereo(bool Value);
    // Bits per sample: below 8 gives 8, above 8 gives 16.
    int Quantization() const { return FWaveFmtEx.wBitsPerSample; }
    void SetBits(int Value);
    // Device identifier (WAVE_MAPPER = the system default); read at Start.
    UINT WaveDevice() const { return FWaveDevice; }
    void SetWaveDevice(UINT Value) { FWaveDevice = Value; }
    // Raised when the device reports open (OnStart) and closed (OnStop).
    const TNotifyEvent& OnStart() const { return FonOpen; }
    void SetOnStart(TNotifyEvent Handler) { FonOpen = std::move(Handler); }
    const TNotifyEvent& OnStop() const { return FonClose; }
    void SetOnStop(TNotifyEvent Handler) { FonClose = std::move(Handler); }

    const WAVEFORMATEX& WaveFormat() const { return FWaveFmtEx; }

    virtual void StopAtOnce();
    virtual void StopGracefully();

    QString ErrorMessage;     // text of the last failure
    bool Active = false;      // true while recording
    int FilledBuffers = 0;    // blocks the handler accepted since the last start
    int QueuedBuffers = 0;    // buffers currently in the device's queue
    int ProcessedBuffers = 0; // buffers the device returned since the last start

protected:
    // True while the device holds the buffers; they are not reallocated then.
    virtual bool BuffersInUse() const { return false; }
    void MakeWaveFmtConsistent();
    bool AllocWaveHeaders();
    bool AllocPCMBuffers();
    bool FreePCMBuffers();
    void FreeWaveHeaders();
    bool InitWaveHeaders();

    int FBufferSize = 0;
    int FRequestedBufferSize = 8192;
    int FNumBuffers = MAXBUFFERS;
    bool FPaused = false;
    WAVEFORMATEX FWaveFmtEx{};
    TNotifyEvent FonOpen;
    TNotifyEvent FonClose;
    UINT FWaveDevice = WAVE_MAPPER;
    // Owning storage of the headers and buffers, and the views the ring uses.
    std::array<std::unique_ptr<WAVEHDR>, MAXBUFFERS> hWaveHeader;
    std::array<WAVEHDR*, MAXBUFFERS> WaveHdr{};
    std::array<std::uint8_t*, MAXBUFFERS> WaveBuffer{};
    std::array<std::unique_ptr<std::uint8_t[]>, MAXBUFFERS> hWaveBuffer;
    int BufIndex = 0; // ring index of the next buffer to queue
    bool ContinueProcessing = false;
    // The text of the last allocation failure, empty when all went well.
    QString FAllocationError;
};

} // namespace capture
