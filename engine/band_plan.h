#pragma once
// The octave band plan: preferred frequencies and the borders of the bands of
// the resolution in force. One static instance for the whole run, UI thread
// only.

#include "measurement_state.h"
#include "rta_geometry.h"
#include "types.h"

#include <array>
#include <cstdint>

namespace engine {

struct BandPlan {
    // 265 preferred frequencies, 14 Hz to 28 kHz, about 1/24 octave apart;
    // built once at start-up.
    BinArray PrefFreqList{};
    // Entries 0 .. validbands-1: the band borders in Hz, ascending. Band j
    // (1 .. validbands-1) ends at border j; entries above stay as they were.
    BinArray OctBinBorderList{};
    std::int32_t validbands = 0;
};

// The R80 preferred numbers of one decade in their published two-decimal
// form, 1.00 .. 9.75, held as hundredths so that every frequency built from
// them is the double nearest to its published value (112 Hz, not 112.00000000000001).
inline constexpr int kPrefFreqBaseSize = 80;
extern const std::array<int, kPrefFreqBaseSize> PrefFreqBase;

// Resolution items 1 .. 4 ("1 Octave", "1/3", "1/6", "1/12 Octave"; the
// combo's index + 1). Entry 0 is no resolution.
// o: bands per octave; p: step through PrefFreqList; AfStart: first index.
inline constexpr int kOctaveTypeItems = 4;
inline constexpr std::array<int, kOctaveTypeItems + 1> o = {0, 1, 3, 6, 12};
inline constexpr std::array<int, kOctaveTypeItems + 1> p = {0, 24, 8, 4, 2};
inline constexpr std::array<int, kOctaveTypeItems + 1> AfStart = {0, 0, 6, 9, 11};

// Fills plan.PrefFreqList with the 265 preferred frequencies from 14 Hz to
// 28000 Hz (index 68 = 100 Hz, 148 = 1 kHz, 228 = 10 kHz).
void buildPrefFreqList(BandPlan& plan);

// The RTA's transform bins 0 .. 4095 cover 0 Hz up to just below half the
// frame rate, kBinSpacingHz apart.
inline constexpr int kRtaBins = kBlockSamples / 2;
inline constexpr long double kBinSpacingHz = static_cast<long double>(kFrameRate) / kBlockSamples;

// The nominal centre in Hz of the band from `lower` to `upper` (positive
// borders of a plan): the preferred frequency (14 Hz .. 28 kHz) nearest, on
// a logarithmic scale, to the geometric mean of the borders.
double nominalCentre(double lower, double upper);

// Whether band j (1 .. entries - 1) of a plan of `borders` holds an FFT bin
// (i * 48000 / 8192 Hz, i = 0 .. 4095): one above border j - 1 (band 1 from
// 0 Hz) and at most border j. A band narrower than the bin spacing may hold
// none, and then has no level of its own.
bool bandHasBin(const BinArray& borders, int j);

// Builds the plan of resolution item 1 .. 4 (the work of the resolution
// combo's change): the borders and validbands into plan, and into state the
// Columnwidth (pixels per band of equal columns), the x row of NewPoints as
// equal columns (until the caller lays them out on its frequency axis, see
// rta_curve.h), and the restart of the display average: OctBands and the y
// row of OldPoints on the bottom row of the graph, and the averaged levels
// from the axis minimum at the next block. The caller copies the borders and
// validbands into slot 0 and repaints. Any other item changes nothing and
// returns false.
bool applyOctaveType(BandPlan& plan, MeasurementState& state, int item, const RtaGeometry& g);

} // namespace engine
