#pragma once
// Windowing by a window function with its statistics, and the two spectrum
// helpers of the FFT analyzer.

#include "fft_types.h"

#include <span>

namespace dsp {

// Weight at a position x across the block, 0 (start) to 1 (end).
using TFFTWindowFunc = TFFTFloat (*)(TFFTFloat x);

// Mean weight and mean squared weight of the window last applied.
struct TFFTWindowInfo {
    TFFTFloat intw;
    TFFTFloat intw2;
};

// Multiplies data[i] by winFunc((i + 0.5) / n), the weight at the centre of the
// sample's slot, calling winFunc once per sample. An empty array returns
// (1, 1) without calling winFunc.
TFFTWindowInfo ApplyWindow(std::span<TFFTFloat> data, TFFTWindowFunc winFunc);

// Welch window 1 - (2x - 1)^2: 1 at the centre, 0 at both ends.
TFFTFloat WWelch(TFFTFloat x);

// amplitude[i] = |spectrum[i]| for i below the shorter length; the rest of
// amplitude is set to 0.
void RectToAbs(std::span<const TFFTComplex> spectrum, std::span<TFFTFloat> amplitude);

// data[i] *= scalar for every element.
void ScaleVector(std::span<TFFTFloat> data, TFFTFloat scalar);

} // namespace dsp
