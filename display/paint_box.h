#pragma once
// A paint box: a widget that shows an image its canvas draws into.
//
// Drawing goes into the image at once and reaches the screen with the next
// paint: the first change after a screen update posts one flush to the event
// loop, which asks Qt to repaint the union of the changed pixels. All the
// small drawings of one block handler thus become one screen update, after
// the handler returns.
//
// The paint handler runs only when the box must be drawn afresh: when it is
// shown (also when its page is shown again), when its size changes, and on
// Repaint() or Invalidate(). The image is first cleared to the erase colour
// (what lies behind the box), then the handler draws; its canvas font is set
// to the widget's font just before. Showing drawn pixels never runs it.
//
// A box created over another ("beneath", placed on top of it in the same
// window) has no image of its own: its canvas is the part of the lower box's
// image it covers, clipped to its own rectangle. It therefore shows and reads
// what lies under it, like a transparent box over a grid. A repaint request
// on either repaints the lower box: its image is cleared, its handler runs,
// then the handlers of the boxes over it, in the order they were created.
//
// Place boxes with setGeometry, in pixels. UI thread only; Qt parents own
// boxes; a lower box may be destroyed first (the upper then draws nowhere).

#include "canvas.h"

#include "engine/colour.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace display {

class PaintBox : public QWidget, private CanvasListener {
    Q_OBJECT

public:
    explicit PaintBox(QWidget* parent = nullptr);
    // A box drawing into `beneath`'s image; `beneath` must not be null.
    PaintBox(QWidget* parent, PaintBox* beneath);
    ~PaintBox() override;

    // The canvas, matched to the box's current geometry. The reference stays
    // valid for the box's life.
    Canvas& canvas();

    // Runs on repaints (see above); empty for none. Called on the UI thread
    // from Qt's paint event or from Repaint(); it must not throw.
    void setPaintHandler(std::function<void()> handler);

    // Repaints now if the box is visible (clear, run the handlers), else when
    // it is next shown.
    void Repaint();
    // Repaints at the next paint event.
    void Invalidate();

    // The colour the image is cleared to before the handler runs: what shows
    // where the handler draws nothing. Default: the button face colour.
    void setEraseColor(engine::TColor colour) { eraseColor_ = colour; }
    engine::TColor eraseColor() const { return eraseColor_; }

    PaintBox* beneath() const { return beneath_; }
    // The image this box shows (the lower box's for a box laid over another),
    // at the device's resolution: its canvas's scale times the box's size.
    const QImage& image() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void canvasChanged() override;
    void syncGeometry();
    void repaintNow();
    void runPaintHandler();
    void flush();
    QPoint offsetInBeneath() const;

    // Image pixels per widget pixel: the device pixel ratio rounded up.
    int deviceScale() const;
    QRect toWidget(const QRect& imageRect) const;

    QImage image_; // unused by a box laid over another
    int scale_ = 1;
    Canvas canvas_;
    std::function<void()> paintHandler_;
    engine::TColor eraseColor_ = engine::clBtnFace;
    const bool laidOver_; // created over another box
    QPointer<PaintBox> beneath_;
    std::vector<QPointer<PaintBox>> uppers_;
    bool flushPosted_ = false;
    bool needsRepaint_ = true;
    bool repainting_ = false;
};

} // namespace display
