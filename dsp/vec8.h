#pragma once
// Eight-lane float and double vectors (GCC/Clang vector extensions). Inside a
// DSP_CLONES function they compile to AVX-512, AVX2 or SSE2 as the clone
// allows; lane arithmetic rounds exactly like the scalar code.

#include "simd.h"

#include <cstring>

// These helpers are always inlined, so the calling convention for vector
// arguments never applies; GCC warns about it regardless.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace dsp::vec {

using F8 = float __attribute__((vector_size(32)));
using D8 = double __attribute__((vector_size(64)));
using I8 = int __attribute__((vector_size(32)));

DSP_INLINE F8 load(const float* p)
{
    F8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

DSP_INLINE D8 load(const double* p)
{
    D8 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

DSP_INLINE void store(float* p, F8 v)
{
    std::memcpy(p, &v, sizeof v);
}

DSP_INLINE D8 splat(double x)
{
    return D8{} + x;
}
DSP_INLINE F8 splat(float x)
{
    return F8{} + x;
}

DSP_INLINE F8 reversed(F8 v)
{
    return __builtin_shuffle(v, I8{7, 6, 5, 4, 3, 2, 1, 0});
}

// Transposes an 8x8 block held as eight rows: three rounds, each swapping one
// bit of the row index with the same bit of the column index.
DSP_INLINE void transpose(F8 (&v)[8])
{
    const I8 lo[3] = {
        {0, 8, 2, 10, 4, 12, 6, 14}, {0, 1, 8, 9, 4, 5, 12, 13}, {0, 1, 2, 3, 8, 9, 10, 11}};
    const I8 hi[3] = {
        {1, 9, 3, 11, 5, 13, 7, 15}, {2, 3, 10, 11, 6, 7, 14, 15}, {4, 5, 6, 7, 12, 13, 14, 15}};
    for (int q = 0; q < 3; ++q) {
        const int s = 1 << q;
        for (int r = 0; r < 8; ++r) {
            if (r & s)
                continue;
            const F8 a = v[r];
            const F8 b = v[r + s];
            v[r] = __builtin_shuffle(a, b, lo[q]);
            v[r + s] = __builtin_shuffle(a, b, hi[q]);
        }
    }
}

} // namespace dsp::vec

#pragma GCC diagnostic pop
