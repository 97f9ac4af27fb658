#pragma once
// The octave-band curve the page shows and keeps: "Momentan" (the display
// average), "Leq" (the energy average of every band's block levels since
// START or "Reset") or "Max" (each band's highest block level since then).
// Works on the block levels octaveBandRows leaves in OctBandLevels. UI
// thread; no allocation.

#include "band_plan.h"
#include "measurement_state.h"

#include <array>
#include <cstdint>

namespace engine {

enum class RtaCurve { Now = 0, Leq = 1, Max = 2 };

struct RtaStatistics {
    // Per band: the sum of 10^(L/10) over the blocks and the highest L.
    std::array<long double, kBinArraySize> energy{};
    std::array<long double, kBinArraySize> maxLevel{};
    std::int64_t blocks = 0;

    void reset();
    // Adds this block's levels of bands 1 .. validbands-1.
    void add(const MeasurementState& state, const BandPlan& plan);
    // The curve's level of band j in dB; NaN before the first block.
    long double level(RtaCurve curve, int j, const MeasurementState& state) const;
};

// For Leq and Max: replaces the rows of NewPoints y[1 .. validbands-1] (and
// OldPoints) by those of the statistics' levels through the scale in force;
// for Now does nothing. Returns the number of rows that did not fit 32 bits
// (those keep the averaged row).
int showRtaCurve(MeasurementState& state, const BandPlan& plan, const RtaStatistics& statistics,
                 RtaCurve curve, std::int32_t bottomRow);

// The chosen curve's levels as slot 0 keeps them: entry 0 NaN, entries 1 ..
// validbands-1 the levels in dB, the rest NaN.
void copyRtaCurveLevels(const MeasurementState& state, const BandPlan& plan,
                        const RtaStatistics& statistics, RtaCurve curve, BinArray& levels);

} // namespace engine
