#pragma once
// The FFT page's measurement beyond one block: transforms of 8192 to 65536
// points over the newest samples (each block slides the window on by one
// block, so the block rate stays), the bin powers with an optional per-bin
// power factor, their average and their peak hold. Powers are in RMS sample
// units squared (a sine of RMS value A centred on a bin reads A^2 there).
// About 1.5 MB: one instance for the run, never on the stack. UI thread only;
// allocates nothing.

#include "fft_axes.h"
#include "types.h"

#include "dsp/fft_types.h"
#include "dsp/window.h"

#include <array>
#include <cstdint>
#include <span>

namespace engine {

inline constexpr int kMaxFftLength = 65536;
inline constexpr int kMaxFftBins = kMaxFftLength / 2;
static_assert(kMaxFftBins == kMaxFftBinsOfLayout);

// The transform lengths offered: 8192 (one block) to 65536, powers of two.
inline constexpr std::array<int, 4> kFftLengths = {8192, 16384, 32768, 65536};
bool isFftLength(int n);

// How the bin powers are averaged, in the order of the page's list. The
// running ones weigh the newest block as the octave-band averaging does
// (0.7, 0.2, 0.02); Infinite is the plain mean of every block since the
// last reset.
enum class FftAveraging { None = 0, Fast = 1, Slow = 2, VerySlow = 3, Infinite = 4 };
inline constexpr int kFftAveragingItems = 5;

struct FftAnalysis {
    int length = kBlockSamples; // one of kFftLengths
    // The newest kMaxFftLength samples as a ring, the next one going to
    // historyNext; zero after a reset.
    std::array<float, kMaxFftLength> history{};
    std::size_t historyNext = 0;
    // Samples the ring holds since it was cleared, up to kMaxFftLength.
    std::int64_t historyFilled = 0;
    std::array<dsp::TFFTFloat, kMaxFftLength> signal{};
    std::array<dsp::TFFTComplex, kMaxFftLength> spectrum{};
    // Per bin 0 .. length / 2 - 1: the last block's power, its average and
    // the highest block power since the last reset.
    std::array<double, kMaxFftBins> power{};
    std::array<double, kMaxFftBins> average{};
    std::array<double, kMaxFftBins> hold{};
    // Blocks in the average and the hold since the last reset.
    std::int64_t blocks = 0;
    // The window's weights for windowLength samples (0: none yet) and their
    // statistics, worked out once per length instead of once per sample.
    std::array<dsp::TFFTFloat, kMaxFftLength> window{};
    int windowLength = 0;
    dsp::TFFTWindowInfo windowInfo{1.0f, 1.0f};
};

// The bins a transform of the state's length yields for the page: length / 2.
inline int fftBins(const FftAnalysis& a)
{
    return a.length / 2;
}

// START or "Reset": the average and the hold begin anew with the next
// block. clearHistory also forgets the samples (at START: a new signal).
void resetFftAnalysis(FftAnalysis& a, bool clearHistory);

// A new length (one of kFftLengths; anything else changes nothing and
// returns false); the average and the hold begin anew, the history stays.
bool setFftLength(FftAnalysis& a, int length);

// One block: appends the samples (at most kMaxFftLength count) to the
// history, Welch-windows its newest `length` samples, transforms them,
// and takes every bin's power |X|^2 (sqrt(2) / (intw length))^2, times
// powerFactors[k] when the table holds at least length / 2 entries (empty:
// all 1; a shorter table is ignored). Then the average by `mode` and the
// hold take the block. While the history since the last clear is shorter
// than the length, the block's partial transform is shown as both and the
// average and the hold start with the first full one, so the onset of the
// signal is never held.
void analyseFftBlock(FftAnalysis& a, std::span<const std::int16_t> samples, FftAveraging mode,
                     std::span<const float> powerFactors = {});

// The level in dBFS of a bin power, plus offsetDb; -inf for a power that is
// 0 or less (NaN stays NaN).
double fftPowerLevel(double power, double offsetDb = 0.0);

// The bin power of a level in dBFS, the inverse of fftPowerLevel: 0 for
// -inf, +inf for a level beyond the doubles, NaN for NaN.
double fftLevelPower(double levelDbfs);

} // namespace engine
