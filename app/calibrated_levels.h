#pragma once
// What the main window keeps for calibrated levels: the calibration model of
// the settings in force (with the microphone correction file read), its
// per-bin power factors for the 8192-point transform, the sound level
// meter, the octave-band Leq and Max, and a calibrator measurement while one
// runs. Plain values; the window only wires them. UI thread only.

#include "engine/calibration_measurement.h"
#include "engine/calibration_model.h"
#include "engine/level_basis.h"
#include "engine/rta_statistics.h"
#include "engine/sound_level_meter.h"
#include "settings/level_settings.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace app {

struct CalibratedLevels {
    static engine::CalibrationModel rawModel()
    {
        engine::CalibrationModel m;
        m.reference = engine::LevelReference::Raw;
        return m;
    }

    // Until the settings dialog's values arrive: the old unit, unweighted.
    engine::CalibrationModel model = rawModel();
    engine::RtaCurve rtaCurve = engine::RtaCurve::Now;
    // The correction file's name without its folder; empty without one.
    QString correctionName;
    // Power factor of bins 0 .. 4096 of the analyzers' transform.
    std::vector<float> binFactors;
    engine::SoundLevelMeter meter;
    engine::RtaStatistics rtaStatistics;
    // A calibrator measurement and whom to tell its result.
    std::optional<engine::CalibrationMeasurement> calibration;
    std::function<void(const engine::CalibrationResult&)> calibrationDone;

    // Takes over the settings and the correction read from their file
    // (`correction`, empty for none) at `sampleRate`: rebuilds the factors,
    // and a new weighting restarts the meter and the Leq and Max.
    void apply(const settings::LevelSettings& levels, const engine::MicCorrection& correction,
               double sampleRate);
    // The factors to hand an analyzer: empty when all are 1.
    std::span<const float> factors() const;
};

// Reads a correction file; an empty string, or the German reason (naming the
// file and the offending line) with `out` unchanged.
QString readMicCorrectionFile(const QString& path, engine::MicCorrection& out);

// The unit text of a reference with its weighting: "dBFS", "dB SPL (A)",
// "dB (Rohwert, C)" ...; "dB SPL" without a calibration reads "dBFS".
QString levelUnitText(const engine::CalibrationModel& model);

// The German description of the measurement's calibration for files and
// titles: "Bezug: dB SPL; Bewertung: A; Kalibrierung: 120.3 dB (date);
// Korrektur: mic.txt".
// The FFT page's leaves out the curve: it has none of the octave bands' choices.
QString levelDescription(const engine::CalibrationModel& model, const settings::LevelSettings& s,
                         const QString& correctionName, bool withCurve = true);

// What a stored measurement's levels are relative to, read back from its
// description (empty: a file from before levels had a reference, in the
// octave bands' raw unit) and, for the raw unit, its window (the settings'
// item; the offset is not known for another). A reference the description
// does not name, or dB SPL without its calibration, is not known.
engine::LevelBasis levelBasisOfDescription(const QString& description, int windowType);

// The reference's name alone: "dBFS", "dB SPL", "dB (Rohwert)".
QString referenceName(engine::LevelReference reference);

// The German message for a calibrator measurement's result.
QString calibrationResultText(const engine::CalibrationResult& r, double calibratorDb,
                              double calibratorHz);

} // namespace app
