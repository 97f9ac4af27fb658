#include "text_line.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

namespace display {

TextLine::TextLine(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // It fills its own background, so a new text repaints no parent.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextLine::setText(const QString& text)
{
    if (text == text_)
        return;
    const WordCache::Columns changed = words_.changedColumns(font(), text_, text);
    text_ = text;
    setAccessibleName(text_);
    update(QRect(changed.left, 0, changed.right - changed.left, height()));
}

QSize TextLine::sizeHint() const
{
    return QSize(0, fontMetrics().height());
}

void TextLine::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect r = event->rect();
    painter.fillRect(r, palette().brush(backgroundRole()));
    painter.setPen(palette().color(foregroundRole()));
    // Centred on the height, as a single line aligned to the middle stands.
    words_.draw(painter, QPointF(0, (height() - fontMetrics().height()) / 2), text_, r.left(),
                r.right() + 1);
}

void TextLine::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Only a new font changes the height.
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

} // namespace display
