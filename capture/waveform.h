#pragma once
// What a test or generator signal is, sample by sample: the sine, the sweep,
// white and pink noise and silence, at unit scale, plus the scale that gives
// a level in dBFS. The virtual test-signal input and the generator output
// both render through these, so the same parameters give the same samples on
// both. When the samples are delivered is the caller's business.

#include "test_signal_params.h"

#include <memory>
#include <string>

namespace capture {

class Waveform {
public:
    virtual ~Waveform() = default;
    // The next sample at unit scale. Allocates nothing and calls no Qt: runs
    // on the device's or the audio library's thread.
    virtual double next() noexcept = 0;
    // The next `count` samples as renderSample gives them with this scale,
    // in order: the same values as that many calls, cheaper per sample where
    // the waveform knows how. Same threads as next().
    virtual void render(float* out, int count, double scale) noexcept;
    // The factor on next() that gives levelDb dBFS as the meter reads it, 0
    // dBFS being the RMS of a full-scale sine (peak 1.0): a tone's peak
    // amplitude, a noise's RMS over 1 / sqrt(2); 0 for silence.
    virtual double scaleFor(double levelDb) const noexcept = 0;
};

// A fresh waveform (its sequence starts over) at the rate in frames per
// second; null with a reason in error when a frequency is not below half the
// rate. UI thread.
std::unique_ptr<Waveform> makeWaveform(const TestSignalParams& params, double rate,
                                       std::string& error);

// One sample as both sides render it: scale x the waveform's next value, as a
// 32-bit float.
inline float renderSample(Waveform& waveform, double scale) noexcept
{
    return static_cast<float>(scale * waveform.next());
}

} // namespace capture
