#pragma once
// The octave band plan: preferred frequencies and the borders of the bands of
// the resolution in force. One static instance for the whole run.

#include "types.h"

#include <cstdint>

namespace engine {

struct BandPlan {
    // 265 preferred frequencies, 14 Hz to 28 kHz, about 1/24 octave apart;
    // built once at start-up.
    BinArray PrefFreqList{};
    // Entries 0 .. validbands-1: the band borders in Hz, ascending. Band j
    // (1 .. validbands-1) ends at border j; entries above stay as they were.
    BinArray OctBinBorderList{};
    std::int32_t validbands = 0;
};

}  // namespace engine
