#pragma once
// Frequency weightings A, C and Z of sound level meters, as level
// differences in dB from the analytic pole/zero definition: 0 dB at 1 kHz,
// A and C about -3 dB at their corner frequencies. Pure functions, any
// thread.

namespace engine {

enum class Weighting { Z = 0, A = 1, C = 2 };

// The weighting's gain at `hz` in dB (Z: 0). A and C fall without bound
// towards 0 Hz: at 0 Hz or below they give -infinity.
double weightingDb(Weighting w, double hz);

// The same as a power factor, 10^(dB/10); 0 at 0 Hz for A and C.
double weightingPowerFactor(Weighting w, double hz);

// Letter of the weighting for texts: "A", "C" or "Z".
const char* weightingLetter(Weighting w);

} // namespace engine
