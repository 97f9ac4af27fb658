#pragma once
// The oscilloscope's sample ring in MeasurementState: ScopeBuffer positions 0
// .. kScopeRingSize - 1, the next sample going to ScopeBufferCounter modulo
// kScopeRingSize. UI thread only; allocates nothing.

#include "measurement_state.h"

#include <cstdint>
#include <span>

namespace engine {

// Appends the samples in order (the caller passes the block's byte count
// div 2 of them), each sign-extended, advancing ScopeBufferCounter by their
// number.
void appendScopeBlock(MeasurementState& state, std::span<const std::int16_t> samples);

// The page activation's reset: every ring position and the counter to 0.
void resetScope(MeasurementState& state);

// Ring position of a sample count, negative counts wrapping to the end.
std::int32_t scopeRingPosition(std::int64_t count);

} // namespace engine
