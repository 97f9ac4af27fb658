#include "offscreen_image.h"

#include "image_resize.h"

#include <algorithm>

namespace display {

OffscreenImage::OffscreenImage(int width, int height)
{
    setSize(width, height);
}

void OffscreenImage::setWidth(int width)
{
    setSize(width, height_);
}

void OffscreenImage::setHeight(int height)
{
    setSize(width_, height);
}

void OffscreenImage::setSize(int width, int height)
{
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    resizeKeepingPixels(image_, QSize(width_, height_) * scale_, qRgb(255, 255, 255));
    canvas_.setTarget(&image_, QRect(0, 0, width_, height_), nullptr, scale_);
}

void OffscreenImage::setScale(int scale)
{
    scale = std::max(scale, 1);
    if (scale == scale_)
        return;
    scale_ = scale;
    image_ = QImage();
    setSize(width_, height_);
}

} // namespace display
