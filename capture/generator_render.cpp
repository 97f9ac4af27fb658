#include "generator_render.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace capture {

GeneratorRender::GeneratorRender(std::unique_ptr<Waveform> waveform, double levelDb, double rate)
    : waveform_(std::move(waveform)),
      rampFrames_(std::max(1, static_cast<int>(std::lround(kRampSeconds * rate)))),
      target_(waveform_->scaleFor(levelDb))
{
    step_ = rampFrames_;
}

void GeneratorRender::setLevel(double levelDb)
{
    target_.store(waveform_->scaleFor(levelDb), std::memory_order_release);
}

void GeneratorRender::requestFadeOut()
{
    fadeOut_.store(true, std::memory_order_release);
}

void GeneratorRender::aimAt(double scale) noexcept
{
    if (scale == to_)
        return;
    from_ = scale_;
    to_ = scale;
    step_ = 0;
}

double GeneratorRender::nextScale() noexcept
{
    if (step_ < rampFrames_) {
        ++step_;
        // The last step lands on the target exactly, so a steady level
        // multiplies by the very scale the virtual input uses.
        scale_ = step_ == rampFrames_
                     ? to_
                     : from_ + (to_ - from_) *
                                   (0.5 - 0.5 * std::cos(std::numbers::pi * step_ / rampFrames_));
    }
    return scale_;
}

bool GeneratorRender::render(float* out, int frames, int channels) noexcept
{
    if (fadedOut_.load(std::memory_order_relaxed)) {
        std::fill_n(out, static_cast<long>(frames) * channels, 0.0f);
        return false;
    }
    const bool fading = fadeOut_.load(std::memory_order_acquire);
    aimAt(fading ? 0.0 : target_.load(std::memory_order_acquire));
    if (step_ == rampFrames_) {
        // A steady level: the waveform renders the block in one go, spread
        // to the channels from the last frame, so none is overwritten unread.
        waveform_->render(out, frames, scale_);
        for (int i = frames - 1; i >= 0; --i) {
            const float v = std::clamp(out[i], -1.0f, 1.0f);
            std::fill_n(out + static_cast<std::ptrdiff_t>(i) * channels, channels, v);
        }
    } else {
        for (int i = 0; i < frames; ++i) {
            const float v = std::clamp(renderSample(*waveform_, nextScale()), -1.0f, 1.0f);
            for (int c = 0; c < channels; ++c)
                *out++ = v;
        }
    }
    if (fading && step_ == rampFrames_) {
        fadedOut_.store(true, std::memory_order_release);
        return false;
    }
    return true;
}

} // namespace capture
