#pragma once
// Value types of the transform routines: every signal and spectrum value is a
// 32-bit float; twiddles and chirp parameters are doubles.

#include <cstddef>

namespace dsp {

using TFFTFloat = float;
using TFFTDouble = double;

// Layout matters: an array of these is handed to the internal routines as two
// sequences of step 2 starting at &a[0].real and &a[0].imag.
struct TFFTComplex {
    TFFTFloat real;
    TFFTFloat imag;
};

// A sequence is a pointer plus a step counted in elements (element k is at
// index k * step); steps are positive.
using PArrayOfFloat = TFFTFloat*;

inline constexpr long double radToDeg = 57.29577951308232L;
inline constexpr long double degToRad = 0.017453292519943295L;

} // namespace dsp
