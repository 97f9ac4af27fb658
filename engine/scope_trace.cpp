#include "scope_trace.h"

#include "rounding.h"
#include "scope_ring.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace engine {
namespace {

// Longest pass allowed: the slowest time base walks 2.4 million samples.
constexpr long double kMaxPassSteps = 1 << 23;

// n / 2^shift rounded to the nearest integer, halves to even; nothing when
// the result does not fit in 32 bits.
std::optional<std::int32_t> roundShifted(std::int64_t n, int shift)
{
    std::int64_t q = n >> shift; // floor
    if (shift > 0) {
        const std::int64_t rest = n - q * (std::int64_t{1} << shift);
        const std::int64_t half = std::int64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (q & 1) != 0))
            ++q;
    }
    if (q < std::numeric_limits<std::int32_t>::min() ||
        q > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(q);
}

} // namespace

float zoomGain(int zoomPosition)
{
    return std::ldexp(1.0f, 15 - zoomPosition);
}

std::optional<std::int32_t> scopeValueRow(int height, int zoomPosition, int offsetPosition,
                                          long double value)
{
    if (zoomPosition < 0 || zoomPosition > 15)
        return std::nullopt;
    const long double centre = height / 2;
    return roundToInt32(centre + 320.0L * offsetPosition -
                        zoomGain(zoomPosition) * centre / 32768 * value);
}

bool computeScopeTrace(const MeasurementState& state, int width, int height, int zoomPosition,
                       int offsetPosition, ScopeTrace& out, int frameRate,
                       std::optional<std::int64_t> firstSample)
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

    // The row of a value v is top - G * YCenterline / 32768 * v with the gain
    // G = 2^(15 - zoom), that is top - YCenterline * v / 2^zoom: a multiple of
    // 2^-zoom, exactly (top * 2^zoom - YCenterline * v) / 2^zoom. Rounding
    // that integer quotient gives the row the extended-precision formula
    // gives, without a slow rounding instruction per step. (Below 2^56, so
    // 64 bits hold it.)
    const std::int64_t top = std::int64_t{out.YCenterline} + std::int64_t{offsetPosition} * 320;
    auto rowOfValue = [&](std::int64_t v) {
        return roundShifted(top * (std::int64_t{1} << zoomPosition) - out.YCenterline * v,
                            zoomPosition);
    };
    auto rowAt = [&](std::int32_t pos) {
        return rowOfValue(state.ScopeBuffer[static_cast<std::size_t>(pos)]);
    };

    // The pass visits every step k up to the last one, but only steps whose
    // x1 = trunc(k xStep) passes x0 = trunc((k - 1) xStep) draw anything: at
    // slow time bases one in a hundred. So the steps are found by jumping
    // from one column change to the next; the steps recorded and the last
    // step visited are those of the walk.
    //
    // k xStep is exact in a double: the pass is at most 2^23 steps long and
    // xStep has a 24-bit significand. So x1 of step k - 1 is x0 of step k,
    // x1 never falls, and every comparison below is exact. The pass ends
    // with the first step whose x1 reaches the width, so x1 of every
    // recorded step lies in 0 .. width (the last one cut to the width):
    // recorded steps, each with a new x1, number at most width + 1.
    const double step = out.xStep;
    auto column = [step](std::int64_t k) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(k * step)); // toward zero
    };
    // The last step: the first k with trunc(k xStep) >= width, that is
    // k xStep >= width. Its strip holds the last column; it reads the newest
    // sample, so the window starts `last` samples before that one.
    std::int64_t last = std::max<std::int64_t>(1, static_cast<std::int64_t>(width / step));
    while (last > 1 && (last - 1) * step >= width)
        --last;
    while (last * step < width)
        ++last;
    out.lastStep = static_cast<std::int32_t>(last);

    const std::int32_t first =
        scopeRingPosition(firstSample ? *firstSample : state.ScopeBufferCounter - 1 - last);
    out.firstPosition = first;
    const auto start = rowAt(first);
    if (!start)
        return false;
    out.startRow = *start;

    // The envelope walks every sample once: from the last recorded step's
    // sample on, the ring position advancing with it.
    std::int64_t envelopeFrom = 0;
    std::int32_t envelopePos = first;
    auto record = [&](std::int64_t k) {
        const auto row = rowAt(scopeRingPosition(std::int64_t{first} + k));
        if (!row || out.count >= static_cast<std::int32_t>(out.steps.size()))
            return false;
        std::int32_t hi = state.ScopeBuffer[static_cast<std::size_t>(envelopePos)];
        std::int32_t lo = hi;
        for (; envelopeFrom < k; ++envelopeFrom) {
            envelopePos = envelopePos + 1 == kScopeRingSize ? 0 : envelopePos + 1;
            const std::int32_t v = state.ScopeBuffer[static_cast<std::size_t>(envelopePos)];
            hi = std::max(hi, v);
            lo = std::min(lo, v);
        }
        // Rows fall as values rise, whatever the zoom.
        const auto rowHigh = rowOfValue(hi);
        const auto rowLow = rowOfValue(lo);
        if (!rowHigh || !rowLow)
            return false;
        out.steps[static_cast<std::size_t>(out.count++)] = {static_cast<std::int32_t>(k),
                                                            column(k - 1),
                                                            std::min(column(k), width),
                                                            *row,
                                                            *rowHigh,
                                                            *rowLow};
        return true;
    };
    // Step 0 reaches column 0 from the left only when a sample spans a column or more.
    if (column(-1) < column(0) && !record(0)) {
        out.count = 0;
        return false;
    }
    for (std::int64_t k = 0;;) {
        // The first step after k whose product reaches the next column.
        const double next = column(k) + 1;
        std::int64_t later = std::max(k + 1, static_cast<std::int64_t>(next / step) + 1);
        while (later - 1 > k && (later - 1) * step >= next)
            --later;
        while (later * step < next)
            ++later;
        if (later > last)
            break;
        k = later;
        if (!record(k)) {
            out.count = 0;
            return false;
        }
    }
    return true;
}

} // namespace engine
