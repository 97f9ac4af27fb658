#pragma once
// The level axis of the RTA graph: pixels per dB and the row of 0 dB, from the
// axis limits the user typed and the height of the grid box. On the grid the
// axis minimum lies on row gridHeight - 40, the maximum on row 40. Rows count
// from the top of the graph the curve is drawn on, which lies graphTop rows
// below the grid's top, so that a level lands on its grid line.

#include "measurement_state.h"

#include <cstdint>
#include <optional>

namespace engine {

struct LevelScale {
    float OneDB;       // pixels per dB (negative when the minimum is above the maximum)
    float ZerodBPoint; // row of 0 dB
};

// The scale for limits yAxisMin and yAxisMax in dB, as the caller parsed them
// (NaN for a text that is not a number). Nothing when the limits are equal or
// not finite, when a result does not fit a 32-bit float, or when OneDB comes
// out 0 (a grid 80 pixels high, or limits too far apart): such limits have no
// scale, and the caller keeps the one it had.
std::optional<LevelScale> levelScale(double yAxisMin, double yAxisMax, int gridHeight,
                                     int graphTop = 0);

// Puts the scale of these limits into state.OneDB and state.ZerodBPoint and
// returns true; for limits without a scale leaves both as they were and
// returns false.
bool updateLevelScale(MeasurementState& state, double yAxisMin, double yAxisMax, int gridHeight,
                      int graphTop = 0);

// The scale the state holds now.
LevelScale levelScaleOf(const MeasurementState& state);

// The graph row of a level in dB: Round(ZerodBPoint - level OneDB), halves
// to even, and never lower on the screen than bottomRow, the row of the axis
// minimum: a level below the axis lies on the plot's bottom edge, and so does
// a level that is NaN or -inf (none). Above the axis nothing is clamped: the
// canvas clips. Nothing when the row does not fit 32 bits (+inf, or a scale
// of absurd limits).
std::optional<std::int32_t> levelRow(long double level, const LevelScale& scale,
                                     std::int32_t bottomRow);

// The level in dB that lies exactly on `row`: (ZerodBPoint - row) / OneDB.
long double levelAtRow(const LevelScale& scale, long double row);

} // namespace engine
