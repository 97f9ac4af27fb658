#include "shape.h"

#include "colour_map.h"

#include <QPainter>

#include <algorithm>

namespace display {

Shape::Shape(QWidget* parent, ShapeType type) : QWidget(parent), type_(type) {}

void Shape::setShapeType(ShapeType type)
{
    type_ = type;
    update();
}

void Shape::setBrushColor(engine::TColor colour)
{
    brushColor_ = colour;
    brushStyle_ = BrushStyle::Solid;
    update();
}

void Shape::setBrushStyle(BrushStyle style)
{
    brushStyle_ = style;
    update();
}

void Shape::setPenColor(engine::TColor colour)
{
    penColor_ = colour;
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    if (width() < 1 || height() < 1)
        return;
    QPainter painter(this);
    const QPen pen(toQColor(penColor_), 0); // cosmetic: one pixel wide
    if (type_ == ShapeType::Rectangle) {
        // The outline on the outermost pixels, the fill inside it.
        if (brushStyle_ == BrushStyle::Solid && width() > 2 && height() > 2)
            painter.fillRect(rect().adjusted(1, 1, -1, -1), toQColor(brushColor_));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    // Corners rounded by an eighth of the shorter side, smoothed.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    if (brushStyle_ == BrushStyle::Solid)
        painter.setBrush(toQColor(brushColor_));
    else
        painter.setBrush(Qt::NoBrush);
    const qreal radius = std::min(width(), height()) / 8.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

} // namespace display
