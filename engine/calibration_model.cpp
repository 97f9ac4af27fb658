#include "calibration_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

LevelReference CalibrationModel::effectiveReference() const
{
    if (reference == LevelReference::Spl && !calibrationOffsetDb)
        return LevelReference::Dbfs;
    return reference;
}

double CalibrationModel::offsetFromDbfs(double rawMinusDbfs) const
{
    switch (effectiveReference()) {
    case LevelReference::Spl:
        return *calibrationOffsetDb;
    case LevelReference::Raw:
        return rawMinusDbfs;
    case LevelReference::Dbfs:
        break;
    }
    return 0.0;
}

void CalibrationModel::binPowerFactors(int fftLength, double sampleRate, std::span<float> out) const
{
    if (fftLength < 1)
        return;
    const std::size_t n = std::min(out.size(), static_cast<std::size_t>(fftLength / 2 + 1));
    const double spacing = sampleRate / fftLength;
    for (std::size_t i = 0; i < n; ++i) {
        const double hz = static_cast<double>(i) * spacing;
        double factor = weightingPowerFactor(weighting, hz);
        if (!correction.empty())
            factor *= std::pow(10.0, -correction.responseDb(hz) / 10.0);
        out[i] = static_cast<float>(factor);
    }
}

double rtaRawMinusDbfs(std::span<const double> window)
{
    long double sum = 0;
    for (double w : window)
        sum += static_cast<long double>(w) * w;
    if (!(sum > 0))
        return std::numeric_limits<double>::quiet_NaN();
    const long double n = static_cast<long double>(window.size());
    // n^2 mean(w^2) = n sum(w^2).
    return static_cast<double>(10 * std::log10(n * sum * kFullScaleRms * kFullScaleRms));
}

} // namespace engine
