#pragma once
// A line of text that repaints only its own pixels when the text changes.
// A QLabel asks its parent's layout to lay everything out again on each new
// text, which for a status line changing a few times a second costs more
// than the rest of the window's updates; this one keeps its size hint (one
// line of its font high, no width of its own), so a new text is a repaint of
// the line alone. Text beyond its width is clipped. UI thread only.

#include "word_cache.h"

#include <QString>
#include <QWidget>

namespace display {

class TextLine : public QWidget {
public:
    explicit TextLine(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString text_;
    WordCache words_;
};

} // namespace display
