#pragma once
// A drawing surface with the classic canvas rules the pages are drawn with,
// straight into a QImage: a pen position with MoveTo/LineTo, lines that leave
// out their last pixel, rectangles whose right and bottom edges are
// exclusive, rectangle copies between canvases, text (optionally rotated).
// Coordinates are pixels of this canvas, (0, 0) its top-left corner; whatever
// falls outside the canvas or its image is clipped. The pen is always 1 pixel
// wide, solid, and overwrites. UI thread only.
//
// A canvas draws into an image it does not own (an OffscreenImage's, a
// PaintBox's, or any QImage of format kCanvasFormat); it may cover only part
// of that image (a box laid over another box). The canvas collects the box of
// the pixels its drawing changes and tells its listener, if any, when it
// starts collecting, so that a widget can show them. Colours are
// engine::TColor values; system colours are looked up when set.
//
// A canvas of scale k (a device pixel ratio of k) draws into an image k times
// as fine: its coordinates stay those of the scale-1 canvas, every pixel the
// rules above set is a k x k block of the image, and text is written at the
// image's resolution, so nothing is blurred and text stays sharp. Image
// coordinates (area, takeChanged) are then the fine image's.

#include "rect.h"

#include "engine/colour.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>

namespace display {

// The pixel format of every canvas image: 0xFFRRGGBB.
inline constexpr QImage::Format kCanvasFormat = QImage::Format_RGB32;

enum class BrushStyle { Solid, Clear };

// Told when a canvas starts changing its image: called on the first change
// after the canvas's changes were last taken (takeChanged).
class CanvasListener {
public:
    virtual void canvasChanged() = 0;

protected:
    ~CanvasListener() = default;
};

class Canvas {
public:
    // Draws nowhere until setTarget. The font is the application's default
    // font, the font colour the desktop's window-text colour; pen black; brush
    // white and solid; pen position (0, 0).
    Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Draw into `image` (format kCanvasFormat, or nullptr for nowhere), within
    // `area` (image coordinates; the canvas's (0, 0) is area's top-left). The
    // image must outlive the canvas or the next setTarget; it may change size
    // meanwhile (drawing is clipped to its size at each call). `listener` may
    // be nullptr. Pen, brush, font and pen position are kept.
    // `area` is given in canvas pixels (the image's divided by `scale`, a
    // whole number of at least 1).
    void setTarget(QImage* image, const QRect& area, CanvasListener* listener, int scale = 1);
    const QImage* image() const { return image_; }
    QRect area() const { return area_; }
    int scale() const { return scale_; }

    // The canvas size, in pixels.
    int width() const { return area_.width(); }
    int height() const { return area_.height(); }

    void setPenColor(engine::TColor colour);
    engine::TColor penColor() const { return penColor_; }

    // Setting the brush colour makes the brush solid.
    void setBrushColor(engine::TColor colour);
    engine::TColor brushColor() const { return brushColor_; }
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    BrushStyle brushStyle() const { return brushStyle_; }

    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }
    void setFontColor(engine::TColor colour);
    engine::TColor fontColor() const { return fontColor_; }

    QPoint penPos() const { return penPos_; }
    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    // A line from the pen position to (x, y) without the pixel at (x, y);
    // the pen ends at (x, y). A line of length 0 sets nothing.
    void LineTo(int x, int y);

    // Outline with the pen on the columns x1 and x2 - 1 and the rows y1 and
    // y2 - 1; the inside filled with the brush unless it is clear. Corners in
    // either order; nothing when the two corners share a row or column.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Fills the rectangle with the brush; nothing if the brush is clear.
    void FillRect(const Rect& rect);

    // Copies `sourceRect` of `source` onto `destRect` of this canvas. Same
    // sizes copy pixel for pixel; only pixels whose source and destination
    // both lie inside their canvases and images are copied. Different sizes
    // scale to the nearest pixel. Empty or inverted rectangles copy nothing.
    // `source` may be this canvas, or share its image; overlaps are handled.
    void CopyRect(const Rect& destRect, const Canvas& source, const Rect& sourceRect);

    // Writes `text` with its cell's top-left corner at (x, y), on the brush
    // colour unless the brush is clear (then transparent). The pen moves to
    // (x + TextWidth(text), y).
    void TextOut(int x, int y, const QString& text);
    // The same, rotated counter-clockwise by `angleDegrees` about (x, y):
    // at 90 the text reads upwards and its cell lies in [x, x + height] ×
    // [y - width, y]; at 270 it reads downwards in [x - height, x] ×
    // [y, y + width].
    void TextOutRotated(int x, int y, const QString& text, double angleDegrees);
    // Advance width and cell height (ascent + descent) of `text` in the
    // current font, in pixels.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    // The colour at (x, y) as 0x00BBGGRR, or 0xFFFFFFFF outside the canvas.
    engine::TColor Pixels(int x, int y) const;

    // The box of the image pixels (image coordinates) changed since the last
    // call, or an empty rectangle; the next change tells the listener again.
    QRect takeChanged();

private:
    // The part of the image this canvas may draw into (image coordinates).
    QRect clipRect() const;
    // [left, right) x [top, bottom) of the scale-1 image coordinates (the
    // area's offset added), each pixel a block at a larger scale, clipped.
    void fillImageRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                       QRgb colour);
    void changed(const QRect& imageRect);

    // Image pixels, for canvas pixels given in image coordinates at scale 1.
    QRect toImage(const QRect& r) const;

    QImage* image_ = nullptr;
    QRect area_;
    int scale_ = 1;
    CanvasListener* listener_ = nullptr;
    QRect changed_;

    engine::TColor penColor_;
    QRgb penRgb_;
    engine::TColor brushColor_;
    QRgb brushRgb_;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QFont font_;
    engine::TColor fontColor_;
    QPoint penPos_;
};

} // namespace display
