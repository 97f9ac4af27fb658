#pragma once
// The FFT graph's axes as pure mappings: a frequency range on a linear or
// logarithmic axis to graph columns, a level range to graph rows, the grid's
// lines and labels for both, and the points of a curve of bin powers.
// Sizes come in as arguments, so a graph of any size maps the same way.
// Pure functions, any thread.

#include "types.h"

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace engine {

enum class FftAxisScale { Linear = 0, Log = 1 };

// Bins a layout holds: those of the longest transform, 65536 points.
inline constexpr int kMaxFftBinsOfLayout = 32768;

// What the user chose: the frequency scale and range, and the level axis'
// top line (dBFS) and its range down to the lowest labelled line (dB).
struct FftView {
    FftAxisScale scale = FftAxisScale::Linear;
    double fMin = 0.0;     // Hz; on the log axis a start below kFftLogLowest reads as it
    double fMax = 24000.0; // Hz
    double levelTop = 0.0;
    double levelRange = 120.0;
};

// Lowest start of the logarithmic axis, and its default range.
inline constexpr double kFftLogLowest = 1.0;
inline constexpr double kFftLogDefaultMin = 20.0;
inline constexpr double kFftLogDefaultMax = 24000.0;
// Limits of the level fields.
inline constexpr double kFftLevelTopMin = -200.0;
inline constexpr double kFftLevelTopMax = 200.0;
inline constexpr double kFftLevelRangeMin = 1.0;
inline constexpr double kFftLevelRangeMax = 300.0;

struct FftFrequencyMap {
    FftAxisScale scale = FftAxisScale::Linear;
    long double start = 0; // Hz (linear) or log10 Hz (log) at column 0
    long double end = 0;   // the same at column `width`
    double perUnit = 0;    // columns per Hz (linear) or per decade (log)
    int width = 0;
};

// The map for a graph `width` columns wide; nothing for a range that gives
// none (end not above start, not finite, a log range not above 0).
std::optional<FftFrequencyMap> fftFrequencyMap(const FftView& view, int width);

// Column of a frequency, unrounded (-inf for 0 Hz on the log axis), and
// rounded halves to even (nothing when not a finite 32-bit value). With the
// default linear range, 0 .. 24000 Hz, a bin lands where the one-block page
// always put it: Round(hz width / 24000).
long double fftColumnPosition(const FftFrequencyMap& map, long double hz);
std::optional<std::int32_t> fftColumnOf(const FftFrequencyMap& map, long double hz);

struct FftLevelMap {
    double top = 0.0;       // dBFS on topRow
    double rowsPerDb = 3.0; // labelledRows / range
    int topRow = 0;
};

// Rows a level range spans on the graph: on a graph of the old page's 387
// rows, 120 dB at 3 rows per dB; any graph keeps kFftRowsBelowRange rows
// under it for the curve below the range.
inline constexpr int kFftLabelledRows = 360;
inline constexpr int kFftRowsBelowRange = 27;
constexpr int fftLabelledRows(int graphHeight)
{
    return graphHeight - kFftRowsBelowRange > 1 ? graphHeight - kFftRowsBelowRange : 1;
}
static_assert(fftLabelledRows(387) == kFftLabelledRows);

// The map of the view's level axis, its top line on `topRow`; nothing for a
// range outside the field limits or not finite.
std::optional<FftLevelMap> fftLevelMap(const FftView& view, int topRow,
                                       int labelledRows = kFftLabelledRows);
// Round(topRow + (top - level) rowsPerDb); nothing for a level that is not
// finite or a row beyond 32 bits.
std::optional<std::int32_t> fftLevelRow(const FftLevelMap& map, double level);

// A grid line: its value (Hz or dB) and its label (empty: no label).
struct FftTick {
    double value = 0.0;
    std::string label;
};
inline constexpr int kFftMaxTicks = 64;
struct FftTicks {
    std::array<FftTick, kFftMaxTicks> ticks;
    int count = 0;
};

// Frequency lines inside the range. Linear: multiples of the smallest step of
// 1, 2, 5 x 10^e giving at most 24 intervals, above the start, below the
// end, at most 22 of them (the default range gets 1k .. 22k); labels in Hz
// below 1 kHz, in kHz with a "k" from there ("1.5k"). Logarithmic: 1 .. 9 x
// 10^e within the range, labelled at 1, 2 and 5.
FftTicks fftFrequencyTicks(const FftFrequencyMap& map);

// Level lines from the top down every step of 1, 2, 5 x 10^e that gives at
// most 12 intervals over the range and lines at least kFftMinLevelLineRows
// apart, within the range and while their row stays within `bottomRow` (rows
// as the map counts them), each labelled with its level ("-10").
inline constexpr int kFftMinLevelLineRows = 15;
FftTicks fftLevelTicks(const FftLevelMap& map, double range, int bottomRow);

// The column of every bin for a map and bin spacing: bin k at k binHz,
// kFftNoColumn where a bin has none (0 Hz on the log axis). The columns
// change only with the axes, so they are laid out once for many blocks.
inline constexpr std::int32_t kFftNoColumn = INT32_MIN;
struct FftBinLayout {
    std::array<std::int32_t, kMaxFftBinsOfLayout> column{};
    int bins = 0;
    double binHz = 0.0;
    FftFrequencyMap map;
    // Lays the bins out anew unless map, spacing and count are the last ones.
    void update(const FftFrequencyMap& frequency, double spacing, int binCount);
};

// The curve of bins 0 .. powers.size() - 1 (at most layout.bins) onto `out`
// (x in row 0, y in row 1), level fftPowerLevel(power, offsetDb); a bin
// without power goes to floorRow, and so does bin 0 (DC, never a tone);
// bins without a column are left out. Up to pointPerBinUpTo bins (at most
// kBlockSamples) give one point each. More bins give, per column they cover
// inside the graph, the rows of their highest and lowest level (and the
// nearest bin outside each edge, so the line reaches it). Returns the number
// of points.
int fftCurvePoints(std::span<const double> powers, const FftBinLayout& layout,
                   const FftLevelMap& level, double offsetDb, std::int32_t floorRow,
                   CoordArray& out, int pointPerBinUpTo = kBlockSamples);
// The same of powers kept as floats (a stored spectrum).
int fftCurvePoints(std::span<const float> powers, const FftBinLayout& layout,
                   const FftLevelMap& level, double offsetDb, std::int32_t floorRow,
                   CoordArray& out, int pointPerBinUpTo = kBlockSamples);

} // namespace engine
