#include "scope_trace.h"

#include "rounding.h"
#include "scope_ring.h"

#include <cmath>

namespace engine {
namespace {

// Longest pass allowed: the slowest time base walks 2.4 million samples.
constexpr long double kMaxPassSteps = 1 << 23;

} // namespace

float zoomGain(int zoomPosition)
{
    return std::ldexp(1.0f, 15 - zoomPosition);
}

bool computeScopeTrace(const MeasurementState& state, int width, int height, int zoomPosition,
                       int offsetPosition, ScopeTrace& out, int frameRate)
{
    out.count = 0;
    out.lastStep = -1;
    if (width < 2 || width > kScopeMaxColumns || height < 0 || zoomPosition < 0 ||
        zoomPosition > 15)
        return false;

    const long double samplesAcross = frameRate * (10 * static_cast<long double>(state.CurrtDiv));
    const auto xStep = narrowToFloat((width - 1) / samplesAcross);
    if (!xStep || !(*xStep > 0.0f) || *xStep > kScopeMaxColumns ||
        width / static_cast<long double>(*xStep) > kMaxPassSteps)
        return false;
    out.xStep = *xStep;
    out.YCenterline = height / 2;

    const long double top = static_cast<long double>(out.YCenterline) + offsetPosition * 320.0L;
    const long double perUnit =
        static_cast<long double>(zoomGain(zoomPosition)) * out.YCenterline / 32768;
    auto rowAt = [&](std::int32_t pos) {
        return roundToInt32(top - perUnit * state.ScopeBuffer[static_cast<std::size_t>(pos)]);
    };

    std::int32_t r = scopeRingPosition(state.ScopeBufferCounter - state.ScopeBuffersize);
    out.firstPosition = r;
    const auto start = rowAt(r);
    if (!start)
        return false;
    out.startRow = *start;

    // k * xStep is exact in long double (a 31-bit integer times a 24-bit
    // significand), so x1 of step k - 1 is x0 of step k and x1 never falls.
    // A step is visited only while (k + 1) xStep < width (the test after step
    // k - 1), so its x1 lies in 0 .. width - 1: recorded steps, each with a
    // new x1, number at most width <= kScopeMaxColumns.
    const long double step = out.xStep;
    for (std::int32_t k = 0;; ++k) {
        const auto x0 = static_cast<std::int32_t>(std::trunc((k - 1) * step));
        const auto x1 = static_cast<std::int32_t>(std::trunc(k * step));
        if (x1 > x0) {
            const auto row = rowAt(r);
            if (!row || out.count >= kScopeMaxColumns) {
                out.count = 0;
                return false;
            }
            out.steps[static_cast<std::size_t>(out.count++)] = {k, x0, x1, *row};
        }
        if (++r == kScopeRingSize)
            r = 0;
        out.lastStep = k;
        if (!((k + 2) * step < width))
            break;
    }
    return true;
}

} // namespace engine
