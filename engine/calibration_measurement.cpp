#include "calibration_measurement.h"

#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine {

CalibrationMeasurement::CalibrationMeasurement(double calibratorDb, double calibratorHz,
                                               const MicCorrection& correction, int blockSamples,
                                               double sampleRate)
    : calibratorDb_(calibratorDb), calibratorHz_(calibratorHz), sampleRate_(sampleRate),
      window_(static_cast<std::size_t>(std::max(blockSamples, 2))),
      factors_(window_.size() / 2 + 1), signal_(window_.size()), spectrum_(window_.size())
{
    const std::size_t n = window_.size();
    for (std::size_t k = 0; k < n; ++k) {
        window_[k] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(k) /
                                          static_cast<double>(n));
        windowSquareSum_ += window_[k] * window_[k];
    }
    CalibrationModel model;
    model.correction = correction;
    model.binPowerFactors(static_cast<int>(n), sampleRate, factors_);
    levels_.reserve(kCalibrationBlocks);
}

CalibrationResult CalibrationMeasurement::addBlock(std::span<const std::int16_t> samples)
{
    if (result_.status != CalibrationResult::Status::Measuring)
        return result_;
    const std::size_t n = window_.size();
    for (std::size_t k = 0; k < n; ++k)
        signal_[k] = k < samples.size() ? static_cast<float>(samples[k] * window_[k]) : 0.0f;
    dsp::FFT(signal_, spectrum_);

    const double spacing = sampleRate_ / static_cast<double>(n);
    const double low = calibratorHz_ / std::pow(2.0, 1.0 / 6);
    const double high = calibratorHz_ * std::pow(2.0, 1.0 / 6);
    double band = 0, total = 0, strongest = 0;
    for (std::size_t i = 1; i < n / 2; ++i) {
        const double re = spectrum_[i].real, im = spectrum_[i].imag;
        const double power = 2 * (re * re + im * im) * factors_[i];
        total += power;
        const double hz = static_cast<double>(i) * spacing;
        if (hz >= low && hz <= high)
            band += power;
        if (power > strongest) {
            strongest = power;
            peakHz_ = hz;
        }
    }
    if (!(total > 0)) {
        result_.status = CalibrationResult::Status::Silent;
        return result_;
    }
    // Mean square of the band's part of the signal, as a level in dBFS.
    const double meanSquare = band / (static_cast<double>(n) * windowSquareSum_);
    levels_.push_back(band > 0 ? 10 * std::log10(meanSquare / (kFullScaleRms * kFullScaleRms))
                               : -300.0);
    minShare_ = std::min(minShare_, band / total);
    if (static_cast<int>(levels_.size()) >= kCalibrationBlocks)
        finish();
    return result_;
}

void CalibrationMeasurement::finish()
{
    const auto [lo, hi] = std::minmax_element(levels_.begin(), levels_.end());
    double energy = 0;
    for (double level : levels_)
        energy += std::pow(10.0, level / 10);
    result_.levelDbfs = 10 * std::log10(energy / static_cast<double>(levels_.size()));
    result_.spreadDb = *hi - *lo;
    result_.share = minShare_;
    result_.peakHz = peakHz_;
    if (minShare_ < kCalibrationMinShare)
        result_.status = CalibrationResult::Status::NotATone;
    else if (result_.spreadDb > kCalibrationMaxSpreadDb)
        result_.status = CalibrationResult::Status::Wandering;
    else {
        result_.status = CalibrationResult::Status::Done;
        result_.offsetDb = calibratorDb_ - result_.levelDbfs;
    }
}

} // namespace engine
