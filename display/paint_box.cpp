#include "paint_box.h"

#include "colour_map.h"
#include "image_resize.h"

#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <exception>

namespace display {
namespace {

constexpr int kRowsPerCopy = 64;

} // namespace

PaintBox::PaintBox(QWidget* parent) : QWidget(parent), laidOver_(false)
{
    // Every pixel comes from the image: Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.setFont(font());
    syncGeometry();
}

PaintBox::PaintBox(QWidget* parent, PaintBox* beneath)
    : QWidget(parent), laidOver_(true), beneath_(beneath)
{
    Q_ASSERT(beneath);
    beneath_->uppers_.emplace_back(this);
    canvas_.setFont(font());
    syncGeometry();
}

PaintBox::~PaintBox()
{
    for (const QPointer<PaintBox>& upper : uppers_)
        if (upper)
            upper->canvas_.setTarget(nullptr, QRect(), nullptr);
    if (beneath_) {
        auto& list = beneath_->uppers_;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [this](const QPointer<PaintBox>& p) { return !p || p == this; }),
                   list.end());
    }
}

Canvas& PaintBox::canvas()
{
    syncGeometry();
    return canvas_;
}

void PaintBox::setPaintHandler(std::function<void()> handler)
{
    paintHandler_ = std::move(handler);
}

const QImage& PaintBox::image() const
{
    return beneath_ ? beneath_->image_ : image_;
}

QPoint PaintBox::offsetInBeneath() const
{
    if (parentWidget() == beneath_->parentWidget())
        return pos() - beneath_->pos();
    if (window() == beneath_->window())
        return mapTo(window(), QPoint()) - beneath_->mapTo(window(), QPoint());
    return beneath_->mapFromGlobal(mapToGlobal(QPoint()));
}

// Qt delivers resize and move events of hidden widgets only when they are
// shown, so the canvas follows the geometry itself whenever it is asked for.
void PaintBox::syncGeometry()
{
    if (laidOver_) {
        if (!beneath_)
            return; // the lower box is gone: draws nowhere
        beneath_->syncGeometry();
        const QRect area(offsetInBeneath(), size());
        if (canvas_.image() != &beneath_->image_ || canvas_.area() != area ||
            canvas_.scale() != beneath_->scale_) {
            canvas_.setTarget(&beneath_->image_, area, beneath_.data(), beneath_->scale_);
            beneath_->Invalidate();
        }
        return;
    }
    const int k = deviceScale();
    if (image_.size() != size() * k || canvas_.image() != &image_ || k != scale_) {
        if (k != scale_)
            image_ = QImage(); // pixels of another scale
        scale_ = k;
        resizeKeepingPixels(image_, size() * k, toQRgb(eraseColor_));
        canvas_.setTarget(&image_, rect(), this, k);
        needsRepaint_ = true;
    }
}

int PaintBox::deviceScale() const
{
    return std::max(1, static_cast<int>(std::ceil(devicePixelRatioF() - 1e-6)));
}

QRect PaintBox::toWidget(const QRect& imageRect) const
{
    if (scale_ == 1 || imageRect.isEmpty())
        return imageRect;
    return QRect(QPoint(imageRect.left() / scale_, imageRect.top() / scale_),
                 QPoint(imageRect.right() / scale_, imageRect.bottom() / scale_));
}

void PaintBox::Repaint()
{
    if (laidOver_) {
        if (beneath_)
            beneath_->Repaint();
        return;
    }
    syncGeometry();
    if (!isVisible()) {
        needsRepaint_ = true;
        return;
    }
    repaintNow();
    update();
}

void PaintBox::Invalidate()
{
    if (laidOver_) {
        if (beneath_)
            beneath_->Invalidate();
        return;
    }
    needsRepaint_ = true;
    update();
}

void PaintBox::repaintNow()
{
    needsRepaint_ = false;
    if (repainting_)
        return; // a handler asking for a repaint of the box it is painting
    repainting_ = true;
    if (!image_.isNull())
        image_.fill(toQRgb(eraseColor_));
    runPaintHandler();
    for (std::size_t i = 0; i < uppers_.size(); ++i) // a handler may add boxes
        if (PaintBox* upper = uppers_[i])
            upper->runPaintHandler();
    repainting_ = false;
}

void PaintBox::runPaintHandler()
{
    if (!paintHandler_)
        return;
    syncGeometry();
    canvas_.setFont(font());
    // Nothing may be thrown through Qt's event loop.
    try {
        paintHandler_();
    } catch (const std::exception& e) {
        qWarning("paint handler failed: %s", e.what());
    } catch (...) {
        qWarning("paint handler failed");
    }
}

void PaintBox::canvasChanged()
{
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { flush(); }, Qt::QueuedConnection);
    }
}

void PaintBox::flush()
{
    flushPosted_ = false;
    QRect changed = canvas_.takeChanged();
    for (const QPointer<PaintBox>& upper : uppers_)
        if (upper)
            changed |= upper->canvas_.takeChanged();
    if (!changed.isEmpty())
        update(toWidget(changed));
}

void PaintBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (laidOver_)
        Invalidate();
    else
        needsRepaint_ = true;
}

void PaintBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    syncGeometry();
}

void PaintBox::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    syncGeometry();
    for (const QPointer<PaintBox>& upper : uppers_)
        if (upper)
            upper->syncGeometry();
}

void PaintBox::paintEvent(QPaintEvent* event)
{
    if (laidOver_)
        return; // the lower box paints these pixels
    syncGeometry();
    if (needsRepaint_) {
        repaintNow();
        // This paint shows what the handlers drew; only a partial paint
        // needs another for the rest.
        canvas_.takeChanged();
        for (const QPointer<PaintBox>& upper : uppers_)
            if (upper)
                upper->canvas_.takeChanged();
        if (!event->rect().contains(rect()))
            update();
    }
    QPainter painter(this);
    // The image holds the device's pixels; at a ratio that is not whole
    // they are shown to the nearest, never blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // In bands of device rows: Qt hands a copy of more than about a hundred
    // rows to its thread pool, whose threads then wake for every block's paint.
    const int rows = std::max(1, kRowsPerCopy / scale_);
    const QRect r = event->rect();
    for (int top = r.top(); top <= r.bottom(); top += rows) {
        const QRect band(r.left(), top, r.width(), std::min(rows, r.bottom() + 1 - top));
        painter.drawImage(band, image_, QRect(band.topLeft() * scale_, band.size() * scale_));
    }
}

} // namespace display
