#include "audio_io.h"

#include <algorithm>
#include <new>

namespace capture {

TAudioIO::TAudioIO(QObject* Owner) : QObject(Owner)
{
    FNumBuffers = MAXBUFFERS;
    FRequestedBufferSize = 8192;
    Active = false;
    FPaused = false;
    FWaveDevice = WAVE_MAPPER;
    ErrorMessage.clear();
    FWaveFmtEx.wFormatTag = WAVE_FORMAT_PCM;
    FWaveFmtEx.nChannels = 1;
    FWaveFmtEx.nSamplesPerSec = 22050;
    FWaveFmtEx.wBitsPerSample = 16;
    FWaveFmtEx.cbSize = 0;
    MakeWaveFmtConsistent();
    WaveBuffer.fill(nullptr);
    if (AllocWaveHeaders())
        AllocPCMBuffers();
}

TAudioIO::~TAudioIO()
{
    FreePCMBuffers();
    FreeWaveHeaders();
}

void TAudioIO::SetBufferSize(int Value)
{
    // Freeing buffers the device is filling would hand it freed memory.
    if (BuffersInUse()) {
        ErrorMessage = QStringLiteral("The buffer size cannot change while recording");
        return;
    }
    FRequestedBufferSize = std::max(Value, 512);
    MakeWaveFmtConsistent();
    FreePCMBuffers();
    AllocPCMBuffers();
}

void TAudioIO::SetNumBuffers(int Value)
{
    FNumBuffers = std::clamp(Value, 2, MAXBUFFERS);
}

void TAudioIO::SetFrameRate(DWORD Value)
{
    FWaveFmtEx.nSamplesPerSec = Value;
    MakeWaveFmtConsistent();
}

void TAudioIO::SetStereo(bool Value)
{
    FWaveFmtEx.nChannels = Value ? 2 : 1;
    MakeWaveFmtConsistent();
}

void TAudioIO::SetBits(int Value)
{
    FWaveFmtEx.wBitsPerSample = Value > 8 ? 16 : 8;
    MakeWaveFmtConsistent();
}

void TAudioIO::StopAtOnce()
{
    Active = false;
    ContinueProcessing = false;
}

void TAudioIO::StopGracefully()
{
    ContinueProcessing = false;
}

void TAudioIO::MakeWaveFmtConsistent()
{
    FWaveFmtEx.nBlockAlign =
        static_cast<WORD>((FWaveFmtEx.wBitsPerSample / 8) * FWaveFmtEx.nChannels);
    FWaveFmtEx.nAvgBytesPerSec = FWaveFmtEx.nBlockAlign * FWaveFmtEx.nSamplesPerSec;
    FBufferSize = FRequestedBufferSize - (FRequestedBufferSize % FWaveFmtEx.nBlockAlign);
}

bool TAudioIO::AllocWaveHeaders()
{
    for (int i = 0; i < MAXBUFFERS; ++i) {
        hWaveHeader[i].reset(new (std::nothrow) WAVEHDR{});
        if (!hWaveHeader[i]) {
            FreeWaveHeaders();
            ErrorMessage = FAllocationError = QStringLiteral("Error allocating wave header memory");
            return false;
        }
        WaveHdr[i] = hWaveHeader[i].get();
    }
    return true;
}

bool TAudioIO::AllocPCMBuffers()
{
    for (int i = 0; i < FNumBuffers; ++i) {
        hWaveBuffer[i].reset(new (std::nothrow)
                                 std::uint8_t[static_cast<std::size_t>(FBufferSize)]);
        if (!hWaveBuffer[i]) {
            FreePCMBuffers();
            ErrorMessage = FAllocationError = QStringLiteral("Error allocating wave buffer memory");
            return false;
        }
        WaveBuffer[i] = hWaveBuffer[i].get();
        if (WaveHdr[i])
            WaveHdr[i]->lpData = reinterpret_cast<char*>(WaveBuffer[i]);
    }
    FAllocationError.clear();
    return true;
}

bool TAudioIO::FreePCMBuffers()
{
    bool freed = false;
    for (int i = 0; i < MAXBUFFERS; ++i) {
        if (hWaveBuffer[i]) {
            hWaveBuffer[i].reset();
            freed = true;
        }
        WaveBuffer[i] = nullptr;
        if (WaveHdr[i])
            WaveHdr[i]->lpData = nullptr;
    }
    return freed;
}

void TAudioIO::FreeWaveHeaders()
{
    for (int i = 0; i < MAXBUFFERS; ++i) {
        hWaveHeader[i].reset();
        WaveHdr[i] = nullptr;
    }
}

bool TAudioIO::InitWaveHeaders()
{
    MakeWaveFmtConsistent();
    for (int i = 0; i < FNumBuffers; ++i) {
        *WaveHdr[i] = WAVEHDR{};
        WaveHdr[i]->lpData = reinterpret_cast<char*>(WaveBuffer[i]);
        WaveHdr[i]->dwBufferLength = static_cast<DWORD>(FBufferSize);
    }
    return true;
}

} // namespace capture
