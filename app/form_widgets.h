// Small builders for the fixed-pixel form layout the pages share.
#pragma once

#include "form_layout.h"

#include <QLabel>
#include <QResizeEvent>
#include <QString>
#include <QWidget>

#include <functional>

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

// A menu text with an access letter: "&" before the first `letter` in `text`
// (any case), or in front when the text holds none.
inline QString withAccessKey(const QString& text, QChar letter)
{
    const qsizetype at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    QString marked = text;
    marked.insert(at < 0 ? 0 : at, QLatin1Char('&'));
    return marked;
}

// The window's client area or one of its pages: a plain widget that wants
// `hint` and calls onResize after every change of its size, so that its
// controls follow (form_layout.h).
class FormArea : public QWidget {
public:
    explicit FormArea(QSize hint, QWidget* parent = nullptr) : QWidget(parent), hint_(hint) {}
    std::function<void()> onResize;
    QSize sizeHint() const override { return hint_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (onResize)
            onResize();
    }

private:
    QSize hint_;
};

} // namespace app
