#pragma once
// The wave-input service: enumerates input devices and records from one into
// caller-owned buffers, filled strictly in the order they were queued, each
// completely, and handed back by posting MM_WIM_DATA to a callback QObject.
// MM_WIM_OPEN follows a successful open, MM_WIM_CLOSE the close, MM_WIM_FAULT
// a device that fails while recording (see wavein_types.h, wavein_event.h).
//
// Threads: every function is called on one thread with a Qt event loop (the
// UI thread); the callback object lives there too. The audio library's thread
// only copies frames into queued buffers.
//
// Device identifiers: 0 .. waveInGetNumDevs() - 1 index the devices with input
// channels, PortAudio's first, then the virtual ones; WAVE_MAPPER is the
// system's default input.
//
// Every failing call returns a code; waveInGetErrorText gives its text, with
// the particulars of the last failure of that code appended.

#include "wavein_types.h"

#include <string>

class QObject;

namespace capture {

UINT waveInGetNumDevs();
MMRESULT waveInGetDevCaps(UINT uDeviceID, WAVEINCAPS* pwic);

// Opens the device for the PCM format. With CALLBACK_WINDOW, notifications are
// posted to dwCallback, which must outlive the last of them (MM_WIM_CLOSE);
// without it nothing is posted. dwInstance is not used.
// Ours: cbBlock, when not 0, is the size in bytes of the buffers the caller
// will queue; the device then delivers in periods that fit them instead of
// its own short ones, so it and the sound server wake up a few times per
// buffer rather than hundreds of times a second.
MMRESULT waveInOpen(HWAVEIN* phwi, UINT uDeviceID, const WAVEFORMATEX* pwfx, QObject* dwCallback,
                    DWORD_PTR dwInstance, DWORD fdwOpen, DWORD cbBlock = 0);

// cbwh is sizeof(WAVEHDR).
MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
// Refused (WAVERR_STILLPLAYING) while the buffer is queued.
MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
// Queues a prepared buffer; it comes back full, or with what it holds after a
// reset or a fault.
MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveInStart(HWAVEIN hwi);
// Stops recording and hands back every queued buffer at once, in queue order.
MMRESULT waveInReset(HWAVEIN hwi);
// Refused (WAVERR_STILLPLAYING) while buffers are queued. The handle is
// invalid afterwards.
MMRESULT waveInClose(HWAVEIN hwi);
// Writes at most cchText - 1 characters and a NUL.
MMRESULT waveInGetErrorText(MMRESULT mmrError, char* pszText, UINT cchText);

// Ours: frames dropped for lack of a queued buffer, and device overflows.
MMRESULT waveInGetStatistics(HWAVEIN hwi, WaveInStatistics* statistics);

// Ours: what the audio library and the libraries below it reported while the devices were last
// looked for (their messages, and why the library could not start), for the details of a
// message; empty when they had nothing to say.
std::string waveInGetDiagnostics();

} // namespace capture
