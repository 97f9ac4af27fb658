#pragma once
// What a stored curve's levels are relative to, and how to show them in the
// reference in force: a curve measured in dB SPL, dBFS or the octave bands'
// raw unit is drawn where it belongs on today's axis, or not at all when
// that cannot be known. Plain values; any thread.

#include "calibration_model.h"

#include <optional>

namespace engine {

struct LevelBasis {
    // The reference the levels were measured in; nothing: not known.
    std::optional<LevelReference> reference;
    // A level in that reference minus the same level in dBFS (0 for dBFS, the
    // calibration offset for dB SPL, rtaRawMinusDbfs of the window for the raw
    // unit); nothing: not known.
    std::optional<double> offsetDb;

    bool operator==(const LevelBasis&) const = default;
};

// The basis of levels measured with `model`, the raw unit being rawMinusDbfs
// above dBFS (the FFT page passes a model that reads dBFS for it).
LevelBasis levelBasisOf(const CalibrationModel& model, double rawMinusDbfs);

// dB to add to a level of `stored` to show it in `shown`; nothing when that
// cannot be known. dB SPL stays dB SPL whatever the calibration now (the
// sound was that loud); the same reference needs no offsets (two raw curves
// of unknown windows are taken as they are); any other pair goes through
// dBFS and needs both offsets.
std::optional<double> levelShift(const LevelBasis& stored, const LevelBasis& shown);

// dB to add to a stored measurement's level in dBFS (an FFT spectrum's) to
// show it in `shown`: a measurement in dB SPL shown in dB SPL takes its own
// calibration (nothing when that is not known), any other the offset shown,
// as measured with today's chain.
std::optional<double> dbfsShift(const LevelBasis& stored, const LevelBasis& shown);

// The raw unit's offset of the octave-band analysis with the window of the
// settings' item (0 .. 3, a table of kBlockSamples weights); nothing for
// another item.
std::optional<double> rtaRawMinusDbfsOfWindow(int windowItem);

} // namespace engine
