#include "canvas.h"

#include "colour_map.h"
#include "line_raster.h"

#include <QGuiApplication>

#include <algorithm>
#include <utility>

namespace display {

Canvas::Canvas()
    : penColor_(engine::clBlack), penRgb_(toQRgb(engine::clBlack)), brushColor_(engine::clWhite),
      brushRgb_(toQRgb(engine::clWhite)), font_(QGuiApplication::font()),
      fontColor_(engine::clWindowText)
{
}

void Canvas::setTarget(QImage* image, const QRect& area, CanvasListener* listener, int scale)
{
    image_ = image;
    area_ = area;
    listener_ = listener;
    scale_ = std::max(scale, 1);
}

QRect Canvas::toImage(const QRect& r) const
{
    if (scale_ == 1 || r.isEmpty())
        return r;
    return QRect(r.x() * scale_, r.y() * scale_, r.width() * scale_, r.height() * scale_);
}

void Canvas::setPenColor(engine::TColor colour)
{
    penColor_ = colour;
    penRgb_ = toQRgb(colour);
}

void Canvas::setBrushColor(engine::TColor colour)
{
    brushColor_ = colour;
    brushRgb_ = toQRgb(colour);
    brushStyle_ = BrushStyle::Solid;
}

void Canvas::setFontColor(engine::TColor colour)
{
    fontColor_ = colour;
}

QRect Canvas::clipRect() const
{
    if (!image_)
        return {};
    // Plain integer arithmetic: this runs for every line of a curve.
    const int k = scale_;
    return QRect(QPoint(std::max(area_.left() * k, 0), std::max(area_.top() * k, 0)),
                 QPoint(std::min((area_.right() + 1) * k - 1, image_->width() - 1),
                        std::min((area_.bottom() + 1) * k - 1, image_->height() - 1)));
}

void Canvas::changed(const QRect& imageRect)
{
    if (imageRect.isEmpty())
        return;
    if (changed_.isEmpty()) {
        changed_ = imageRect;
        if (listener_)
            listener_->canvasChanged();
        return;
    }
    // QRect's union is a library call; this runs for every line of a curve.
    changed_.setCoords(std::min(changed_.left(), imageRect.left()),
                       std::min(changed_.top(), imageRect.top()),
                       std::max(changed_.right(), imageRect.right()),
                       std::max(changed_.bottom(), imageRect.bottom()));
}

QRect Canvas::takeChanged()
{
    return std::exchange(changed_, QRect());
}

void Canvas::LineTo(int x, int y)
{
    const QPoint from = penPos_;
    penPos_ = QPoint(x, y);
    const QRect clip = clipRect();
    if (clip.isEmpty())
        return;
    const std::int64_t ox = area_.left();
    const std::int64_t oy = area_.top();
    auto* bits = reinterpret_cast<std::uint32_t*>(image_->bits());
    const std::int64_t stride = image_->bytesPerLine() / 4;
    const int k = scale_;
    if (k == 1) {
        changed(
            rasterLine(bits, stride, clip, from.x() + ox, from.y() + oy, x + ox, y + oy, penRgb_));
        return;
    }
    // Every canvas pixel is a k x k block: the same line k^2 times, each
    // through one of the block's pixels.
    const QRect blocks(QPoint((clip.left() + k - 1) / k, (clip.top() + k - 1) / k),
                       QPoint((clip.right() + 1) / k - 1, (clip.bottom() + 1) / k - 1));
    if (blocks.isEmpty())
        return;
    QRect set;
    for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i)
            set = rasterLine(bits + j * stride + i, stride * k, blocks, from.x() + ox,
                             from.y() + oy, x + ox, y + oy, penRgb_, k);
    changed(toImage(set));
}

// Fills [left, right) × [top, bottom), given in image coordinates, clipped.
void Canvas::fillImageRect(std::int64_t left, std::int64_t top, std::int64_t right,
                           std::int64_t bottom, QRgb colour)
{
    const QRect clip = clipRect();
    if (clip.isEmpty())
        return;
    if (scale_ != 1) {
        left *= scale_;
        top *= scale_;
        right *= scale_;
        bottom *= scale_;
    }
    const int l = int(std::max<std::int64_t>(left, clip.left()));
    const int t = int(std::max<std::int64_t>(top, clip.top()));
    const int r = int(std::min<std::int64_t>(right, clip.right() + 1));
    const int b = int(std::min<std::int64_t>(bottom, clip.bottom() + 1));
    if (l >= r || t >= b)
        return;
    auto* bits = reinterpret_cast<QRgb*>(image_->bits());
    const qsizetype stride = image_->bytesPerLine() / 4;
    for (int row = t; row < b; ++row)
        std::fill(bits + row * stride + l, bits + row * stride + r, colour);
    changed(QRect(QPoint(l, t), QPoint(r - 1, b - 1)));
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    if (x1 == x2 || y1 == y2)
        return;
    const std::int64_t l = std::int64_t(x1) + area_.left();
    const std::int64_t t = std::int64_t(y1) + area_.top();
    const std::int64_t r = std::int64_t(x2) + area_.left();
    const std::int64_t b = std::int64_t(y2) + area_.top();
    if (brushStyle_ == BrushStyle::Solid)
        fillImageRect(l + 1, t + 1, r - 1, b - 1, brushRgb_);
    fillImageRect(l, t, r, t + 1, penRgb_);
    fillImageRect(l, b - 1, r, b, penRgb_);
    fillImageRect(l, t, l + 1, b, penRgb_);
    fillImageRect(r - 1, t, r, b, penRgb_);
}

void Canvas::FillRect(const Rect& rect)
{
    if (brushStyle_ == BrushStyle::Clear)
        return;
    fillImageRect(std::int64_t(rect.Left) + area_.left(), std::int64_t(rect.Top) + area_.top(),
                  std::int64_t(rect.Right) + area_.left(), std::int64_t(rect.Bottom) + area_.top(),
                  brushRgb_);
}

engine::TColor Canvas::Pixels(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return 0xFFFFFFFFu;
    const QPoint p((area_.left() + x) * scale_, (area_.top() + y) * scale_);
    if (!clipRect().contains(p))
        return 0xFFFFFFFFu;
    return fromQColor(QColor::fromRgb(image_->pixel(p)));
}

} // namespace display
