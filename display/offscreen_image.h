#pragma once
// An off-screen image with a canvas, never shown: holds a copy of a grid that
// the live curves are erased from. Width and height may be set one after the
// other (height first, as the grid painters do); pixels that stay inside the
// image keep their colour, new ones are white. UI thread only; neither copied
// nor moved, since its canvas points at its pixels.

#include "canvas.h"

#include <QImage>

namespace display {

class OffscreenImage {
public:
    explicit OffscreenImage(int width = 0, int height = 0);
    OffscreenImage(const OffscreenImage&) = delete;
    OffscreenImage& operator=(const OffscreenImage&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Negative sizes count as 0; a size of 0 in either direction holds no
    // pixels, and drawing on it does nothing.
    void setWidth(int width);
    void setHeight(int height);
    void setSize(int width, int height);
    // Pixels of the image per canvas pixel (see canvas.h), at least 1; a new
    // scale starts from a white image.
    void setScale(int scale);
    int scale() const { return scale_; }

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }
    // The pixels, width() × height() times the scale (null while either is 0).
    const QImage& image() const { return image_; }

private:
    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    QImage image_;
    Canvas canvas_;
};

} // namespace display
