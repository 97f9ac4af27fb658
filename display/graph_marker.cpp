#include "graph_marker.h"

#include <QPainter>
#include <QPolygon>

namespace display {

GraphMarker::GraphMarker(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(2 * kRadius + 1, 2 * kRadius + 1);
    hide();
}

void GraphMarker::showAt(QPoint at)
{
    move(at - QPoint(kRadius, kRadius));
    raise();
    show();
}

void GraphMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int r = kRadius;
    const QPolygon diamond({QPoint(r, 0), QPoint(2 * r, r), QPoint(r, 2 * r), QPoint(0, r)});
    // Magenta with a black edge reads on the dark and the light graphs.
    painter.setPen(Qt::black);
    painter.setBrush(QColor(255, 0, 255));
    painter.drawPolygon(diamond);
}

} // namespace display
