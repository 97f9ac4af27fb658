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
    // The factor on next() that gives levelDb dBFS: peak for the tones, RMS
    // for the noises, 0 for silence. 0 dBFS is an amplitude of 1.0.
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
