#include "readouts.h"

#include "scope_ring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace engine {

std::optional<int> rtaBandAt(const CoordArray& points, int bands, int x)
{
    const int n = std::clamp(bands, 0, kBinArraySize);
    const auto& xs = points[0];
    for (int j = 1; j < n; ++j)
        if (x >= xs[static_cast<std::size_t>(j - 1)] && x < xs[static_cast<std::size_t>(j)])
            return j;
    return std::nullopt;
}

double welchGain(double offsetBins)
{
    // The window 1 - t^2 over t in [-1, 1] has the transform
    // 4 (sin w - w cos w) / w^3 at w = pi offset, 4/3 at 0.
    const double w = std::numbers::pi * std::abs(offsetBins);
    if (w < 1e-4)
        return 1.0 - w * w / 10; // the series' first terms
    return std::abs(3 * (std::sin(w) - w * std::cos(w)) / (w * w * w));
}

std::optional<FftPeak> fftPeakNear(std::span<const double> powers, double binHz, int firstBin,
                                   int lastBin)
{
    const int size = static_cast<int>(powers.size());
    if (size < 3)
        return std::nullopt;
    const int from = std::clamp(std::min(firstBin, lastBin), 1, size - 2);
    const int to = std::clamp(std::max(firstBin, lastBin), 1, size - 2);
    auto p = [&powers](int k) { return powers[static_cast<std::size_t>(k)]; };
    int k = from;
    for (int i = from + 1; i <= to; ++i)
        if (p(i) > p(k))
            k = i;
    // Uphill, out of the range if the peak lies just beyond it.
    while (k > 1 && p(k - 1) > p(k))
        --k;
    while (k < size - 2 && p(k + 1) > p(k))
        ++k;
    if (!(p(k) > 0) || !std::isfinite(p(k)))
        return std::nullopt;
    const int side = p(k + 1) >= p(k - 1) ? 1 : -1;
    const double ratio = std::sqrt(std::max(0.0, p(k + side)) / p(k));
    // gain(1 - d) / gain(d) grows from 0.30 to 1 as d goes from 0 to 1/2.
    double lo = 0.0;
    double hi = 0.5;
    for (int i = 0; i < 50; ++i) {
        const double d = (lo + hi) / 2;
        if (welchGain(1 - d) / welchGain(d) < ratio)
            lo = d;
        else
            hi = d;
    }
    const double d = (lo + hi) / 2;
    const double gain = welchGain(d);
    return FftPeak{(k + side * d) * binHz, p(k) / (gain * gain), k};
}

long double fftFrequencyAt(const FftFrequencyMap& map, long double column)
{
    const long double unit = map.start + column / static_cast<long double>(map.perUnit);
    return map.scale == FftAxisScale::Log ? std::pow(10.0L, unit) : unit;
}

double fftLevelAt(const FftLevelMap& map, double row)
{
    return map.top - (row - map.topRow) / map.rowsPerDb;
}

std::optional<int> scopeStepAt(const ScopeTrace& trace, int x)
{
    for (int i = 0; i < trace.count; ++i) {
        const ScopeStep& s = trace.steps[static_cast<std::size_t>(i)];
        if (x >= s.x0 && x < s.x1)
            return i;
    }
    return std::nullopt;
}

std::int32_t scopeStepValue(const MeasurementState& state, const ScopeTrace& trace, int i)
{
    const ScopeStep& s = trace.steps[static_cast<std::size_t>(std::clamp(i, 0, trace.count - 1))];
    return state.ScopeBuffer[static_cast<std::size_t>(
        scopeRingPosition(std::int64_t{trace.firstPosition} + s.k))];
}

} // namespace engine
