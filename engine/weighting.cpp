#include "weighting.h"

#include "weighting_poles.h"

#include <cmath>
#include <limits>

namespace engine {
namespace {

// |H(f)|^2 of the C weighting's two real pole pairs, before normalisation.
double cPowerUnnormalised(double hz)
{
    const double f2 = hz * hz;
    const double f1sq = kWeightingF1 * kWeightingF1;
    const double f4sq = kWeightingF4 * kWeightingF4;
    const double m = (f4sq * f2) / ((f2 + f1sq) * (f2 + f4sq));
    return m * m;
}

// A adds two single poles at f2 and f3 with two more zeros at 0 Hz.
double aPowerUnnormalised(double hz)
{
    const double f2 = hz * hz;
    const double m =
        f2 / std::sqrt((f2 + kWeightingF2 * kWeightingF2) * (f2 + kWeightingF3 * kWeightingF3));
    return cPowerUnnormalised(hz) * m * m;
}

} // namespace

double weightingPowerFactor(Weighting w, double hz)
{
    switch (w) {
    case Weighting::A:
        return hz > 0 ? aPowerUnnormalised(hz) / aPowerUnnormalised(1000.0) : 0.0;
    case Weighting::C:
        return hz > 0 ? cPowerUnnormalised(hz) / cPowerUnnormalised(1000.0) : 0.0;
    case Weighting::Z:
        break;
    }
    return 1.0;
}

double weightingDb(Weighting w, double hz)
{
    const double p = weightingPowerFactor(w, hz);
    return p > 0 ? 10 * std::log10(p) : -std::numeric_limits<double>::infinity();
}

const char* weightingLetter(Weighting w)
{
    switch (w) {
    case Weighting::A:
        return "A";
    case Weighting::C:
        return "C";
    case Weighting::Z:
        break;
    }
    return "Z";
}

} // namespace engine
