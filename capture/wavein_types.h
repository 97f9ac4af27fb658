#pragma once
// Records, constants and result codes of the wave-input service (wavein.h).
// Laid out for this program, not for binary compatibility: sizes are whatever
// the compiler makes of them, so callers pass sizeof(WAVEHDR) where a size is asked.

#include <cstdint>
#include <string>

namespace capture {

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using DWORD_PTR = std::uintptr_t;
using MMRESULT = std::uint32_t;

// An open input. Opaque; only the service dereferences it.
struct WaveInStream;
using HWAVEIN = WaveInStream*;

// Device identifier of the system's default input.
inline constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

// Result codes.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Notifications posted to the callback object (see WaveInEvent).
inline constexpr UINT MM_WIM_OPEN = 0x3BE;
inline constexpr UINT MM_WIM_CLOSE = 0x3BF;
inline constexpr UINT MM_WIM_DATA = 0x3C0;
// Ours: the device failed or vanished during a capture. Its text says what
// happened; every queued buffer follows as MM_WIM_DATA and further buffers
// are refused.
inline constexpr UINT MM_WIM_FAULT = 0x3C1;

// waveInOpen flags. The callback is always a QObject receiving posted events.
inline constexpr DWORD CALLBACK_WINDOW = 0x00010000;
inline constexpr DWORD WAVE_ALLOWSYNC = 0x0002;

// WAVEHDR.dwFlags bits.
inline constexpr DWORD WHDR_DONE = 0x01;
inline constexpr DWORD WHDR_PREPARED = 0x02;
inline constexpr DWORD WHDR_INQUEUE = 0x10;

inline constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
// The capture format: PCM, 8-bit unsigned or 16-bit signed little-endian,
// channels interleaved.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)

// One capture buffer. The caller owns the header and lpData; between
// waveInAddBuffer and its MM_WIM_DATA the service writes lpData and
// dwBytesRecorded, and the caller must not touch either.
struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

// What waveInGetDevCaps reports of a device.
struct WAVEINCAPS {
    std::string szPname; // full name as the audio library reports it, UTF-8
    WORD wChannels;      // most input channels the device offers
    // Ours: what a sound-file input makes of its file, which has dwSourceRate frames per second
    // (0: the device is no file) and wSourceChannels channels, of which it records
    // wSourceChannel (0: a mix of all).
    DWORD dwSourceRate = 0;
    WORD wSourceChannels = 0;
    WORD wSourceChannel = 0;
};

// Counters of one open input since its waveInOpen (ours).
struct WaveInStatistics {
    std::uint64_t droppedFrames;   // frames that arrived while no buffer was queued
    std::uint64_t deviceOverflows; // overflows the audio library reported
    std::uint64_t framesDelivered; // every frame the device delivered, dropped ones included
    std::uint64_t repairedSamples; // samples that were not finite numbers, recorded as clamped
};

} // namespace capture
