#include "stall_watch.h"

#include <chrono>

namespace capture {

long long StallWatch::clockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void StallWatch::start(double blockMs, long long nowMs, long long giveUpMs)
{
    *this = StallWatch();
    blockMs_ = blockMs;
    giveUpMs_ = giveUpMs;
    lastProgressMs_ = nowMs;
}

StallWatch::State StallWatch::update(long long nowMs, std::uint64_t framesDelivered)
{
    if (framesDelivered != frames_) {
        frames_ = framesDelivered;
        delivered_ = true;
        lastProgressMs_ = nowMs;
    }
    silentMs_ = nowMs - lastProgressMs_;
    const double stallMs = delivered_ ? 2 * blockMs_ : double(kStartUpMs);
    if (silentMs_ >= giveUpMs_)
        state_ = State::Lost;
    else if (double(silentMs_) > stallMs)
        state_ = State::Stalled;
    else
        state_ = delivered_ ? State::Flowing : State::Starting;
    return state_;
}

} // namespace capture
