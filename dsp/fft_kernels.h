#pragma once
// Loop bodies shared by the radix-2 and chirp routines, written once for any
// step: with Unit the step is the constant 1 and the compiler vectorises the
// loops; with a run-time Step they do the same arithmetic element by element.
//
// A stage runs its butterflies block by block with the factors of a chunk of
// butterfly positions generated ahead by the recurrence. Within a stage every
// butterfly touches its own two elements, so this order gives the same bits as
// running the positions one after another.

#include "butterflies.h"
#include "fft_routines.h"
#include "simd.h"
#include "twiddle.h"

#include <algorithm>
#include <numbers>

namespace dsp::kernels {

struct Unit {};

DSP_INLINE std::ptrdiff_t at(std::ptrdiff_t k, Unit)
{
    return k;
}
DSP_INLINE std::ptrdiff_t at(std::ptrdiff_t k, Step s)
{
    return k * s;
}

// Angle pi / (-isign * n) of a radix-2 stage or the real-transform separation,
// divided in extended precision before it is held as a double.
inline double stageAngle(int isign, std::ptrdiff_t n)
{
    return static_cast<double>(std::numbers::pi_v<long double> /
                               static_cast<long double>(-isign * n));
}

struct Dif {
    template <class S>
    DSP_INLINE static void apply(float* re, S rs, float* im, S is, std::ptrdiff_t i,
                                 std::ptrdiff_t k, double wr, double wi)
    {
        difButterfly(re[at(i, rs)], im[at(i, is)], re[at(k, rs)], im[at(k, is)], wr, wi);
    }
};

struct Dit {
    template <class S>
    DSP_INLINE static void apply(float* re, S rs, float* im, S is, std::ptrdiff_t i,
                                 std::ptrdiff_t k, double wr, double wi)
    {
        ditButterfly(re[at(i, rs)], im[at(i, is)], re[at(k, rs)], im[at(k, is)], wr, wi);
    }
};

// Butterfly positions whose factors are generated ahead: 2 KiB of stack.
inline constexpr std::ptrdiff_t kChunk = 128;

// Spans of 2, 4 and 8 have too few positions for a vector; these run the
// positions unrolled and let the compiler vectorise across blocks instead.
template <int H, class B, class S>
DSP_INLINE void narrowStage(float* re, S rs, float* im, S is, std::ptrdiff_t n, double theta)
{
    double wr[H];
    double wi[H];
    TwiddleWalk(theta).fill(wr, wi, H);
    for (std::ptrdiff_t b = 0; b < n; b += 2 * H)
        for (int j = 0; j < H; ++j)
            B::apply(re, rs, im, is, b + j, b + j + H, wr[j], wi[j]);
}

template <class B, class S>
DSP_INLINE void stage(float* re, S rs, float* im, S is, std::ptrdiff_t n, std::ptrdiff_t half,
                      double theta)
{
    switch (half) {
    case 1:
        return narrowStage<1, B>(re, rs, im, is, n, theta);
    case 2:
        return narrowStage<2, B>(re, rs, im, is, n, theta);
    case 4:
        return narrowStage<4, B>(re, rs, im, is, n, theta);
    default:
        break;
    }
    TwiddleWalk walk(theta);
    double wr[kChunk];
    double wi[kChunk];
    for (std::ptrdiff_t j0 = 0; j0 < half; j0 += kChunk) {
        const std::ptrdiff_t count = std::min(kChunk, half - j0);
        walk.fill(wr, wi, count);
        for (std::ptrdiff_t b = j0; b < n; b += 2 * half)
            for (std::ptrdiff_t j = 0; j < count; ++j)
                B::apply(re, rs, im, is, b + j, b + j + half, wr[j], wi[j]);
    }
}

template <class S>
DSP_INLINE void sandeTukey(float* re, S rs, float* im, S is, std::ptrdiff_t n, int isign)
{
    for (std::ptrdiff_t half = n / 2; half >= 1; half /= 2)
        stage<Dif>(re, rs, im, is, n, half, stageAngle(isign, half));
}

template <class S>
DSP_INLINE void cooleyTukey(float* re, S rs, float* im, S is, std::ptrdiff_t n, int isign)
{
    for (std::ptrdiff_t half = 1; half < n; half *= 2)
        stage<Dit>(re, rs, im, is, n, half, stageAngle(isign, half));
}

// The 1/n of an inverse transform, rounded to single and applied to n elements.
inline void scaleByInverseLength(float* re, Step rs, float* im, Step is, std::ptrdiff_t n)
{
    const float r = static_cast<float>(1.0 / static_cast<double>(n));
    for (std::ptrdiff_t k = 0; k < n; ++k) {
        re[k * rs] *= r;
        im[k * is] *= r;
    }
}

} // namespace dsp::kernels
