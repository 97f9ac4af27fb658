#pragma once
// The broadband sound level meter: every sample through the frequency
// weighting, then the time-weighted mean squares Fast (125 ms) and Slow
// (1 s), the energy average since the last reset (Leq), the highest Fast
// level since then, and the peak, the largest |sample| unweighted. Levels in
// dBFS (0 dB: the mean square of a full-scale sine); the caller adds its
// reference's offset. UI thread; no allocation.

#include "weighting_filter.h"

#include <cstdint>
#include <span>

namespace engine {

struct MeterReadings {
    // -infinity until a sample with power arrived.
    double fastDb;
    double slowDb;
    double leqDb;
    double maxFastDb;
    // 20 log10(max |sample| / 32768): 0 dB at full scale.
    double peakDb;
};

class SoundLevelMeter {
public:
    explicit SoundLevelMeter(Weighting w = Weighting::Z, double sampleRate = 48000.0);

    // A new weighting or rate: designs the filter and resets.
    void configure(Weighting w, double sampleRate);
    Weighting weighting() const { return weighting_; }

    // Back to nothing measured: START and "Reset".
    void reset();

    // Runs the samples through the meter (16-bit values, unscaled).
    void process(std::span<const std::int16_t> samples);

    MeterReadings readings() const;

private:
    Weighting weighting_ = Weighting::Z;
    WeightingFilter filter_;
    double fastCoefficient_ = 0;
    double slowCoefficient_ = 0;
    double fast_ = 0;
    double slow_ = 0;
    double maxFast_ = 0;
    long double energy_ = 0;
    std::int64_t samples_ = 0;
    int peak_ = 0;
};

} // namespace engine
