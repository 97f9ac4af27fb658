#pragma once
// Wakes the UI thread from a device's thread: a non-blocking pipe whose read
// end a QSocketNotifier watches. Created, closed and handled on the UI thread;
// wake() may be called from any thread.

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace capture {

class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    // Creates the pipe; onWake runs on the UI thread's event loop after one or
    // more wake() calls, which it sees as one. False, with the reason in
    // detail, when no pipe can be made.
    bool open(std::function<void()> onWake, std::string& detail);
    // No onWake after this, and wake() does nothing.
    void close();
    // Allocates nothing, calls no Qt, never blocks.
    void wake() noexcept;
    // Reads away pending wake-ups (onWake does so itself first).
    void drain() noexcept;

private:
    int read_ = -1;
    int write_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace capture
