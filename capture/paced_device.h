#pragma once
// A virtual input device: records a SignalSource in real time, paced by a
// thread of its own that delivers a few milliseconds of frames at a time on
// a fixed schedule, like a sound card's driver. Unpaced, the thread delivers
// the same chunks as fast as the queued buffers take them, losing none: for
// analysing a recording faster than it plays.

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
    MMRESULT open(const WAVEFORMATEX& format, FrameSink& sink, std::unique_ptr<OpenInput>& input,
                  std::string& detail) override;

    // Frames delivered at a time: 5 ms at the opened rate.
    static int chunkFrames(DWORD rate);

private:
    std::string name_;
    SourceFactory factory_;
    bool paced_;
    WAVEINCAPS source_;
};

} // namespace capture
