#pragma once
// The octave-band page's drawing: the grid with its axes and labels (into the
// grid image, then onto the grid box), the stored curves, and the live
// staircase of each block, which erases column by column from the grid
// image. What is drawn comes computed: rows from the measurement, line
// positions from rta_grid.h. UI thread only.

#include "canvas.h"
#include "offscreen_image.h"
#include "rta_grid.h"
#include "trace_eraser.h"

#include "engine/colour.h"
#include "engine/types.h"

#include <QPoint>
#include <QString>

#include <optional>

namespace display {

// The four colours of the settings' table that the grid is drawn in
// (entries 11 to 14).
struct RtaGridColours {
    engine::TColor background = 0;
    engine::TColor axes = 0;
    engine::TColor grid = 0;
    engine::TColor axesFont = 0;
};

struct RtaGridPicture {
    // Nothing when the level limits give no lines (not whole numbers, or no
    // scale): the grid then has no level lines or labels.
    std::optional<LevelAxis> levels;
    // Frequency axis limits in Hz; NaN when a field holds no number.
    double xAxisMin = 20.0;
    double xAxisMax = 20000.0;
    RtaGridColours colours;
    QString levelTitle;     // written upwards, centred on the left edge
    QString frequencyTitle; // written centred along the bottom edge
};

// Writes sText with its reference corner at (X, Y), turned counter-clockwise
// by `angle` degrees, in a fixed-pitch variant of the canvas's font and
// without a background; the canvas's font is the same afterwards.
void AngleTextOut(Canvas& canvas, const QString& sText, int X, int Y, int angle);

// Sizes `image` to the grid box (height first, then width), paints the
// background, titles, level and frequency grid and the axes into it in the
// image canvas's own font, and copies the whole image onto `grid`.
void paintRtaGrid(OffscreenImage& image, Canvas& grid, const RtaGridPicture& picture);

// A curve in `colour` on the graph: for each band i = 0 .. bands - 2 a step
// from x[i] to x[i+1] at row y[i+1], joined by risers at the column borders
// inside the graph (none at x <= 0; points: row 0 x, row 1 y, as laid out by
// engine/rta_curve.h; bands clamped to the points' size). Nothing is erased
// first.
void drawRtaCurve(Canvas& graph, engine::TColor colour, const engine::CoordArray& points,
                  int bands);

// The live curve of one block, in `colour`: for each band column i = 0 ..
// validbands - 2 in turn, erases the column (graphHeight rows) by copying the
// grid image's pixels that lie under it, the graph's (0, 0) being the image's
// `graphOrigin`, and draws the column's riser and step as drawRtaCurve does;
// then erases what lies outside the columns, up to the graph's width.
// validbands is clamped to the band lists' size. `eraser` holds what the
// last curves drew on `graph`, so the erases copy only those pixels.
void drawRtaStaircase(Canvas& graph, const Canvas& gridImage, QPoint graphOrigin,
                      const engine::CoordArray& points, int validbands, int graphHeight,
                      TraceEraser& eraser, engine::TColor colour = engine::clWhite);

} // namespace display
