#pragma once
// The octave-band graph's logarithmic frequency axis: where a frequency lies
// across the plot, for the axis limits in Hz and the plot's width in pixels.
// The grid's frequency lines and the band columns both come from here, so a
// band stands over the lines of the frequencies it sums. Pure functions, any
// thread.

#include <cstdint>
#include <optional>

namespace engine {

struct FrequencyAxis {
    double d = 0.0;      // pixels per decade: plotWidth / (log10(max) - log10(min))
    std::int32_t x0 = 0; // plot column of 1 Hz: Round(-log10(min) d)
};

// The axis for limits 0 < xAxisMin < xAxisMax (finite); nothing for limits
// that give none (equal, inverted, not above 0, not numbers) or whose 1 Hz
// column does not fit 32 bits.
std::optional<FrequencyAxis> frequencyAxis(double xAxisMin, double xAxisMax, int plotWidth);

// log10(hz) d + x0, unrounded: the plot column of `hz` (-inf for 0 Hz).
long double frequencyPosition(const FrequencyAxis& axis, long double hz);

// That position rounded to the nearest column, halves to even; nothing when
// it is not a finite 32-bit value.
std::optional<std::int32_t> frequencyColumn(const FrequencyAxis& axis, long double hz);

} // namespace engine
