#pragma once
// What the generator plays: a waveform whose scale follows the level through
// raised-cosine ramps of kRampSeconds: up from silence at the start, to a new
// level when it changes, down to silence when asked to stop. At a steady
// level every sample is exactly the virtual input's sample at that level and
// the same position in the sequence (waveform.h).
//
// Threads: the constructor, setLevel and requestFadeOut run on the UI thread;
// render runs on the audio library's thread and allocates nothing and calls
// no Qt. They share only atomics.

#include "waveform.h"

#include <atomic>
#include <memory>

namespace capture {

class GeneratorRender {
public:
    // About 20 ms: short enough to feel immediate, long enough not to click.
    static constexpr double kRampSeconds = 0.02;

    // Starts silent and ramps to levelDb with the first frames rendered.
    GeneratorRender(std::unique_ptr<Waveform> waveform, double levelDb, double rate);

    // The level to ramp to from wherever the scale is now.
    void setLevel(double levelDb);
    // Ramps to silence; fadedOut() holds once that has been rendered.
    void requestFadeOut();
    bool fadedOut() const { return fadedOut_.load(std::memory_order_acquire); }

    // Writes frames x channels interleaved samples, the same on every channel,
    // limited to +-1.0. After the fade-out it writes zeros and returns false.
    bool render(float* out, int frames, int channels) noexcept;

    // Frames a full ramp takes.
    int rampFrames() const { return rampFrames_; }

private:
    void aimAt(double scale) noexcept;
    double nextScale() noexcept;

    std::unique_ptr<Waveform> waveform_;
    const int rampFrames_;
    std::atomic<double> target_;
    std::atomic<bool> fadeOut_{false};
    std::atomic<bool> fadedOut_{false};
    // The audio thread's own: the ramp from `from_` to `to_`, `step_` frames in.
    double from_ = 0;
    double to_ = 0;
    double scale_ = 0;
    int step_ = 0;
};

} // namespace capture
