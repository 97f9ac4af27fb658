#pragma once
// The arithmetic of one butterfly and of one separation pair, written once for
// a scalar float (twiddles double) and for eight lanes (vec::F8, vec::D8).
// Data values are floats; products with twiddles are formed in double and
// rounded to float when stored.

#include "simd.h"
#include "vec8.h"

// These helpers are always inlined, so the calling convention for vector
// arguments never applies; GCC warns about it regardless.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace dsp {

DSP_INLINE double widen(float x)
{
    return x;
}
DSP_INLINE float narrow(double x)
{
    return static_cast<float>(x);
}
// Spelled lane by lane: GCC 12 splits __builtin_convertvector of eight floats
// into halves, but matches this form to a single conversion.
DSP_INLINE vec::D8 widen(vec::F8 x)
{
    return vec::D8{x[0], x[1], x[2], x[3], x[4], x[5], x[6], x[7]};
}
DSP_INLINE vec::F8 narrow(vec::D8 x)
{
    return __builtin_convertvector(x, vec::F8);
}

// Decimation in frequency: the sum stays, the difference is rotated.
template <class F, class D>
DSP_INLINE void difButterfly(F& ri, F& ii, F& rk, F& ik, D wr, D wi)
{
    const F tempr = ri - rk;
    const F tempi = ii - ik;
    ri = ri + rk;
    ii = ii + ik;
    rk = narrow(wr * widen(tempr) - wi * widen(tempi));
    ik = narrow(wr * widen(tempi) + wi * widen(tempr));
}

// Decimation in time: the partner is rotated, then sum and difference.
template <class F, class D>
DSP_INLINE void ditButterfly(F& ri, F& ii, F& rk, F& ik, D wr, D wi)
{
    const F tempr = narrow(wr * widen(rk) - wi * widen(ik));
    const F tempi = narrow(wr * widen(ik) + wi * widen(rk));
    rk = ri - tempr;
    ik = ii - tempi;
    ri = ri + tempr;
    ii = ii + tempi;
}

// Separation of bins i and j = n - i of a packed real transform: from the
// packed values at i and j gives X[i] in (xr, xi) and X[j] in (yr, yi).
template <class F>
struct SeparatedPair {
    F xr, xi, yr, yi;
};

template <class F, class D>
DSP_INLINE SeparatedPair<F> separatePair(F rI, F iI, F rJ, F iJ, F c1, F c2, D wr, D wi)
{
    const F h1r = c1 * (rI + rJ);
    const F h1i = c1 * (iI - iJ);
    const F h2r = c2 * (iI + iJ);
    const F h2i = -c2 * (rI - rJ);
    const D tr = wr * widen(h2r) - wi * widen(h2i);
    const D ti = wr * widen(h2i) + wi * widen(h2r);
    return {narrow(widen(h1r) + tr), narrow(widen(h1i) + ti), narrow(widen(h1r) - tr),
            narrow(widen(-h1i) + ti)};
}

} // namespace dsp

#pragma GCC diagnostic pop
