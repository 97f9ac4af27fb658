#pragma once
// The real transform for the lengths the analyzers use, vectorised from end to
// end. It computes exactly the bits of the routine chain (pack, radix-2
// transform, bit reversal, separation, unpacking) in another order: all
// twiddle walks run side by side ahead of the stages that need them, the last
// three stages are fused with the bit reversal, and the separation writes the
// interleaved spectrum directly.

#include "fft_routines.h"

namespace dsp {

// Packed lengths h = n / 2 the path takes: powers of two from 64 (one 8x8
// transpose per row) to 32768. Up to kBlockPathStackHalf its twiddle tables
// (64 KiB there) live on the stack; longer transforms use tables of the
// calling thread, 512 KiB, allocated at its first such transform and kept.
inline constexpr std::ptrdiff_t kBlockPathMinHalf = 64;
inline constexpr std::ptrdiff_t kBlockPathStackHalf = 4096;
inline constexpr std::ptrdiff_t kBlockPathMaxHalf = 32768;

// Forward transform of n real samples into out[0 .. 2n) as n interleaved
// complex bins, when n / 2 is a power of two within the limits above; returns
// false and writes nothing otherwise. signal must not overlap out. Throws
// std::bad_alloc when the tables of a long transform cannot be had.
bool realTransformBlock(const float* signal, Step signalStep, float* out, std::ptrdiff_t n);

} // namespace dsp
