#pragma once
// A virtual input device: records a SignalSource in real time, paced by a
// thread of its own that renders and delivers a caller's block at a time on
// a fixed schedule (each block when its last frame is due) and sleeps in
// between, like a sound card's driver with periods of a block. Unpaced, the
// thread delivers the same chunks as fast as the queued buffers take them,
// losing none: for analysing a recording faster than it plays.

#include "input_device.h"
#include "signal_source.h"

#include <string>

namespace capture {

class PacedDevice final : public InputDevice {
public:
    // source: what the device makes of its source, as waveInGetDevCaps reports it.
    PacedDevice(std::string name, SourceFactory factory, bool paced = true,
                const WAVEINCAPS& source = {});

    std::string name() const override { return name_; }
    int maxInputChannels() const override { return 2; }
    void describeSource(WAVEINCAPS& caps) const override;
    MMRESULT open(const WAVEFORMATEX& format, DWORD blockFrames, FrameSink& sink,
                  std::unique_ptr<OpenInput>& input, std::string& detail) override;

    // Frames rendered and delivered at a time: the caller's block, at most a
    // second of frames; 5 ms when the block is not known (0).
    static int chunkFrames(DWORD rate, DWORD blockFrames);

private:
    std::string name_;
    SourceFactory factory_;
    bool paced_;
    WAVEINCAPS source_;
};

} // namespace capture
