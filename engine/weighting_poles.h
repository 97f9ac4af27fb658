#pragma once
// The pole frequencies in Hz shared by the analytic weighting curves and the
// meter's filters: f1 (about 20.6) and f4 (about 12194), double poles of C
// and A, and f2 (about 107.7) and f3 (about 737.9), single poles of A only.
// Derived as the sound-level-meter standard defines them, from fL = 10^1.5
// Hz, fH = 10^3.9 Hz, fA = 10^2.45 Hz and the reference frequency 1 kHz.

#include <cmath>

namespace engine {
namespace weighting_detail {

// f1^2 and f4^2 are the roots of x^2 + b x + c with c = fL^2 fH^2.
inline double outerPole(bool high)
{
    const double fl2 = std::pow(10.0, 3.0), fh2 = std::pow(10.0, 7.8), fr2 = 1e6;
    const double d = std::sqrt(0.5);
    const double b = (fr2 + fl2 * fh2 / fr2 - d * (fl2 + fh2)) / (1.0 - d);
    const double c = fl2 * fh2;
    const double root = std::sqrt(b * b - 4 * c);
    return std::sqrt((-b + (high ? root : -root)) / 2.0);
}

inline double innerPole(bool high)
{
    const double fa = std::pow(10.0, 2.45);
    return fa * (3.0 + (high ? 1 : -1) * std::sqrt(5.0)) / 2.0;
}

} // namespace weighting_detail

inline const double kWeightingF1 = weighting_detail::outerPole(false);
inline const double kWeightingF2 = weighting_detail::innerPole(false);
inline const double kWeightingF3 = weighting_detail::innerPole(true);
inline const double kWeightingF4 = weighting_detail::outerPole(true);

} // namespace engine
