#pragma once
// The status line under the main window: which input records, at what rate, how many blocks
// came and how many were lost for want of a queued buffer, whether the device has stopped
// delivering, and what a sound-file input does to its file. The text is a pure function of
// these facts. UI thread only.

#include "capture/wavein_types.h"

#include <QString>

#include <cstdint>

namespace app {

struct CaptureFacts {
    QString device; // the input's name as the list shows it
    capture::DWORD rate = 0;
    bool running = false;
    int blocks = 0; // blocks handled in the current (or last) capture
    std::uint64_t droppedFrames = 0;
    std::uint64_t overflows = 0;
    std::uint64_t repairedSamples = 0;
    bool stalled = false;
    int blockFrames = 8192;
    capture::WAVEINCAPS source{}; // what a sound-file input makes of its file
};

// Blocks' worth of dropped frames, a part block counting as one: a gap of any length is lost
// measurement.
std::uint64_t droppedBlocks(std::uint64_t droppedFrames, int blockFrames);

// "Eingang: … · 48000 Hz · Block 12 · verloren: 0 Blöcke …"
QString statusText(const CaptureFacts& facts);

} // namespace app
