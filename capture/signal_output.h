#pragma once
// The generator's output: PortAudio's output devices, and one output stream
// that plays a test signal on one of them, faded in and out (see
// generator_render.h). It runs beside any capture, on its own stream.
// UI thread only, except the stream callbacks inside the implementation.

#include "stall_watch.h"
#include "test_signal_params.h"
#include "wake_pipe.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace capture {

struct OutputDeviceInfo {
    std::string name;
    int maxOutputChannels = 0;
};

// PortAudio's output devices in its order, from the device list's latest scan
// (rescanned as DeviceList::count() does); defaultIndex receives the position
// of the system's default output, or -1.
std::vector<OutputDeviceInfo> outputDevices(int& defaultIndex);

class SignalOutput {
public:
    SignalOutput();
    ~SignalOutput(); // stops, with the fade
    SignalOutput(const SignalOutput&) = delete;
    SignalOutput& operator=(const SignalOutput&) = delete;

    // Stops what plays, then plays the signal (its level included) on the
    // output device of that name, or the system's default for an empty name,
    // at rate frames per second: mono on a one-channel device, else the same
    // samples on the first two channels. False, with the reason in error, when
    // the signal or the device refuses.
    bool start(const std::string& deviceName, const TestSignalParams& params, double rate,
               std::string& error);
    // Ramps to the level (dBFS, as in the signal's parameters).
    void setLevel(double levelDb);
    // Fades out, lets the fade reach the device, closes it. Returns after at
    // most about a second even when the device has stopped taking samples.
    void stop();

    bool playing() const { return stream_ != nullptr; }
    int channels() const;
    // Times the device ran out of samples since the start, and the frames it
    // has taken.
    std::uint64_t underflows() const;
    std::uint64_t framesPlayed() const;

    // Called on the UI thread when the device stopped on its own while
    // playing, or took no samples for StallWatch::kGiveUpMs (a frozen sound
    // server, an audio library stuck on a lost device); the output is closed
    // by then. It must not start the output
    // again itself (it runs inside the wake-up's notification); a later
    // event may.
    void setOnFailure(std::function<void(const std::string& reason)> onFailure)
    {
        onFailure_ = std::move(onFailure);
    }

private:
    struct Stream;
    void close(bool fade);
    void checkFailure();
    void watchForStall();
    void retire();
    void closeRetired();

    std::unique_ptr<Stream> stream_;
    // Streams given up for taking no samples, each aborted on a thread of its own.
    std::vector<std::shared_ptr<Stream>> retired_;
    WakePipe wake_;
    StallWatch stallWatch_;
    std::unique_ptr<QTimer> stallTimer_;
    std::function<void(const std::string&)> onFailure_;
};

} // namespace capture
