#pragma once
// Whether a capture device still delivers: from the count of frames it has delivered, sampled
// now and then, a device is Starting (nothing yet, within the start-up grace), Flowing, Stalled
// (nothing for more than two blocks' time, or for the whole grace at the start) or Lost (nothing
// for kGiveUpMs: the capture is to end). Plain arithmetic on milliseconds; any thread.

#include <cstdint>

namespace capture {

class StallWatch {
public:
    enum class State { Starting, Flowing, Stalled, Lost };

    // A sound server can take about 2 s to deliver the first frames of a capture.
    static constexpr long long kStartUpMs = 2500;
    // A device silent this long has gone, like one that was unplugged.
    static constexpr long long kGiveUpMs = 5000;

    // A capture of blocks of `blockMs` each started at `nowMs`; `giveUpMs` replaces kGiveUpMs.
    void start(double blockMs, long long nowMs, long long giveUpMs = kGiveUpMs);
    // The state with `framesDelivered` (a count that only grows) seen at `nowMs`.
    State update(long long nowMs, std::uint64_t framesDelivered);
    State state() const { return state_; }
    // How long the device has delivered nothing, as of the last update.
    long long silentMs() const { return silentMs_; }

    // A monotonic clock in milliseconds, for the `nowMs` arguments.
    static long long clockMs();

private:
    double blockMs_ = 0;
    long long giveUpMs_ = kGiveUpMs;
    long long lastProgressMs_ = 0;
    long long silentMs_ = 0;
    std::uint64_t frames_ = 0;
    bool delivered_ = false;
    State state_ = State::Starting;
};

} // namespace capture
