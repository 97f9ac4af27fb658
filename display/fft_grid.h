#pragma once
// The FFT page's grid: level lines every 10 dB (30 pixels) from the 0 dBFS
// line at the graph's top edge down, frequency lines every 1 kHz on the
// graph's pixels-per-hertz scale at the columns where the curve puts those
// frequencies, their labels, the level axis' title, and the snapshot of the
// empty grid under the graph that each block erases its curve from.
// Coordinates are pixels of the grid box; the graph box lies over it. UI
// thread only.

#include "offscreen_image.h"

#include "engine/fft_axes.h"

#include <QPoint>
#include <QString>

#include <optional>

namespace display {

// Level lines: 13 rectangles, the first from (kFftGridLeft, kFftGridTop),
// each kFftLevelStep pixels (10 dB) below the one before.
inline constexpr int kFftLevelRectangles = 13;
inline constexpr int kFftGridLeft = 40;
inline constexpr int kFftGridTop = 40;
inline constexpr int kFftLevelStep = 30;
// Frequency lines 1 kHz to 22 kHz, whatever the frame rate.
inline constexpr int kFftFrequencyLines = 22;

// Column of the line of `kHz` kilohertz on a scale of `columnwidth` pixels
// per hertz, on a grid whose graph starts at column graphLeft: graphLeft +
// engine::fftFrequencyColumn(1000 kHz), the column of the curve's point at
// that frequency; nothing when that is not a finite 32-bit value.
std::optional<int> fftFrequencyLineX(int kHz, double columnwidth, int graphLeft);
// Left edge of that line's label: 7 pixels left of the line.
std::optional<int> fftFrequencyLabelLeft(int kHz, double columnwidth, int graphLeft);

// The axes a grid is drawn for: the graph's frequency map, the level map
// with its top line on grid row kFftGridTop, and the level range labelled.
struct FftGridAxes {
    engine::FftFrequencyMap frequency;
    engine::FftLevelMap level;
    double levelRange = 120.0;
};
// Lowest row of the level lines' frame: 13 steps of 10 dB below the top on
// the old page's graph, kFftFrameBelowGraph rows below the graph on any.
inline constexpr int kFftGridBottom = kFftGridTop + kFftLevelRectangles * kFftLevelStep;
inline constexpr int kFftFrameBelowGraph = 3;

// The one-block page's axes: 0 Hz at the graph's left edge, `columnwidth`
// pixels per hertz, 120 dB at 3 rows per dB below topLevelDb on the top
// line (0: dBFS, the level of a full-scale sine).
FftGridAxes fftDefaultGridAxes(double columnwidth, int graphWidth, int topLevelDb = 0);

// Draws the grid on `grid` (brush clear, nothing behind it: the box's erase
// colour shows through) in grey with the labels and `levelTitle` in `grid`'s
// font, for a graph of `graph`'s size whose (0, 0) lies at `graphOrigin` of
// the grid, and `columnwidth` pixels per hertz; the level lines span the
// graph's width. Then sizes `snapshot` to the graph (height first, then
// width) and copies the graph's pixels into it. `graph` is the canvas of the
// graph box laid over the grid box, which reads the grid's image: called
// right after the grid box was cleared, the snapshot holds the grid just
// drawn and no curve.
void PaintAxesFFT(Canvas& grid, const Canvas& graph, QPoint graphOrigin, OffscreenImage& snapshot,
                  double columnwidth, const QString& levelTitle, int topLevelDb = 0);
// The same for any axes: level lines at the level ticks down to the frame's
// lowest row (kFftGridBottom on the old page's graph), frequency lines at the frequency ticks that
// lie on the graph, each label centred under its line.
void PaintAxesFFT(Canvas& grid, const Canvas& graph, QPoint graphOrigin, OffscreenImage& snapshot,
                  const FftGridAxes& axes, const QString& levelTitle);

} // namespace display
