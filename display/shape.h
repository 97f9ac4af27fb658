#pragma once
// A shape: a widget that draws a rectangle or a rounded rectangle over its
// whole area, filled with a brush (unless clear) and outlined with a 1-pixel
// pen. Used for frames and indicator lamps. Place with setGeometry, in pixels.
// UI thread only; the Qt parent owns it.

#include "canvas.h"

#include "engine/colour.h"

#include <QWidget>

namespace display {

enum class ShapeType { Rectangle, RoundRect };

class Shape : public QWidget {
    Q_OBJECT

public:
    // A white rectangle with a black outline.
    explicit Shape(QWidget* parent = nullptr, ShapeType type = ShapeType::Rectangle);

    void setShapeType(ShapeType type);
    ShapeType shapeType() const { return type_; }
    // Setting the brush colour makes the brush solid.
    void setBrushColor(engine::TColor colour);
    engine::TColor brushColor() const { return brushColor_; }
    void setBrushStyle(BrushStyle style);
    BrushStyle brushStyle() const { return brushStyle_; }
    void setPenColor(engine::TColor colour);
    engine::TColor penColor() const { return penColor_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShapeType type_;
    engine::TColor brushColor_ = engine::clWhite;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    engine::TColor penColor_ = engine::clBlack;
};

} // namespace display
