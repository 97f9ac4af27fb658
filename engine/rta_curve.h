#pragma once
// Where an octave-band curve lies on the graph: its column borders from the
// band borders through the frequency axis, its rows from the band levels
// through the level scale. The live curve and every stored one are laid out
// here at the moment they are drawn, so all of them follow the axes in
// force. Pure functions, any thread.

#include "frequency_axis.h"
#include "level_scale.h"
#include "rta_geometry.h"
#include "types.h"

#include <cstdint>
#include <optional>
#include <span>

namespace engine {

// Column borders for a plan of `borders` (its border list, all entries
// valid): x[0] = 0, the graph's left edge, since band 1 starts at 0 Hz; x[j]
// (j >= 1) the graph column of border j, the right edge of band j, through
// the same mapping as the grid's frequency lines, clamped to 0 ..
// graphWidth: the part of a band outside the axis is clipped at the graph's
// edges. Without an axis (limits that give none) the columns are equal, the
// first and the last half as wide: x[j] = Round((j - 0.5) width / (n - 2)),
// the last x the width. Writes x[0 .. borders.size() - 1]; fewer than 3
// borders write nothing.
void layOutBandColumns(std::span<const double> borders, const std::optional<FrequencyAxis>& axis,
                       const RtaGeometry& g, std::span<std::int32_t> x);

// The frequency axis of these limits on this page (see frequency_axis.h).
std::optional<FrequencyAxis> rtaFrequencyAxis(double xAxisMin, double xAxisMax,
                                              const RtaGeometry& g);

// The points of a curve of `bands` plan entries (clamped to the list size)
// with band borders `borders` and band levels `levels` in dB: x as above, y[j]
// = levelRow(levels[j] + shiftDb) for j >= 1, and y[0], which no step uses,
// the bottom row. A row that does not fit 32 bits takes the row of the band
// below; the return value counts them. shiftDb takes stored levels into the
// reference shown (level_basis.h).
int curvePoints(const BinArray& borders, const BinArray& levels, int bands,
                const std::optional<FrequencyAxis>& axis, const LevelScale& scale,
                const RtaGeometry& g, CoordArray& out, double shiftDb = 0);

} // namespace engine
