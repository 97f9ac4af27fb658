#include "wake_pipe.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace capture {

WakePipe::WakePipe() = default;

WakePipe::~WakePipe()
{
    close();
}

bool WakePipe::open(std::function<void()> onWake, std::string& detail)
{
    close();
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        detail = std::string("cannot create the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    read_ = fds[0];
    write_ = fds[1];
    notifier_ = std::make_unique<QSocketNotifier>(read_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this, onWake = std::move(onWake)] {
                         drain();
                         onWake();
                     });
    return true;
}

void WakePipe::close()
{
    notifier_.reset();
    for (int* fd : {&read_, &write_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void WakePipe::wake() noexcept
{
    const char byte = 1;
    // A full pipe already holds a pending wake-up, so a failed write loses nothing.
    if (write_ >= 0 && ::write(write_, &byte, 1) < 0) {
    }
}

void WakePipe::drain() noexcept
{
    if (read_ < 0)
        return;
    char sink[64];
    while (::read(read_, sink, sizeof sink) > 0) {
    }
}

} // namespace capture
