#include "scope_trigger.h"

#include "scope_ring.h"

#include <algorithm>
#include <cmath>

namespace engine {

std::optional<std::int64_t> findScopeTrigger(const MeasurementState& state, TriggerEdge edge,
                                             double levelPercent, std::int64_t from,
                                             std::int64_t to)
{
    from = std::max<std::int64_t>(from, 1);
    // Sample from - 1 is read too; the ring holds kScopeRingSize samples.
    if (to <= from || from - 1 < state.ScopeBufferCounter - kScopeRingSize ||
        to > state.ScopeBufferCounter)
        return std::nullopt;
    const double level =
        std::clamp(levelPercent, -kTriggerLevelLimit, kTriggerLevelLimit) / 100 * 32768.0;
    const bool rising = edge == TriggerEdge::Rising;
    std::int32_t pos = scopeRingPosition(to - 1);
    double after = state.ScopeBuffer[static_cast<std::size_t>(pos)];
    for (std::int64_t t = to - 1; t >= from; --t) {
        pos = pos == 0 ? kScopeRingSize - 1 : pos - 1;
        const double before = state.ScopeBuffer[static_cast<std::size_t>(pos)];
        if (rising ? (before < level && after >= level) : (before > level && after <= level))
            return t;
        after = before;
    }
    return std::nullopt;
}

ScopeWindow scopeTriggerWindow(const MeasurementState& state, const TriggerSettings& settings,
                               TriggerState& trigger, std::int64_t blockSamples)
{
    if (settings.mode == TriggerMode::Free)
        return {};
    const std::int64_t across = std::max<std::int32_t>(state.ScopeBuffersize, 1);
    const auto before = static_cast<std::int64_t>(
        std::nearbyint(std::clamp(settings.positionPercent, 0.0, 100.0) / 100 * across));
    // The pass reads a sample or two beyond the screen's width.
    const std::int64_t after = across - before + 2;
    const std::int64_t to = state.ScopeBufferCounter - after + 1;
    const std::int64_t from =
        std::max(to - blockSamples, state.ScopeBufferCounter - kScopeRingSize + before + 1);
    std::optional<std::int64_t> t;
    if (settings.mode != TriggerMode::Single || trigger.armed)
        t = findScopeTrigger(state, settings.edge, settings.levelPercent, from, to);
    if (t) {
        trigger.lastTrigger = *t;
        if (settings.mode == TriggerMode::Single)
            trigger.armed = false;
        return {true, *t - before};
    }
    if (settings.mode == TriggerMode::Auto)
        return {};
    return {false, std::nullopt};
}

} // namespace engine
