#pragma once
// What the readouts under the mouse read off a page: the octave band under a
// graph column, the FFT curve's peak near a frequency with its frequency
// interpolated between bins and its level corrected for the window's
// scalloping, and the oscilloscope sample drawn in a column. Pure functions
// of the page's numbers, any thread; nothing is allocated.

#include "fft_axes.h"
#include "measurement_state.h"
#include "scope_trace.h"
#include "types.h"

#include <cstdint>
#include <optional>
#include <span>

namespace engine {

// The band of a staircase (x borders in row 0 of `points`, `bands` entries
// as a slot counts them) whose column holds graph column `x`: band j spans
// x[j-1] .. x[j] - 1. Nothing outside the curve.
std::optional<int> rtaBandAt(const CoordArray& points, int bands, int x);

// |W(offset)| / W(0) of the Welch window's spectrum, `offset` in bins from a
// tone: 1 on the tone, 4/pi^2 / (4/3) one bin away. Exact for long
// transforms (8192 points and more: within 1e-6).
double welchGain(double offsetBins);

struct FftPeak {
    double hz = 0.0;    // interpolated between bins
    double power = 0.0; // of the tone: the bin's power undone of the scalloping
    int bin = 0;        // the highest bin
};
// The highest bin of powers[firstBin .. lastBin] (clamped to 1 .. size - 2,
// DC never being a tone), then uphill to the local maximum it belongs to;
// its tone's frequency and power from the ratio of the bin to its larger
// neighbour as a Welch-windowed tone gives it. A tone between bins reads
// within 0.01 bin and 0.01 dB. Nothing when no bin there holds power.
std::optional<FftPeak> fftPeakNear(std::span<const double> powers, double binHz, int firstBin,
                                   int lastBin);

// The frequency at a graph column (not necessarily whole) of a frequency
// map, and the level at a graph row of a level map: the inverses of
// fftColumnPosition and fftLevelRow.
long double fftFrequencyAt(const FftFrequencyMap& map, long double column);
double fftLevelAt(const FftLevelMap& map, double row);

// The step of a trace drawn in screen column x (x0 <= x < x1), if any.
std::optional<int> scopeStepAt(const ScopeTrace& trace, int x);
// The sample value step i shows: read from the ring, so valid until the ring
// has moved on by kScopeRingSize samples.
std::int32_t scopeStepValue(const MeasurementState& state, const ScopeTrace& trace, int i);

} // namespace engine
