#pragma once
// Whether the settings dialog's five axis fields, taken together, describe a scale the
// octave-band view can draw: a level axis whose minimum lies below its maximum, with a positive
// step that gives at most kMaxLevelGridLines grid lines, and a frequency axis from at least
// kMinFrequencyHz to at most kMaxFrequencyHz, ascending. Pure text checks; any thread.

#include <QString>

namespace settings {

// The lowest and the highest frequency the axis may show: below 1 Hz the logarithmic axis runs
// off towards minus infinity, and 48000 frames per second carry nothing above 24 kHz.
inline constexpr double kMinFrequencyHz = 1.0;
inline constexpr double kMaxFrequencyHz = 24000.0;
// More lines than this would stand closer than about four pixels on the 386-pixel-high graph:
// the view could no longer label them.
inline constexpr double kMaxLevelGridLines = 100.0;

enum class AxisProblem {
    None,
    LevelRangeInverted,   // minimum not below maximum
    LevelStepNotPositive, // a step of 0 dB or below
    LevelStepTooFine,     // more than kMaxLevelGridLines lines
    FrequencyOutOfRange,  // a limit outside kMinFrequencyHz .. kMaxFrequencyHz
    FrequencyNotAscending,
};

// The texts of the five fields, as the dialog holds them.
struct AxisTexts {
    QString yAxisMin, yAxisMax, yAxisStep, xAxisMin, xAxisMax;
};

// The first problem of the level axis, then of the frequency axis. A text that is no number is
// not held against the others (the field's own check deals with it).
AxisProblem checkAxes(const AxisTexts& texts);

// Whether a problem concerns the level axis (else the frequency axis).
bool isLevelProblem(AxisProblem problem);

} // namespace settings
