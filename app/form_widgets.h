// Small builders for the fixed-pixel form layout the pages share.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace app {

// Places a widget at a fixed position and size in its parent; returns it for chaining.
template <class W>
W* place(W* widget, int left, int top, int width, int height)
{
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A label at (left, top), sized to its text. The parent owns it.
inline QLabel* label(QWidget* parent, const QString& text, int left, int top)
{
    auto* l = new QLabel(text, parent);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace app
