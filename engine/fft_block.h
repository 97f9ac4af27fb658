#pragma once
// The FFT analyzer's numbers: the x position of every bin for the width of the
// FFT graph, and per block the Welch-windowed magnitude spectrum as rows of
// 3 pixels per dB (an RMS amplitude of one sample unit on the bottom row,
// graphHeight). The caller draws bins 0 .. 4095 from NewPoints and copies
// kFftBinsDrawn and NewPoints into slot 0. UI thread only; allocates nothing.

#include "measurement_state.h"

#include <cstdint>
#include <span>

namespace engine {

// Bins drawn per block: half the transform, 0 Hz to just below half the frame
// rate.
inline constexpr int kFftBinsDrawn = kBlockSamples / 2;

// Tab set-up: Columnwidth = graphWidth / (frameRate div 2) pixels per hertz,
// and NewPoints x[i] = Round(5.5 i Columnwidth) for all 8192 entries. A frame
// rate below 2 changes nothing and returns false.
bool setUpFftTab(MeasurementState& state, int graphWidth, int frameRate = kFrameRate);

// Row of a bin with an exactly zero real or imaginary part: Round(3
// ZerodBOffset), 470 once a capture has started.
std::int32_t fftZeroRow(const MeasurementState& state);

// Row of a scaled magnitude (RMS sample units): Round(graphHeight - 60
// log10(magnitude)); the zero row for a magnitude that is 0, negative or not
// finite, which never reaches the logarithm.
std::int32_t fftMagnitudeRow(const MeasurementState& state, float magnitude, int graphHeight);

// One block: InSignal = samples (padded with zeros to 8192), windowed in place
// by winFunc into wi, transformed into Spectrum, magnitudes into FFTbins
// scaled by sqrt(2) / (wi.intw 8192), rows of bins 0 .. 4095 into NewPoints
// y, then copied into OldPoints y.
void processFftBlock(MeasurementState& state, std::span<const std::int16_t> samples,
                     int graphHeight);

} // namespace engine
