#pragma once
// The FFT analyzer's numbers: the x position of every bin for the width of the
// FFT graph, and per block the Welch-windowed magnitude spectrum as rows of
// 3 pixels per dB below the row of 0 dBFS. The caller draws bins 0 .. 4095
// from NewPoints and copies kFftBinsDrawn and NewPoints into slot 0. UI
// thread only; allocates nothing.

#include "measurement_state.h"

#include <cstdint>
#include <optional>
#include <span>

namespace engine {

// Bins drawn per block: half the transform, 0 Hz to just below half the frame
// rate.
inline constexpr int kFftBinsDrawn = kBlockSamples / 2;

// 0 dBFS is the RMS value of a full-scale sine, of peak 32768 (AES17): a
// full-scale sine centred on a bin reads 0 dBFS there.
inline constexpr long double kFullScaleSineRms = 32768 / 1.41421356237309504880L;
// Rows per dB of the level axis.
inline constexpr int kFftRowsPerDb = 3;

// Tab set-up: Columnwidth = graphWidth / (frameRate div 2) pixels per hertz,
// and NewPoints x[i] = fftFrequencyColumn(i frameRate / 8192) for all 8192
// entries: every bin at its own frequency. A frame rate below 2 changes
// nothing and returns false.
bool setUpFftTab(MeasurementState& state, int graphWidth, int frameRate = kFrameRate);

// The graph column of a frequency: Round(hz Columnwidth), halves to even;
// nothing when that is not a finite 32-bit value. The grid's frequency lines
// stand at the same columns.
std::optional<std::int32_t> fftFrequencyColumn(long double hz, double columnwidth);

// Row of a bin with an exactly zero real or imaginary part: zeroDbfsRow +
// Round(3 ZerodBOffset), 470 rows below the 0 dBFS line once a capture has
// started: below the visible graph.
std::int32_t fftZeroRow(const MeasurementState& state, int zeroDbfsRow = 0);

// The level of a scaled magnitude (RMS sample units) in dBFS:
// 20 log10(magnitude / kFullScaleSineRms).
long double fftLevelDbfs(float magnitude);

// Row of a scaled magnitude on a graph whose line of offsetDb dB below the
// reference's 0 (0 dBFS with the default 0) is row zeroDbfsRow:
// Round(zeroDbfsRow - 3 (fftLevelDbfs(magnitude) + offsetDb)); the zero row
// for a magnitude that is 0, negative or not finite, which never reaches the
// logarithm.
std::int32_t fftMagnitudeRow(const MeasurementState& state, float magnitude, int zeroDbfsRow,
                             double offsetDb = 0);

// One block: InSignal = samples (padded with zeros to 8192), windowed in place
// by winFunc into wi, transformed into Spectrum, magnitudes into FFTbins
// scaled by sqrt(2) / (wi.intw 8192), rows of bins 0 .. 4095 into NewPoints
// y, then copied into OldPoints y. zeroDbfsRow: the graph row of the grid's
// 0 line. Calibration: each bin's power is multiplied by binPowerFactors[i]
// where the table has an entry (its magnitude by the root; empty: all 1),
// and offsetDb, the reference's offset from dBFS less the grid's top
// level, is added to every level.
void processFftBlock(MeasurementState& state, std::span<const std::int16_t> samples,
                     int zeroDbfsRow, std::span<const float> binPowerFactors = {},
                     double offsetDb = 0);

} // namespace engine
