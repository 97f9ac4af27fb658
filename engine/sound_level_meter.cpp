#include "sound_level_meter.h"

#include "calibration_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace engine {
namespace {

constexpr double kFastSeconds = 0.125;
constexpr double kSlowSeconds = 1.0;

double dbfsOfMeanSquare(long double meanSquare)
{
    if (!(meanSquare > 0))
        return -std::numeric_limits<double>::infinity();
    return static_cast<double>(
        10 * std::log10(meanSquare / (static_cast<long double>(kFullScaleRms) * kFullScaleRms)));
}

} // namespace

SoundLevelMeter::SoundLevelMeter(Weighting w, double sampleRate)
{
    configure(w, sampleRate);
}

void SoundLevelMeter::configure(Weighting w, double sampleRate)
{
    weighting_ = w;
    filter_ = WeightingFilter(w, sampleRate);
    // The exponential average's step for time constant tau: 1 - exp(-T / tau).
    fastCoefficient_ = -std::expm1(-1.0 / (kFastSeconds * sampleRate));
    slowCoefficient_ = -std::expm1(-1.0 / (kSlowSeconds * sampleRate));
    reset();
}

void SoundLevelMeter::reset()
{
    filter_.clear();
    fast_ = slow_ = maxFast_ = 0;
    energy_ = 0;
    samples_ = 0;
    peak_ = 0;
}

void SoundLevelMeter::process(std::span<const std::int16_t> samples)
{
    double fast = fast_, slow = slow_, maxFast = maxFast_, energy = 0;
    int peak = peak_;
    const double cf = fastCoefficient_, cs = slowCoefficient_;
    filter_.processBlock(samples, [&](double y) {
        const double power = y * y;
        fast += cf * (power - fast);
        slow += cs * (power - slow);
        maxFast = std::max(maxFast, fast);
        energy += power;
    });
    for (const std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    fast_ = fast;
    slow_ = slow;
    maxFast_ = maxFast;
    // One block's sum in double; the running total in extended precision, so
    // hours of blocks keep their weight.
    energy_ += energy;
    samples_ += static_cast<std::int64_t>(samples.size());
    peak_ = peak;
}

MeterReadings SoundLevelMeter::readings() const
{
    MeterReadings r;
    r.fastDb = dbfsOfMeanSquare(fast_);
    r.slowDb = dbfsOfMeanSquare(slow_);
    r.maxFastDb = dbfsOfMeanSquare(maxFast_);
    r.leqDb = samples_ > 0 ? dbfsOfMeanSquare(energy_ / samples_)
                           : -std::numeric_limits<double>::infinity();
    r.peakDb =
        peak_ > 0 ? 20 * std::log10(peak_ / 32768.0) : -std::numeric_limits<double>::infinity();
    return r;
}

} // namespace engine
