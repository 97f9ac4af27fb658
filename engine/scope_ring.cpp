#include "scope_ring.h"

#include <algorithm>

namespace engine {

std::int32_t scopeRingPosition(std::int64_t count)
{
    const std::int64_t r = count % kScopeRingSize;
    return static_cast<std::int32_t>(r < 0 ? r + kScopeRingSize : r);
}

void appendScopeBlock(MeasurementState& state, std::span<const std::int16_t> samples)
{
    std::int32_t pos = scopeRingPosition(state.ScopeBufferCounter);
    for (const std::int16_t s : samples) {
        state.ScopeBuffer[static_cast<std::size_t>(pos)] = s;
        if (++pos == kScopeRingSize)
            pos = 0;
    }
    state.ScopeBufferCounter += static_cast<std::int64_t>(samples.size());
}

void resetScope(MeasurementState& state)
{
    std::fill(state.ScopeBuffer.begin(), state.ScopeBuffer.end(), 0);
    state.ScopeBufferCounter = 0;
}

} // namespace engine
