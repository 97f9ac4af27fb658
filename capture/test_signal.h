#pragma once
// Deterministic test signals for the virtual test-signal input:
//   sine:FREQ[:LEVEL]          sine wave, LEVEL dBFS peak (default -6)
//   sweep:F1-F2:SECONDS[:LEVEL] logarithmic sweep F1 to F2 in SECONDS,
//                               repeated, LEVEL dBFS peak (default -6)
//   pink[:LEVEL], white[:LEVEL] Gaussian noise, LEVEL dBFS RMS (default -80)
//   silence
// 0 dBFS is the RMS of a full-scale sine (peak 1.0 = 32768 LSB at 16 bit), as
// the meter reads it, for tones and noise alike: a sine's LEVEL is its peak
// below full scale, a noise's is its RMS below the full-scale sine's.
// -80 dBFS RMS is about 2.3 LSB. The same text gives the same samples on
// every run.

#include "signal_source.h"
#include "test_signal_params.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace capture {

// Null with a one-line reason in error when the text is not a valid signal.
// defaultLevelDb, when given, replaces the defaults above for a text without
// a level.
std::optional<TestSignalParams> parseTestSignal(std::string_view text, std::string& error,
                                                std::optional<double> defaultLevelDb = {});

// A source of the signal at the rate (waveform.h says what its samples
// are); null with a reason in error when a frequency is not below half the
// rate.
std::unique_ptr<SignalSource> makeTestSignal(const TestSignalParams& params, double rate,
                                             std::string& error);

} // namespace capture
