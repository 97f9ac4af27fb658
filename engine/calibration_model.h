#pragma once
// The level reference and what turns bin powers into calibrated levels: the
// microphone's calibration offset, its correction file and the frequency
// weighting. The analyzers take from it a per-bin power factor table
// (weighting x correction, linear power) and an offset in dB from dBFS to
// the reference shown. Plain values; any thread, no allocation but the
// correction's points.

#include "mic_correction.h"
#include "weighting.h"

#include <optional>
#include <span>
#include <string>

namespace engine {

// What the levels are relative to. Dbfs: 0 dB is the RMS of a full-scale
// sine (peak 32768). Spl: dB SPL, dBFS plus the calibration offset (only
// with a calibration; without one it reads as dBFS). Raw: each analyzer's
// old unit, relative to an amplitude of 1 in its own numbers.
enum class LevelReference { Dbfs = 0, Spl = 1, Raw = 2 };

// RMS of a full-scale sine in sample units: 32768 / sqrt(2).
inline constexpr double kFullScaleRms = 23170.475005920789;

struct CalibrationModel {
    LevelReference reference = LevelReference::Dbfs;
    // dB SPL - dBFS of the microphone chain, when calibrated.
    std::optional<double> calibrationOffsetDb;
    Weighting weighting = Weighting::Z;
    // Empty: no correction.
    MicCorrection correction;

    // The reference really in force: Spl falls back to Dbfs without a
    // calibration.
    LevelReference effectiveReference() const;

    // The offset in dB added to a level in dBFS to give it in the reference:
    // 0 for dBFS, the calibration offset for dB SPL, rawMinusDbfs for Raw
    // (the octave bands' own difference, see rtaRawMinusDbfs; the FFT page
    // and the meter read dBFS for it).
    double offsetFromDbfs(double rawMinusDbfs) const;

    // out[i] = power factor of bin i of an fftLength-point transform at
    // sampleRate (bin i at i sampleRate / fftLength Hz): the weighting's
    // power gain times 10^(-response/10) of the correction. Writes
    // min(out.size(), fftLength / 2 + 1) entries; 1 everywhere for Z
    // without correction.
    void binPowerFactors(int fftLength, double sampleRate, std::span<float> out) const;

    // Whether every factor is 1 (the table can be skipped).
    bool neutral() const { return weighting == Weighting::Z && correction.empty(); }
};

// The octave-band analyzer's old level (20 log10 of a band's amplitude in
// transform units, bin powers 2 |X|^2 of the raw-windowed transform) minus
// its level in dBFS, for a window table of n = window.size() weights:
// 10 log10(n^2 mean(w^2) kFullScaleRms^2). About 161.3 dB for Hann at n =
// 8192. NaN for an empty or all-zero window.
double rtaRawMinusDbfs(std::span<const double> window);

} // namespace engine
