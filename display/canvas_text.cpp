// Text on a canvas, drawn with QPainter into the canvas image.

#include "canvas.h"

#include "colour_map.h"

#include <QFontMetrics>
#include <QPainter>

namespace display {
namespace {

// Metrics for the device the text is drawn on, so widths match what is drawn.
QFontMetrics metricsFor(const QFont& font, const QImage* image)
{
    return image && !image->isNull() ? QFontMetrics(font, image) : QFontMetrics(font);
}

} // namespace

void Canvas::TextOut(int x, int y, const QString& text)
{
    TextOutRotated(x, y, text, 0.0);
}

void Canvas::TextOutRotated(int x, int y, const QString& text, double angleDegrees)
{
    const QFontMetrics metrics = metricsFor(font_, image_);
    const int w = metrics.horizontalAdvance(text);
    penPos_ = QPoint(x + w, y);
    const QRect clip = clipRect();
    if (clip.isEmpty() || text.isEmpty())
        return;
    const QRect cell(0, 0, w, metrics.height());

    QPainter painter(image_);
    painter.setClipRect(clip);
    painter.translate((double(area_.left()) + x) * scale_, (double(area_.top()) + y) * scale_);
    // At a larger scale the glyphs are drawn at the image's resolution.
    painter.scale(scale_, scale_);
    painter.rotate(-angleDegrees); // QPainter turns clockwise on a y-down screen
    if (brushStyle_ == BrushStyle::Solid)
        painter.fillRect(cell, QColor::fromRgb(brushRgb_));
    painter.setFont(font_);
    painter.setPen(toQColor(fontColor_));
    painter.drawText(QPoint(0, metrics.ascent()), text);
    // Glyphs may overhang their cell by a little (italics, antialiased edges).
    const int margin = metrics.height() / 2 + 1;
    const QRect touched =
        painter.transform().mapRect(cell.adjusted(-margin, -margin, margin, margin));
    painter.end();
    changed(touched.intersected(clip));
}

int Canvas::TextWidth(const QString& text) const
{
    return metricsFor(font_, image_).horizontalAdvance(text);
}

int Canvas::TextHeight(const QString& text) const
{
    Q_UNUSED(text); // one line of text is always one cell high
    return metricsFor(font_, image_).height();
}

} // namespace display
