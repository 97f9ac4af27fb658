#include "graph_pointer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace display {

GraphPointer::GraphPointer(QWidget* widget) : QObject(widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool GraphPointer::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (pressed_ && !dragging_ && (at - pressedAt_).manhattanLength() > kDragDistance)
            dragging_ = true;
        if (dragging_ && dragged)
            dragged(pressedAt_, at, false);
        if (moved)
            moved(at);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            pressed_ = true;
            dragging_ = false;
            pressedAt_ = e->position().toPoint();
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !pressed_)
            break;
        pressed_ = false;
        if (dragging_) {
            dragging_ = false;
            if (dragged)
                dragged(pressedAt_, e->position().toPoint(), true);
        } else if (clicked) {
            clicked(pressedAt_);
        }
        break;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && doubleClicked)
            doubleClicked(e->position().toPoint());
        // Its release is no click of its own.
        pressed_ = false;
        break;
    }
    case QEvent::Leave:
        if (left)
            left();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace display
