#pragma once
// The calibrated-measurement settings: the level reference, the microphone's
// calibration (offset dB SPL - dBFS and when it was measured), its
// correction file, the frequency weighting and the octave-band curve shown.
// Kept in the settings key beside the dialog's values, each a typed value of
// its own; reading one that is missing or of the wrong type gives its
// default and leaves the others alone. UI thread only.

#include "settings/control_store.h"

#include "engine/calibration_model.h"
#include "engine/rta_statistics.h"

#include <QString>

#include <optional>

namespace settings {

struct LevelSettings {
    engine::LevelReference reference = engine::LevelReference::Dbfs;
    std::optional<double> calibrationOffsetDb;
    QString calibrationDate;   // ISO 8601, local time; empty when unknown
    QString micCorrectionFile; // empty: none
    engine::Weighting weighting = engine::Weighting::Z;
    engine::RtaCurve rtaCurve = engine::RtaCurve::Now;
};

// Reads the values of `key`. `axisLimitsStored`: the key already held the
// level axis' limits, so a store without a reference was written before
// references existed and keeps the unit it showed ("dB (Rohwert)"); a new
// store starts with dBFS.
LevelSettings loadLevelSettings(const StoreKey& key, bool axisLimitsStored);

// Writes them all at once (atomically); an empty string or the store's error.
QString saveLevelSettings(const StoreKey& key, const LevelSettings& levels);
// Writes them into a key already open, so that a caller writing more values replaces the file
// once for all of them.
void writeLevelSettings(Registry& registry, const LevelSettings& levels);

} // namespace settings
