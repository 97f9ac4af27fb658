#pragma once
// Where the octave-band grid puts its lines and labels: level lines over a
// linear dB axis and frequency lines over a logarithmic axis, in pixels of the
// grid box (W x H). The plot area lies kPlotMargin pixels inside each edge:
// from x = 40 to W - 40 and from y = 40 to H - 40. Pure functions, any thread.

#include "engine/rta_geometry.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace display {

// Distance of the plot area from each edge of the grid, in pixels; the axis
// minimum lies on row H - 40, its maximum on row 40.
inline constexpr int kPlotMargin = engine::kRtaPlotMargin;

// The level axis as the grid reads it: whole dB limits and step, and the
// pixels per dB that the same limits give on this grid.
struct LevelAxis {
    std::int32_t min = 20;
    std::int32_t max = 100;
    std::int32_t step = 10;
    float oneDB = 4.8125f;
};

struct LevelGridLine {
    int row;            // grid row of the line
    int labelTop;       // top of the label's text cell
    std::int64_t label; // dB value written beside the line
};

// Lines k = 1 .. (max - min) div step at Round((H - 40) - k step oneDB), with
// label Round(min + k step), its cell centred on the line for a text
// `digitHeight` pixels high. The minimum itself gets none (the bottom axis
// stands there). No lines for a step of 0, for a count of 0 or less, and
// none either when there would be more lines than the plot has rows (they
// could not be told apart, and would take ages to draw); a line whose row
// does not fit 32 bits is left out.
std::vector<LevelGridLine> levelGridLines(const LevelAxis& axis, int gridHeight, int digitHeight);

struct FrequencyGridLine {
    int x;         // column within the plot (the grid column is x + 40)
    float hz;      // the frequency the line stands for
    QString label; // "20", "100", "1k", "10k" ...
};

// Lines at 1..9 x 10^e Hz (e = 0 .. 4) between xAxisMin and xAxisMax
// inclusive, ascending, on the log axis of engine/frequency_axis.h that spans
// the plot's W - 80 pixels (the band columns use the same). Limits that give
// no axis (not finite, not above 0, equal or inverted) give no lines.
std::vector<FrequencyGridLine> frequencyGridLines(double xAxisMin, double xAxisMax, int gridWidth);

// The label of a frequency line: "k" and whole thousands from 1000 Hz,
// below that the number in its shortest form.
QString frequencyLabel(float hz);

} // namespace display
