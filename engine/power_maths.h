#pragma once
// Maths on stored band levels: the power sum, difference and average of
// curves of one band plan, band by band, on band powers 10^(L/10) from the
// levels in dB. Pure functions, any thread.

#include "types.h"

#include <span>

namespace engine {

enum class PowerOperation {
    Sum = 0,        // P1 + P2 + ...
    Difference = 1, // P1 - P2 - ...: what the first holds beyond the others
    Average = 2,    // (P1 + P2 + ...) / n
};

// Levels (entries 1 .. bands - 1 in dB; entry 0 NaN) of `operation` on the
// curves `levels`, all of `bands` entries, into `out` (which may alias
// none of them). A band where a source has no level (NaN) has none in the
// result; a source at -inf adds no power. A difference of zero or less, and
// a sum without power, is -inf (no power). Entries from `bands` on are NaN.
void combineLevels(PowerOperation operation, std::span<const BinArray* const> levels, int bands,
                   BinArray& out);

} // namespace engine
