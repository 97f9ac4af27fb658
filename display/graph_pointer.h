#pragma once
// The mouse over a graph: where it is, a click (pressed and let go without
// moving more than kDragDistance pixels), a drag of the left button from one
// column to another, a double click, and its leaving. Watches a widget
// through an event filter and turns on its mouse tracking; positions are the
// widget's pixels. UI thread only; the widget (its Qt parent) owns it.

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace display {

class GraphPointer : public QObject {
    Q_OBJECT

public:
    static constexpr int kDragDistance = 4;

    explicit GraphPointer(QWidget* widget);

    std::function<void(QPoint)> moved;
    std::function<void()> left;
    std::function<void(QPoint)> clicked;
    // During a drag, from where it began to where the mouse is; finished on
    // the release.
    std::function<void(QPoint from, QPoint to, bool finished)> dragged;
    // A double click: its first click has been reported already.
    std::function<void(QPoint)> doubleClicked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint pressedAt_;
    bool pressed_ = false;
    bool dragging_ = false;
};

} // namespace display
