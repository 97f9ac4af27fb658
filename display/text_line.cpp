#include "text_line.h"

#include <QEvent>
#include <QPainter>

namespace display {

TextLine::TextLine(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TextLine::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    setAccessibleName(text_);
    update();
}

QSize TextLine::sizeHint() const
{
    return QSize(0, fontMetrics().height());
}

void TextLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    // Centred on the height, as a single line aligned to the middle stands.
    words_.draw(painter, QPointF(0, (height() - fontMetrics().height()) / 2), text_);
}

void TextLine::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Only a new font changes the height.
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

} // namespace display
