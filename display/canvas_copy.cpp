// Rectangle copies between canvases.

#include "canvas.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace display {
namespace {

// One axis of a copy: destination and source starts in image coordinates,
// the length, and the two clip ranges [lo, hi).
struct CopyAxis {
    std::int64_t dest;
    std::int64_t source;
    std::int64_t length;
    std::int64_t destLo, destHi;
    std::int64_t sourceLo, sourceHi;

    // The offsets [first, last) that land inside both clips.
    std::pair<std::int64_t, std::int64_t> inside() const
    {
        const std::int64_t first = std::max({std::int64_t(0), destLo - dest, sourceLo - source});
        const std::int64_t last = std::min({length, destHi - dest, sourceHi - source});
        return {first, last};
    }
};

// Copies a block of `rows` × `columns` pixels; source and destination may
// overlap within one image.
void copyBlock(QRgb* dest, qsizetype destStride, const QRgb* source, qsizetype sourceStride,
               std::int64_t columns, std::int64_t rows)
{
    // Copy rows in the order that never reads a row already overwritten.
    if (std::greater<const QRgb*>()(dest, source)) {
        dest += (rows - 1) * destStride;
        source += (rows - 1) * sourceStride;
        destStride = -destStride;
        sourceStride = -sourceStride;
    }
    if (columns == 1) {
        // The scope wipes one column at a time: no call per row.
        for (std::int64_t r = 0; r < rows; ++r)
            dest[r * destStride] = source[r * sourceStride];
        return;
    }
    for (std::int64_t r = 0; r < rows; ++r)
        std::memmove(dest + r * destStride, source + r * sourceStride,
                     std::size_t(columns) * sizeof(QRgb));
}

} // namespace

void Canvas::CopyRect(const Rect& destRect, const Canvas& source, const Rect& sourceRect)
{
    const QRect destClip = clipRect();
    const QRect sourceClip = source.clipRect();
    if (destClip.isEmpty() || sourceClip.isEmpty())
        return;
    // In image pixels: each canvas's rectangles at its own scale.
    const int dk = scale_;
    const int sk = source.scale_;
    const std::int64_t dw = std::int64_t(destRect.width()) * dk;
    const std::int64_t dh = std::int64_t(destRect.height()) * dk;
    const std::int64_t sw = std::int64_t(sourceRect.width()) * sk;
    const std::int64_t sh = std::int64_t(sourceRect.height()) * sk;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;

    // Detach the destination first, so that a source sharing its data reads
    // the same buffer we write.
    auto* destBits = reinterpret_cast<QRgb*>(image_->bits());
    const qsizetype destStride = image_->bytesPerLine() / 4;
    const QImage& from = *source.image_;
    const auto* sourceBits = reinterpret_cast<const QRgb*>(from.constBits());
    const qsizetype sourceStride = from.bytesPerLine() / 4;
    const std::int64_t dx0 = (std::int64_t(destRect.Left) + area_.left()) * dk;
    const std::int64_t dy0 = (std::int64_t(destRect.Top) + area_.top()) * dk;
    const std::int64_t sx0 = (std::int64_t(sourceRect.Left) + source.area_.left()) * sk;
    const std::int64_t sy0 = (std::int64_t(sourceRect.Top) + source.area_.top()) * sk;

    if (dw == sw && dh == sh) {
        const CopyAxis ax{dx0,
                          sx0,
                          dw,
                          destClip.left(),
                          destClip.right() + 1,
                          sourceClip.left(),
                          sourceClip.right() + 1};
        const CopyAxis ay{dy0,
                          sy0,
                          dh,
                          destClip.top(),
                          destClip.bottom() + 1,
                          sourceClip.top(),
                          sourceClip.bottom() + 1};
        const auto [c0, c1] = ax.inside();
        const auto [r0, r1] = ay.inside();
        if (c0 >= c1 || r0 >= r1)
            return;
        copyBlock(destBits + (dy0 + r0) * destStride + dx0 + c0, destStride,
                  sourceBits + (sy0 + r0) * sourceStride + sx0 + c0, sourceStride, c1 - c0,
                  r1 - r0);
        changed(QRect(QPoint(int(dx0 + c0), int(dy0 + r0)),
                      QPoint(int(dx0 + c1 - 1), int(dy0 + r1 - 1))));
        return;
    }

    // Scaled: destination pixel k takes source pixel floor(k * s / d).
    const std::int64_t c0 = std::max<std::int64_t>(0, destClip.left() - dx0);
    const std::int64_t c1 = std::min<std::int64_t>(dw, destClip.right() + 1 - dx0);
    const std::int64_t r0 = std::max<std::int64_t>(0, destClip.top() - dy0);
    const std::int64_t r1 = std::min<std::int64_t>(dh, destClip.bottom() + 1 - dy0);
    if (c0 >= c1 || r0 >= r1)
        return;
    // Read from a copy of the source rows when they may be overwritten.
    std::vector<QRgb> saved;
    const QRgb* readBits = sourceBits;
    qsizetype readStride = sourceStride;
    if (destBits == sourceBits) {
        saved.assign(sourceBits, sourceBits + from.height() * sourceStride);
        readBits = saved.data();
    }
    for (std::int64_t r = r0; r < r1; ++r) {
        const std::int64_t sy = sy0 + r * sh / dh;
        if (sy < sourceClip.top() || sy > sourceClip.bottom())
            continue;
        for (std::int64_t c = c0; c < c1; ++c) {
            const std::int64_t sx = sx0 + c * sw / dw;
            if (sx < sourceClip.left() || sx > sourceClip.right())
                continue;
            destBits[(dy0 + r) * destStride + dx0 + c] = readBits[sy * readStride + sx];
        }
    }
    changed(
        QRect(QPoint(int(dx0 + c0), int(dy0 + r0)), QPoint(int(dx0 + c1 - 1), int(dy0 + r1 - 1))));
}

} // namespace display
