#pragma once
// Resizing a canvas image while keeping the pixels that stay inside it.

#include <QImage>
#include <QSize>

namespace display {

// Gives `image` the size `size` (empty sizes make it null). Pixels inside
// both the old and new size keep their colour, new pixels get `fill`. Does
// nothing when the size is unchanged.
void resizeKeepingPixels(QImage& image, QSize size, QRgb fill);

} // namespace display
