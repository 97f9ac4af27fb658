#pragma once
// What one division of the oscilloscope's screen is worth: a fraction of
// full scale (and its level in dBFS), pascal once a calibration exists, and
// milliseconds. Ten divisions across, five either side of the centre line up
// and down. Pure functions, any thread.

#include <optional>
#include <string>

namespace engine {

// Full scale (a sample of 32768) per division at zoom position 0 .. 15:
// 1 / (5 G), G the zoom gain.
double scopeFullScalePerDivision(int zoomPosition);

// Pascal per division, given the calibration offset in dB between dBFS and
// dB SPL (a 0 dBFS sine, of peak full scale, reads 0 dBFS + offset dB SPL
// re 20 µPa); nothing without a calibration.
std::optional<double> scopePascalPerDivision(int zoomPosition,
                                             std::optional<double> calibrationOffsetDb);

// Milliseconds per division for CurrtDiv seconds.
double scopeMillisecondsPerDivision(double currtDiv);

// A label's number: at most four significant digits, no exponent for the
// values the screen shows ("0.2", "-0.0031", "1000").
std::string scopeLabelNumber(double v);

} // namespace engine
