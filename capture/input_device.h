#pragma once
// The driver side of the wave-input service: a device that can be opened in a
// format and then delivers frames to a sink from a thread of its own.

#include "wavein_types.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace capture {

// Receives what an open input produces. Called only on the device's thread,
// never after OpenInput::stop() has returned. Implementations allocate
// nothing and call no Qt.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // bytes: whole frames in the opened format.
    virtual void deliver(const std::uint8_t* bytes, std::size_t count) noexcept = 0;
    // The device lost frames before they reached us.
    virtual void noteOverflow() noexcept = 0;
    // count samples of the source were not finite numbers and were clamped (NaN to 0).
    virtual void noteRepairedSamples(std::size_t count) noexcept = 0;
    // The device stopped for good; reason is copied (at most 255 bytes kept).
    virtual void fail(const char* reason) noexcept = 0;
    // For a device without a clock of its own, which delivers only what can
    // be taken: waits at most `timeout` until the queued buffers have room
    // for `bytes`; true when they have. A sink that never runs out of room
    // returns true at once.
    virtual bool waitForRoom(std::size_t bytes, std::chrono::milliseconds timeout) noexcept
    {
        (void)bytes;
        (void)timeout;
        return true;
    }
};

// An opened device. Created stopped; start and stop may alternate. UI thread.
class OpenInput {
public:
    virtual ~OpenInput() = default; // stops if running and releases the device
    // On failure returns a code and puts a readable reason into detail.
    virtual MMRESULT start(std::string& detail) = 0;
    // Synchronous: when it returns, the sink is called no more.
    virtual void stop() = 0;
};

// The frames a device delivers at a time for a caller's buffers of
// blockFrames frames at `rate` frames/s: a whole buffer, since the caller
// can do nothing with less, but at most a second's worth; 0 when the buffer
// size is not known.
inline DWORD periodFramesFor(DWORD blockFrames, DWORD rate)
{
    return blockFrames < rate ? blockFrames : rate;
}

// A device of the list. Its methods run on the UI thread.
class InputDevice {
public:
    virtual ~InputDevice() = default;
    virtual std::string name() const = 0;
    virtual int maxInputChannels() const = 0;
    // Fills the fields of caps that tell what the device makes of its source (see WAVEINCAPS);
    // devices that record as they are leave them.
    virtual void describeSource(WAVEINCAPS& caps) const { (void)caps; }
    // Opens the device for the format (already checked to be 8/16-bit PCM with
    // 1 or 2 channels and a positive rate). blockFrames is the size of the
    // buffers the caller fills, 0 when unknown: a device that knows it
    // delivers in periods of that size or a whole fraction of it. The sink
    // must outlive the input. On failure returns a code and puts a readable
    // reason into detail.
    virtual MMRESULT open(const WAVEFORMATEX& format, DWORD blockFrames, FrameSink& sink,
                          std::unique_ptr<OpenInput>& input, std::string& detail) = 0;
};

} // namespace capture
