#pragma once
// The octave-band analyzer's work on one block: window, transform, band sums,
// band levels and rows on the RTA graph, and the display average. Fills
// NewPoints with the points the display draws (one step per band between the
// x borders, at the row of the band's averaged level) and OctBands with the
// rows before averaging. The caller copies OctBands into slot 0's l,
// NewPoints into its coordinates and the averaged levels into its levels.
// UI thread only; allocates nothing.

#include "band_plan.h"
#include "measurement_state.h"
#include "rta_geometry.h"

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
// 1 from 0 Hz, an empty band 0). Each bin power is multiplied by
// binPowerFactors[i] where that table holds an entry (weighting and
// microphone correction; empty: all 1). Before a plan is built only FFTbins
// is written.
void sumOctaveBands(MeasurementState& state, const BandPlan& plan,
                    std::span<const float> binPowerFactors = {});

// Turns the band amplitudes OctBands[1 .. validbands-1] into the block's
// levels in dB (OctBandLevels) and graph rows before averaging (OctBands),
// through state.OneDB and state.ZerodBPoint; rows are those of levelRow
// (level_scale.h), so nothing lies lower than bottomRow, the row of the axis
// minimum. A band above amplitude 1 has the level 20 log10(A). A band of
// amplitude 1 or less that holds a bin has no level: it counts as 0 dB, or
// as the axis minimum where that lies lower, so it is drawn on the bottom
// edge; a band without a bin (narrower than the bin spacing) takes the level
// of the band below. Band 0 gets the bottom row and a NaN level. A row that
// does not fit 32 bits takes the row of the band below; returns their number.
// offsetDb is added to every level (and to the 0 dB of a band without one):
// the level reference's offset from the amplitude unit.
int octaveBandRows(MeasurementState& state, const BandPlan& plan, std::int32_t bottomRow,
                   long double offsetDb = 0);

// The display average, one update per block: AveragedLevels[j] = (1 -
// AveragingFactor) x AveragedLevels[j] + AveragingFactor x OctBandLevels[j]
// in extended precision, unrounded (after a restart the previous value is
// the level of bottomRow); then NewPoints y[1 .. validbands-1] = the rows of
// the averaged levels (levelRow), and the whole y row of NewPoints into
// OldPoints. With "Keine" (1.0) the rows are those of the block. NewPoints
// y[0] is not written (the display moves to (x[0], y[1]) first). Returns
// the number of bands whose averaged row did not fit 32 bits; such a band
// takes its unaveraged row.
int averageBandRows(MeasurementState& state, const BandPlan& plan, std::int32_t bottomRow);

// The averaged levels as slot 0 keeps them: entry 0 NaN, entries 1 ..
// validbands-1 the average in dB, the rest NaN.
void copyAveragedLevels(const MeasurementState& state, const BandPlan& plan, BinArray& levels);

struct RtaBlockReport {
    // The limits gave a scale this block; false means the last valid scale
    // was used.
    bool scaleFromLimits = false;
    // Band rows (or their averages) that did not fit 32 bits, which takes
    // absurd axis limits; those bands were drawn as described above and the
    // rest of the block as usual. The caller reports it, at most once.
    int failedRows = 0;
};

// The axis limits as the caller parsed them from the settings (NaN when a
// field does not hold a number): level axis in dB, frequency axis in Hz.
struct RtaAxes {
    double yAxisMin = 20.0;
    double yAxisMax = 100.0;
    double xAxisMin = 20.0;
    double xAxisMax = 20000.0;
};

// What turns band amplitudes into levels of the reference shown: the bin
// power factors of sumOctaveBands and the offset of octaveBandRows. The
// default gives the amplitude unit, unweighted.
struct RtaLevels {
    std::span<const float> binPowerFactors;
    long double offsetDb = 0;
};

// One block, all steps in order, and the band columns of NewPoints' x row
// laid out on the frequency axis (rta_curve.h). Level limits without a scale
// keep the last valid one; frequency limits without an axis give equal
// columns.
RtaBlockReport processRtaBlock(MeasurementState& state, const BandPlan& plan,
                               std::span<const std::int16_t> samples, const RtaAxes& axes,
                               const RtaGeometry& g, const RtaLevels& levels = {});

} // namespace engine
