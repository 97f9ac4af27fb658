#include "first_paint_report.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace app {
namespace {

class FirstPaintWatcher final : public QObject {
public:
    explicit FirstPaintWatcher(QWidget& window) : QObject(&window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: the window's whole repaint and its flush to the server
            // finish before the stamp is taken.
            QTimer::singleShot(0, this, [this] {
                timespec now{};
                ::clock_gettime(CLOCK_REALTIME, &now);
                std::fprintf(stderr, "first-paint-epoch-us %lld\n",
                             static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
                std::fflush(stderr);
                deleteLater();
            });
        }
        return false;
    }
};

} // namespace

void reportFirstPaintIfAsked(QWidget& window)
{
    if (!std::getenv("SPECTRION_REPORT_FIRST_PAINT"))
        return;
    window.installEventFilter(new FirstPaintWatcher(window)); // the window owns it
}

} // namespace app
