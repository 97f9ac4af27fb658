#pragma once
// The octave-band analyzer's work on one block: window, transform, band sums,
// band rows on the RTA graph, and the display average. Fills the y row of
// NewPoints with the points the display draws (one step per band between the
// x borders of NewPoints) and OctBands with the rows before averaging. The
// caller copies OctBands into slot 0's l and NewPoints into its coordinates.
// UI thread only; allocates nothing.

#include "band_plan.h"
#include "measurement_state.h"

#include <cstdint>
#include <span>

namespace engine {

// The averaging choice: item 0 "Keine" 1.0, 1 "Schnell" 0.7, 2 "Langsam" 0.2,
// 3 "Sehr Langsam" 0.02 (as 32-bit floats) into state.AveragingFactor. Any
// other item leaves it unchanged and returns false.
bool applyAveragingItem(MeasurementState& state, int item);

// InSignal = samples x Window, then Spectrum = FFT(InSignal). Fewer
// than 8192 samples are padded with zeros; more are ignored.
void windowAndTransformRta(MeasurementState& state, std::span<const std::int16_t> samples);

// FFTbins[0..4095] = bin powers, OctBands[1 .. validbands-1] = the
// band amplitudes (square root of the summed powers of the band's bins; band
// 1 from 0 Hz, an empty band 0). Before a plan is built only FFTbins is
// written.
void sumOctaveBands(MeasurementState& state, const BandPlan& plan);

// Turns OctBands[0 .. validbands-1] into graph rows through
// state.OneDB and state.ZerodBPoint. A band above amplitude 1 gets
// Round(ZerodBPoint - 20 log10(A) OneDB), at most graphHeight + 1. Band 0,
// and a band of amplitude 1 or less that holds a bin, get graphHeight (the
// bottom edge); a band without a bin (narrower than the bin spacing), and a
// band whose row does not fit 32 bits, takes the row of the band below.
// Keeps each band's level in dB in OctBandLevels first. Returns the number of
// bands whose row did not fit.
int octaveBandRows(MeasurementState& state, const BandPlan& plan, int graphHeight);

// NewPoints y[1 .. validbands-1] = Round((1 - AveragingFactor) x
// OldPoints y + AveragingFactor x OctBands), then the whole y row of
// NewPoints into OldPoints. NewPoints y[0] is not written (the display moves
// to (x[0], y[1]) first). Returns the number of bands whose average did not
// fit 32 bits; such a band takes its unaveraged row.
int averageBandRows(MeasurementState& state, const BandPlan& plan);

struct RtaBlockReport {
    // The limits gave a scale this block; false means the last valid scale
    // was used.
    bool scaleFromLimits = false;
    // Band rows (or their averages) that did not fit 32 bits, which takes
    // absurd axis limits; those bands were drawn as described above and the
    // rest of the block as usual. The caller reports it, at most once.
    int failedRows = 0;
};

// One block, all steps in order. yAxisMin and yAxisMax are the level axis
// limits in dB as the caller parsed them (NaN when a field does not hold a
// number); limits without a scale keep the last valid one. graphTop: the
// graph's top within the grid box (see level_scale.h).
RtaBlockReport processRtaBlock(MeasurementState& state, const BandPlan& plan,
                               std::span<const std::int16_t> samples, double yAxisMin,
                               double yAxisMax, int graphHeight, int gridHeight, int graphTop = 0);

} // namespace engine
