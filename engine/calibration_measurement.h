#pragma once
// Measuring a sound calibrator's tone to find the offset dB SPL - dBFS: the
// power of the third octave around the calibrator's frequency in every
// block (Hann window, Parseval-normalised, the microphone correction
// applied), then a check that it was a steady tone at that frequency. Owns
// its transform buffers (allocated once, at construction). UI thread.

#include "calibration_model.h"

#include "dsp/fft_types.h"

#include <cstdint>
#include <span>
#include <vector>

namespace engine {

// Blocks measured before the check: at least five, about 0.85 s at 48 kHz.
inline constexpr int kCalibrationBlocks = 5;
// The largest spread of the block levels a steady tone may show.
inline constexpr double kCalibrationMaxSpreadDb = 0.3;
// The share of the block's power the tone's third octave must hold: the rest
// raises the reading by at most 10 log10(1 / 0.9) = 0.46 dB.
inline constexpr double kCalibrationMinShare = 0.9;

struct CalibrationResult {
    enum class Status {
        Measuring, // fewer than kCalibrationBlocks blocks yet
        Done,
        Silent,    // no power at all
        Wandering, // spreadDb above the limit
        NotATone,  // share below the limit: another frequency or noise
    };
    Status status = Status::Measuring;
    // The energy mean of the block levels in dBFS, their spread (max - min)
    // in dB, the lowest share of the band in a block's power, and the
    // frequency of the strongest bin (for the message).
    double levelDbfs = 0;
    double spreadDb = 0;
    double share = 0;
    double peakHz = 0;
    // Done: calibratorDb - levelDbfs.
    double offsetDb = 0;
};

class CalibrationMeasurement {
public:
    // A calibrator of `calibratorDb` dB SPL at `calibratorHz`, blocks of
    // `blockSamples` at `sampleRate`; `correction` (may be empty) is removed
    // as on the analyzers.
    CalibrationMeasurement(double calibratorDb, double calibratorHz,
                           const MicCorrection& correction, int blockSamples = 8192,
                           double sampleRate = 48000.0);

    // Takes one block (fewer samples are padded with zeros) and returns the
    // state of the measurement after it. Blocks after the result are
    // ignored.
    CalibrationResult addBlock(std::span<const std::int16_t> samples);
    const CalibrationResult& result() const { return result_; }

private:
    void finish();

    double calibratorDb_;
    double calibratorHz_;
    double sampleRate_;
    std::vector<double> window_;
    std::vector<float> factors_;
    std::vector<dsp::TFFTFloat> signal_;
    std::vector<dsp::TFFTComplex> spectrum_;
    double windowSquareSum_ = 0;
    std::vector<double> levels_;
    double minShare_ = 1;
    double peakHz_ = 0;
    CalibrationResult result_;
};

} // namespace engine
