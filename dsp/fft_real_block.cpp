#include "fft_real_block.h"

#include "butterflies.h"
#include "fft_kernels.h"
#include "twiddle.h"
#include "vec8.h"

#include <bit>
#include <memory>

#pragma GCC diagnostic ignored "-Wpsabi" // vector helpers are all inlined

namespace dsp {
namespace {

using vec::D8;
using vec::F8;

// The factors of the first stage's h/2 positions and of the separation's h/2
// pairs are each one walk of h/2 steps; the stages after the first (halves h/4
// down to 1) need h/2 - 1 factors in all. Walked one after another they would
// cost three times the 9-cycle latency of a step; walked side by side, with the
// first stage's butterflies in their shadow, they cost it once.
struct Tables {
    double* laterR; // stage of half H at offset h/2 - 2H
    double* laterI;
    double* sepR; // pair i at index i - 1
    double* sepI;
};

DSP_INLINE std::ptrdiff_t laterOffset(std::ptrdiff_t half, std::ptrdiff_t H)
{
    return half - 2 * H;
}

// Eight packed values x[2k] + i x[2k+1], k = k0 .. k0+7, of the signal.
DSP_INLINE void loadPacked(const float* signal, Step step, std::ptrdiff_t k0, F8& re, F8& im)
{
    if (step == 1) {
        const F8 a = vec::load(signal + 2 * k0), b = vec::load(signal + 2 * k0 + 8);
        re = __builtin_shuffle(a, b, vec::I8{0, 2, 4, 6, 8, 10, 12, 14});
        im = __builtin_shuffle(a, b, vec::I8{1, 3, 5, 7, 9, 11, 13, 15});
        return;
    }
    for (int q = 0; q < 8; ++q) {
        re[q] = signal[2 * (k0 + q) * step];
        im[q] = signal[(2 * (k0 + q) + 1) * step];
    }
}

// The first stage's butterflies at positions k0 .. k0+7, straight from the
// signal.
DSP_INLINE void firstStageButterflies(const float* signal, Step step, float* re, float* im,
                                      std::ptrdiff_t half, std::ptrdiff_t k0, const double* fr,
                                      const double* fi)
{
    F8 ri, ii, rk, ik;
    loadPacked(signal, step, k0, ri, ii);
    loadPacked(signal, step, k0 + half, rk, ik);
    difButterfly(ri, ii, rk, ik, vec::load(fr), vec::load(fi));
    vec::store(re + k0, ri);
    vec::store(im + k0, ii);
    vec::store(re + k0 + half, rk);
    vec::store(im + k0 + half, ik);
}

// Packs the signal and runs the first stage while all the tables are walked.
DSP_INLINE void firstStageAndTables(const float* signal, Step step, float* re, float* im,
                                    std::ptrdiff_t h, Tables t)
{
    const std::ptrdiff_t half = h / 2;
    TwiddleWalk first(kernels::stageAngle(1, half));
    TwiddleWalk sep(kernels::stageAngle(1, h));
    sep.wr = 1.0 + sep.wpr; // separation starts at the factor of index 1
    sep.wi = sep.wpi;
    alignas(64) double fr[8];
    alignas(64) double fi[8];

    // The later stages' walks follow one another in the same loop: the stage
    // of half H fills laterR/I at offset half - 2H, and they end at half - 1;
    // the first stage's butterflies run every eighth step. Their sines are
    // taken up front, as a call inside the loop would push every walk's state
    // out of registers.
    TwiddleWalk laterWalks[16];
    std::ptrdiff_t laterEnd[16];
    int stages = 0;
    for (std::ptrdiff_t H = half / 2, end = 0; H >= 1; H /= 2, ++stages) {
        laterWalks[stages] = TwiddleWalk(kernels::stageAngle(1, H));
        laterEnd[stages] = end += H;
    }
    TwiddleWalk later = laterWalks[0];
    int stage = 0;
    for (std::ptrdiff_t k = 0; k < half; ++k) {
        if (k == laterEnd[stage] && stage + 1 < stages)
            later = laterWalks[++stage];
        if (k < half - 1) {
            t.laterR[k] = later.wr;
            t.laterI[k] = later.wi;
            later.advance();
        }
        fr[k & 7] = first.wr;
        fi[k & 7] = first.wi;
        first.advance();
        t.sepR[k] = sep.wr;
        t.sepI[k] = sep.wi;
        sep.advance();
        if ((k & 7) == 7)
            firstStageButterflies(signal, step, re, im, half, k - 7, fr, fi);
    }
}

// Stages of half h/4 down to 8, eight positions per butterfly.
DSP_INLINE void wideStages(float* re, float* im, std::ptrdiff_t h, Tables t)
{
    const std::ptrdiff_t half = h / 2;
    for (std::ptrdiff_t H = half / 2; H >= 8; H /= 2) {
        const double* wr = t.laterR + laterOffset(half, H);
        const double* wi = t.laterI + laterOffset(half, H);
        for (std::ptrdiff_t b = 0; b < h; b += 2 * H) {
            for (std::ptrdiff_t j = 0; j < H; j += 8) {
                float* pr = re + b + j;
                float* pi = im + b + j;
                F8 ri = vec::load(pr), ii = vec::load(pi);
                F8 rk = vec::load(pr + H), ik = vec::load(pi + H);
                difButterfly(ri, ii, rk, ik, vec::load(wr + j), vec::load(wi + j));
                vec::store(pr, ri);
                vec::store(pi, ii);
                vec::store(pr + H, rk);
                vec::store(pi + H, ik);
            }
        }
    }
}

DSP_INLINE std::ptrdiff_t reverseBits(std::ptrdiff_t x, int bits)
{
    std::ptrdiff_t r = 0;
    for (int b = 0; b < bits; ++b, x >>= 1)
        r = (r << 1) | (x & 1);
    return r;
}

// Stages of half 4, 2 and 1 with the bit reversal, out of place. Index
// i = (a, m, c) with 3 high bits a, 3 low bits c: the eight rows a of one m are
// loaded in bit-reversed order of a and transposed, so each vector holds one c
// and the three stages run lane-wise; the vector of c then belongs at
// (rev c, rev m, lanes) of the output.
DSP_INLINE void lastStagesReversed(const float* re, const float* im, float* outRe, float* outIm,
                                   std::ptrdiff_t h, Tables t)
{
    const std::ptrdiff_t half = h / 2;
    const int bits = std::countr_zero(static_cast<unsigned long>(h));
    const std::ptrdiff_t row = h / 8;
    auto w = [&](std::ptrdiff_t H, int j, const double* table) __attribute__((always_inline))
    {
        return vec::splat(table[laterOffset(half, H) + j]);
    };
    const D8 w4r[4] = {w(4, 0, t.laterR), w(4, 1, t.laterR), w(4, 2, t.laterR), w(4, 3, t.laterR)};
    const D8 w4i[4] = {w(4, 0, t.laterI), w(4, 1, t.laterI), w(4, 2, t.laterI), w(4, 3, t.laterI)};
    const D8 w2r[2] = {w(2, 0, t.laterR), w(2, 1, t.laterR)};
    const D8 w2i[2] = {w(2, 0, t.laterI), w(2, 1, t.laterI)};
    const D8 w1r = w(1, 0, t.laterR);
    const D8 w1i = w(1, 0, t.laterI);

    for (std::ptrdiff_t m = 0; m < row / 8; ++m) {
        F8 r[8], i[8];
        for (int q = 0; q < 8; ++q) {
            const std::ptrdiff_t src = reverseBits(q, 3) * row + 8 * m;
            r[q] = vec::load(re + src);
            i[q] = vec::load(im + src);
        }
        vec::transpose(r);
        vec::transpose(i);
        for (int j = 0; j < 4; ++j)
            difButterfly(r[j], i[j], r[j + 4], i[j + 4], w4r[j], w4i[j]);
        for (int b = 0; b < 8; b += 4)
            for (int j = 0; j < 2; ++j)
                difButterfly(r[b + j], i[b + j], r[b + j + 2], i[b + j + 2], w2r[j], w2i[j]);
        for (int b = 0; b < 8; b += 2)
            difButterfly(r[b], i[b], r[b + 1], i[b + 1], w1r, w1i);
        const std::ptrdiff_t dst = 8 * reverseBits(m, bits - 6);
        for (int c = 0; c < 8; ++c) {
            vec::store(outRe + reverseBits(c, 3) * row + dst, r[c]);
            vec::store(outIm + reverseBits(c, 3) * row + dst, i[c]);
        }
    }
}

// Separation of the packed spectrum (natural order in re, im) straight into
// the interleaved output bins 0 .. h-1; bin h (Nyquist) is returned.
DSP_INLINE float separateInterleaved(const float* re, const float* im, float* out, std::ptrdiff_t h,
                                     Tables t)
{
    const std::ptrdiff_t pairs = h / 2; // the last of them, i = h/2, is the middle
    const F8 c1 = vec::splat(0.5f);
    const F8 c2 = vec::splat(0.5f);
    const vec::I8 lowHalf{0, 8, 1, 9, 2, 10, 3, 11};
    const vec::I8 highHalf{4, 12, 5, 13, 6, 14, 7, 15};
    std::ptrdiff_t i = 1;
    for (; i + 8 <= pairs; i += 8) {
        const std::ptrdiff_t j = h - i - 7; // lowest j of the eight pairs
        const auto p =
            separatePair(vec::load(re + i), vec::load(im + i), vec::reversed(vec::load(re + j)),
                         vec::reversed(vec::load(im + j)), c1, c2, vec::load(t.sepR + i - 1),
                         vec::load(t.sepI + i - 1));
        vec::store(out + 2 * i, __builtin_shuffle(p.xr, p.xi, lowHalf));
        vec::store(out + 2 * i + 8, __builtin_shuffle(p.xr, p.xi, highHalf));
        const F8 yr = vec::reversed(p.yr), yi = vec::reversed(p.yi);
        vec::store(out + 2 * j, __builtin_shuffle(yr, yi, lowHalf));
        vec::store(out + 2 * j + 8, __builtin_shuffle(yr, yi, highHalf));
    }
    for (; i <= pairs; ++i) {
        const std::ptrdiff_t j = h - i;
        const auto p =
            separatePair(re[i], im[i], re[j], im[j], 0.5f, 0.5f, t.sepR[i - 1], t.sepI[i - 1]);
        // For the middle pair i == j the second pair of writes wins.
        out[2 * i] = p.xr;
        out[2 * i + 1] = p.xi;
        out[2 * j] = p.yr;
        out[2 * j + 1] = p.yi;
    }
    out[0] = re[0] + im[0];
    out[1] = 0.0f;
    return re[0] - im[0];
}

// Bins n-k = conj(bins k) for k = 1 .. h-1, four bins per vector.
DSP_INLINE void mirrorConjugates(float* out, std::ptrdiff_t h)
{
    const std::ptrdiff_t n = 2 * h;
    const vec::I8 swapBins{6, 7, 4, 5, 2, 3, 0, 1};
    const F8 conjugate{1, -1, 1, -1, 1, -1, 1, -1};
    std::ptrdiff_t k = 1;
    for (; k + 4 <= h; k += 4)
        vec::store(out + 2 * (n - k - 3),
                   __builtin_shuffle(vec::load(out + 2 * k), swapBins) * conjugate);
    for (; k < h; ++k) {
        out[2 * (n - k)] = out[2 * k];
        out[2 * (n - k) + 1] = -out[2 * k + 1];
    }
}

DSP_CLONES void transformBlockWith(const float* signal, Step signalStep, float* out,
                                   std::ptrdiff_t h, Tables t)
{
    // Packed signal in out[0, 2h), bit-reversed result in out[2h, 4h), then
    // the separated bins back in out[0, 2h) and their mirror above them.
    float* const re = out;
    float* const im = out + h;
    float* const revRe = out + 2 * h;
    float* const revIm = out + 3 * h;
    firstStageAndTables(signal, signalStep, re, im, h, t);
    wideStages(re, im, h, t);
    lastStagesReversed(re, im, revRe, revIm, h, t);
    const float nyquist = separateInterleaved(revRe, revIm, out, h, t);
    mirrorConjugates(out, h);
    out[2 * h] = nyquist;
    out[2 * h + 1] = 0.0f;
}

template <std::ptrdiff_t Half>
struct TableStore {
    alignas(64) double laterR[Half / 2];
    alignas(64) double laterI[Half / 2];
    alignas(64) double sepR[Half / 2];
    alignas(64) double sepI[Half / 2];
    Tables tables() { return {laterR, laterI, sepR, sepI}; }
};

void transformBlock(const float* signal, Step signalStep, float* out, std::ptrdiff_t h)
{
    if (h <= kBlockPathStackHalf) {
        TableStore<kBlockPathStackHalf> onStack;
        transformBlockWith(signal, signalStep, out, h, onStack.tables());
        return;
    }
    thread_local std::unique_ptr<TableStore<kBlockPathMaxHalf>> kept;
    if (!kept)
        kept = std::make_unique<TableStore<kBlockPathMaxHalf>>();
    transformBlockWith(signal, signalStep, out, h, kept->tables());
}

} // namespace

bool realTransformBlock(const float* signal, Step signalStep, float* out, std::ptrdiff_t n)
{
    const std::ptrdiff_t h = n / 2;
    if (n % 2 != 0 || h < kBlockPathMinHalf || h > kBlockPathMaxHalf || (h & (h - 1)) != 0)
        return false;
    transformBlock(signal, signalStep, out, h);
    return true;
}

} // namespace dsp
