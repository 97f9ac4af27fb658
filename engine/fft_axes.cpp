#include "fft_axes.h"

#include "fft_analysis.h"
#include "rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace engine {
namespace {

// The smallest 1, 2, 5 x 10^e step that cuts `range` into at most
// `intervals` parts.
double niceStep(double range, int intervals)
{
    const double rough = range / intervals;
    double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (;;) {
        for (const double m : {1.0, 2.0, 5.0})
            if (range / (m * decade) <= intervals * (1 + 1e-12))
                return m * decade;
        decade *= 10;
    }
}

std::string numberText(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v == 0.0 ? 0.0 : v); // no "-0"
    return text;
}

std::string frequencyText(double hz)
{
    return hz >= 1000 ? numberText(hz / 1000) + "k" : numberText(hz);
}

void addTick(FftTicks& t, double value, std::string label)
{
    if (t.count < kFftMaxTicks)
        t.ticks[static_cast<std::size_t>(t.count++)] = {value, std::move(label)};
}

} // namespace

std::optional<FftFrequencyMap> fftFrequencyMap(const FftView& view, int width)
{
    FftFrequencyMap m;
    m.scale = view.scale;
    m.width = width;
    if (view.scale == FftAxisScale::Log) {
        const double lo = std::max(view.fMin, kFftLogLowest);
        if (!(view.fMax > lo) || !std::isfinite(view.fMax))
            return std::nullopt;
        m.start = std::log10(static_cast<long double>(lo));
        m.end = std::log10(static_cast<long double>(view.fMax));
    } else {
        if (!(view.fMax > view.fMin) || !std::isfinite(view.fMin) || !std::isfinite(view.fMax))
            return std::nullopt;
        m.start = view.fMin;
        m.end = view.fMax;
    }
    // As the one-block page computed its pixels per hertz: a double quotient.
    m.perUnit = static_cast<double>(width / (m.end - m.start));
    if (!std::isfinite(m.perUnit))
        return std::nullopt;
    return m;
}

long double fftColumnPosition(const FftFrequencyMap& map, long double hz)
{
    if (map.scale == FftAxisScale::Log)
        return (std::log10(static_cast<double>(hz)) - static_cast<double>(map.start)) * map.perUnit;
    return (hz - map.start) * static_cast<long double>(map.perUnit);
}

std::optional<std::int32_t> fftColumnOf(const FftFrequencyMap& map, long double hz)
{
    // Extended rounding costs several times the double one, and a curve
    // places thousands of bins. The double position lies within about 1e-12
    // of the extended one, so wherever it is farther than that from a
    // half-integer both round alike; only the rest take the extended path.
    constexpr double kNearHalf = 1e-9;
    const double x =
        map.scale == FftAxisScale::Log
            ? (std::log10(static_cast<double>(hz)) - static_cast<double>(map.start)) * map.perUnit
            : (static_cast<double>(hz) - static_cast<double>(map.start)) * map.perUnit;
    const double rounded = std::nearbyint(x);
    if (std::isfinite(x) && std::fabs(std::fabs(x - rounded) - 0.5) > kNearHalf &&
        std::fabs(rounded) < 1e9)
        return static_cast<std::int32_t>(rounded);
    return roundToInt32(fftColumnPosition(map, hz));
}

std::optional<FftLevelMap> fftLevelMap(const FftView& view, int topRow, int labelledRows)
{
    if (!(view.levelRange >= kFftLevelRangeMin && view.levelRange <= kFftLevelRangeMax) ||
        !(view.levelTop >= kFftLevelTopMin && view.levelTop <= kFftLevelTopMax))
        return std::nullopt;
    return FftLevelMap{view.levelTop, labelledRows / view.levelRange, topRow};
}

std::optional<std::int32_t> fftLevelRow(const FftLevelMap& map, double level)
{
    if (!std::isfinite(level))
        return std::nullopt;
    const double row = std::nearbyint(map.topRow + (map.top - level) * map.rowsPerDb);
    if (!fitsInt32(row))
        return std::nullopt;
    return static_cast<std::int32_t>(row);
}

FftTicks fftFrequencyTicks(const FftFrequencyMap& map)
{
    FftTicks t;
    if (map.scale == FftAxisScale::Log) {
        for (int e = static_cast<int>(std::floor(map.start)); e <= std::ceil(map.end); ++e)
            for (int m = 1; m <= 9; ++m) {
                const double hz = m * std::pow(10.0, e);
                const double lg = std::log10(hz);
                if (lg < map.start - 1e-12 || lg > map.end + 1e-12)
                    continue;
                addTick(t, hz, (m == 1 || m == 2 || m == 5) ? frequencyText(hz) : std::string());
            }
        return t;
    }
    const double start = static_cast<double>(map.start);
    const double end = static_cast<double>(map.end);
    const double step = niceStep(end - start, 24);
    for (double k = std::floor(start / step) + 1; t.count < 22; ++k) {
        const double hz = k * step;
        if (hz >= end)
            break;
        addTick(t, hz, frequencyText(hz));
    }
    return t;
}

FftTicks fftLevelTicks(const FftLevelMap& map, double range, int bottomRow)
{
    FftTicks t;
    // Labels of a low graph would run into each other.
    const double rows = range * map.rowsPerDb;
    const int intervals =
        std::isfinite(rows) ? std::clamp(static_cast<int>(rows / kFftMinLevelLineRows), 1, 12) : 12;
    const double step = niceStep(range, intervals);
    for (int i = 0; t.count < kFftMaxTicks; ++i) {
        const double below = i * step;
        const auto row = fftLevelRow(map, map.top - below);
        if (!row || *row > bottomRow || below > range * (1 + 1e-12))
            break;
        addTick(t, map.top - below, numberText(map.top - below));
    }
    return t;
}

namespace {

struct PointSink {
    CoordArray& out;
    int count = 0;
    void add(std::int32_t x, std::int32_t y)
    {
        if (count < kBlockSamples) {
            out[0][static_cast<std::size_t>(count)] = x;
            out[1][static_cast<std::size_t>(count)] = y;
            ++count;
        }
    }
};

} // namespace

void FftBinLayout::update(const FftFrequencyMap& frequency, double spacing, int binCount)
{
    binCount = std::clamp(binCount, 0, kMaxFftBinsOfLayout);
    if (binCount == bins && spacing == binHz && frequency.scale == map.scale &&
        frequency.start == map.start && frequency.end == map.end &&
        frequency.perUnit == map.perUnit && frequency.width == map.width)
        return;
    bins = binCount;
    binHz = spacing;
    map = frequency;
    for (int k = 0; k < bins; ++k)
        column[static_cast<std::size_t>(k)] =
            (k == 0 && map.scale == FftAxisScale::Log)
                ? kFftNoColumn
                : fftColumnOf(map, static_cast<long double>(k) * binHz).value_or(kFftNoColumn);
}

namespace {

template <class Power>
int curvePointsOf(std::span<const Power> powers, const FftBinLayout& layout,
                  const FftLevelMap& level, double offsetDb, std::int32_t floorRow, CoordArray& out,
                  int pointPerBinUpTo)
{
    const std::size_t bins = std::min(powers.size(), static_cast<std::size_t>(layout.bins));
    auto rowOf = [&](std::size_t k) {
        if (k == 0)
            return floorRow;
        return fftLevelRow(level, fftPowerLevel(powers[k], offsetDb)).value_or(floorRow);
    };
    const auto& column = layout.column;
    PointSink sink{out};
    if (bins <= static_cast<std::size_t>(std::min(pointPerBinUpTo, kBlockSamples))) {
        for (std::size_t k = 0; k < bins; ++k)
            if (column[k] != kFftNoColumn)
                sink.add(column[k], rowOf(k));
        return sink.count;
    }

    // Many bins per column: each column's highest and lowest bin, in bin order.
    std::size_t k = 1;
    while (k < bins && (column[k] == kFftNoColumn || column[k] < 0))
        ++k;
    if (k > 1 && column[k - 1] != kFftNoColumn)
        sink.add(column[k - 1], rowOf(k - 1));
    while (k < bins && column[k] != kFftNoColumn) {
        const std::int32_t x = column[k];
        std::size_t hi = k, lo = k;
        std::size_t next = k + 1;
        for (; next < bins && column[next] == x; ++next) {
            if (powers[next] > powers[hi])
                hi = next;
            if (powers[next] < powers[lo])
                lo = next;
        }
        sink.add(x, rowOf(std::min(hi, lo)));
        if (hi != lo)
            sink.add(x, rowOf(std::max(hi, lo)));
        k = next;
        if (x > layout.map.width) // the first bin beyond the right edge ends it
            break;
    }
    return sink.count;
}

} // namespace

int fftCurvePoints(std::span<const double> powers, const FftBinLayout& layout,
                   const FftLevelMap& level, double offsetDb, std::int32_t floorRow,
                   CoordArray& out, int pointPerBinUpTo)
{
    return curvePointsOf(powers, layout, level, offsetDb, floorRow, out, pointPerBinUpTo);
}

int fftCurvePoints(std::span<const float> powers, const FftBinLayout& layout,
                   const FftLevelMap& level, double offsetDb, std::int32_t floorRow,
                   CoordArray& out, int pointPerBinUpTo)
{
    return curvePointsOf(powers, layout, level, offsetDb, floorRow, out, pointPerBinUpTo);
}

} // namespace engine
