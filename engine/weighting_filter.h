#pragma once
// A, C or Z frequency weighting of a sample stream, as a cascade of
// first-order sections in double precision. The low poles (f1, and f2 and f3
// for A) and one of the two f4 poles are bilinear transforms; the other f4
// pole is matched (z = exp(-2 pi f4 / rate)), whose rise towards half the
// rate offsets the bilinear's fall: at 48 kHz the response follows the
// analytic curve within 0.5 dB up to 12.5 kHz and 1.8 dB at 16 kHz, where a
// bilinear design alone is 6 dB low. 0 dB at 1 kHz. Not thread-safe; no
// allocation.

#include "weighting.h"

#include <array>

namespace engine {

class WeightingFilter {
public:
    WeightingFilter() = default;
    // Designs the filter for `w` at `sampleRate` (Hz, above 2 kHz) and clears
    // its memory.
    WeightingFilter(Weighting w, double sampleRate);

    // The next output sample for input x.
    double process(double x)
    {
        for (int i = 0; i < sections_; ++i) {
            Section& s = section_[static_cast<std::size_t>(i)];
            const double y = s.b0 * x + s.b1 * s.x1 - s.a1 * s.y1;
            s.x1 = x;
            s.y1 = y;
            x = y;
        }
        return x * gain_;
    }

    // Forgets the past input.
    void clear();

    // |H| at hz in dB (for checks against the analytic curve).
    double responseDb(double hz) const;

private:
    struct Section {
        double b0 = 1, b1 = 0, a1 = 0;
        double x1 = 0, y1 = 0;
    };
    double rawGain(double hz) const;

    std::array<Section, 6> section_{};
    int sections_ = 0;
    double gain_ = 1.0;
    double rate_ = 48000.0;
};

} // namespace engine
