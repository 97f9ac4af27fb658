#include "image_resize.h"

#include "canvas.h"

#include <algorithm>
#include <cstring>

namespace display {

void resizeKeepingPixels(QImage& image, QSize size, QRgb fill)
{
    if (size.isEmpty())
        size = QSize(0, 0);
    if (image.size() == size)
        return;
    QImage resized;
    if (!size.isEmpty()) {
        resized = QImage(size, kCanvasFormat);
        resized.fill(fill);
        const int w = std::min(image.width(), size.width());
        const int h = std::min(image.height(), size.height());
        for (int y = 0; y < h; ++y)
            std::memcpy(resized.scanLine(y), image.constScanLine(y), std::size_t(w) * 4);
    }
    image = std::move(resized);
}

} // namespace display
