#include "weighting_filter.h"

#include "weighting_poles.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace engine {

WeightingFilter::WeightingFilter(Weighting w, double sampleRate) : rate_(sampleRate)
{
    const double k = 2 * sampleRate;
    auto omega = [](double hz) { return 2 * std::numbers::pi * hz; };
    // s / (s + w), bilinear.
    auto highPass = [&](double hz) {
        const double wp = omega(hz);
        Section s;
        s.b0 = k / (k + wp);
        s.b1 = -k / (k + wp);
        s.a1 = -(k - wp) / (k + wp);
        return s;
    };
    // w / (s + w), bilinear.
    auto lowPassBilinear = [&](double hz) {
        const double wp = omega(hz);
        Section s;
        s.b0 = wp / (k + wp);
        s.b1 = wp / (k + wp);
        s.a1 = -(k - wp) / (k + wp);
        return s;
    };
    // w / (s + w), matched pole, unit gain at 0 Hz.
    auto lowPassMatched = [&](double hz) {
        const double p = std::exp(-omega(hz) / sampleRate);
        Section s;
        s.b0 = 1 - p;
        s.a1 = -p;
        return s;
    };
    sections_ = 0;
    auto add = [&](Section s) { section_[static_cast<std::size_t>(sections_++)] = s; };
    if (w != Weighting::Z) {
        add(highPass(kWeightingF1));
        add(highPass(kWeightingF1));
        if (w == Weighting::A) {
            add(highPass(kWeightingF2));
            add(highPass(kWeightingF3));
        }
        add(lowPassBilinear(kWeightingF4));
        add(lowPassMatched(kWeightingF4));
    }
    gain_ = 1.0;
    gain_ = 1.0 / rawGain(1000.0);
}

void WeightingFilter::clear()
{
    for (Section& s : section_)
        s.x1 = s.y1 = 0;
}

double WeightingFilter::rawGain(double hz) const
{
    const std::complex<double> zInv = std::polar(1.0, -2 * std::numbers::pi * hz / rate_);
    std::complex<double> h = gain_;
    for (int i = 0; i < sections_; ++i) {
        const Section& s = section_[static_cast<std::size_t>(i)];
        h *= (s.b0 + s.b1 * zInv) / (1.0 + s.a1 * zInv);
    }
    return std::abs(h);
}

double WeightingFilter::responseDb(double hz) const
{
    return 20 * std::log10(rawGain(hz));
}

} // namespace engine
