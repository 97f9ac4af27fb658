#pragma once
// The measurement's working state: one static instance for the whole run,
// owned by the application and passed by reference; a test builds its own.
// Nothing here is allocated per block. UI thread only.

#include "types.h"

#include "dsp/fft_types.h"
#include "dsp/window.h"

#include <array>
#include <cstdint>

namespace engine {

struct MeasurementState {
    // The current block as floats (windowed in place for the analyzers).
    std::array<dsp::TFFTFloat, kBlockSamples> InSignal{};
    // Window coefficients of the octave-band analyzer, built from the window
    // type chosen in the settings.
    std::array<double, kBlockSamples> Window{};
    // The FFT analyzer's window function and the statistics of its last use.
    dsp::TFFTWindowFunc winFunc = dsp::WWelch;
    dsp::TFFTWindowInfo wi{1.0f, 1.0f};
    std::array<dsp::TFFTComplex, kBlockSamples> Spectrum{};
    // Per bin: power (octave bands) or scaled magnitude (FFT analyzer).
    std::array<dsp::TFFTFloat, kBlockSamples> FFTbins{};
    // Points of the curve being drawn and the rows of the previous block's
    // (the octave-band average itself is AveragedLevels, in dB).
    CoordArray NewPoints{};
    CoordArray OldPoints{};
    // Per-band working values of the octave-band analyzer: power sum, then
    // amplitude, then screen row. Entry 0 belongs to no band.
    BinArray OctBands{};
    // The level in dB of each band of the last block, relative to an
    // amplitude of 1 in transform units, as the display average takes it
    // (see octaveBandRows); entry 0 (no band) NaN. Extended precision, like
    // the rows computed from it.
    std::array<long double, kBinArraySize> OctBandLevels{};
    // The display average: per band the running mean of the block levels in
    // dB, unrounded, so that it settles on a steady level; entry 0 unused.
    // What the curve shows and slot 0 keeps: its rows are computed from it
    // through the scale in force. AverageRestart makes the next block start
    // it afresh at the level axis' minimum.
    std::array<long double, kBinArraySize> AveragedLevels{};
    bool AverageRestart = true;
    // Weight of the newest block in the octave-band display average.
    float AveragingFactor = 1.0f;
    // Pixels per dB and the row of 0 dB on the octave-band graph. Until the
    // first valid axis limits arrive: the default axis, 20 dB to 100 dB, on
    // the default 465-pixel grid.
    float OneDB = 4.8125f;
    float ZerodBPoint = 521.25f;
    // Pixels per band column (octave bands) or per hertz (FFT analyzer).
    double Columnwidth = 0.0;
    // 20 log10(2^26), set at every start; the FFT analyzer places bins with an
    // exactly zero component at 3 times this (row 470).
    double ZerodBOffset = 0.0;

    // Oscilloscope ring of the newest samples; the last element is never used.
    std::array<std::int32_t, kScopeRingSize + 1> ScopeBuffer{};
    // Samples written since the last reset. 64 bits wide, so the ring position
    // (counter mod kScopeRingSize) stays right however long a capture runs.
    std::int64_t ScopeBufferCounter = 0;
    // Samples across the ten divisions of the screen, and seconds per division.
    std::int32_t ScopeBuffersize = 0;
    double CurrtDiv = 0.0;
};

// The capture's start: ScopeBufferCounter to 0 and ZerodBOffset to
// 20 log10(2^26).
void onCaptureStart(MeasurementState& state);

} // namespace engine
