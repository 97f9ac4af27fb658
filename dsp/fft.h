#pragma once
// The public transform: a real signal in, its full complex spectrum out.

#include "fft_types.h"

#include <span>
#include <stdexcept>

namespace dsp {

// spectrum[k] = sum_j signal[j] * e^(-2*pi*i*j*k/n) for k < n, unscaled, with
// spectrum[n-k] = conj(spectrum[k]) and exactly zero imaginary parts at bins 0
// and n/2. Elements of spectrum beyond n are left alone. An empty signal writes
// nothing. A spectrum shorter than the signal throws std::length_error with
// "FFT: spectrum array too short" and writes nothing. The two arrays must not
// overlap. Keeps no state; safe to call from any thread.
void FFT(std::span<const TFFTFloat> signal, std::span<TFFTComplex> spectrum);

} // namespace dsp
