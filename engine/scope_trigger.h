#pragma once
// The oscilloscope's trigger: where in the ring a trace starts so that a
// periodic signal stands still. A trigger is the first sample at or beyond a
// level after one below it (rising edge), or at or below it after one above
// it (falling edge); the trace then starts `position` of a screen before that
// sample. UI thread only; allocates nothing.

#include "measurement_state.h"

#include <cstdint>
#include <optional>

namespace engine {

// "Frei": the newest samples, as without a trigger. "Auto": triggered when a
// trigger comes, the newest samples otherwise. "Normal": only triggered
// traces; without a trigger the last one stays. "Einzeln": the first trigger
// after arming, then the trace stays until armed again.
enum class TriggerMode { Free = 0, Auto = 1, Normal = 2, Single = 3 };
enum class TriggerEdge { Rising = 0, Falling = 1 };

struct TriggerSettings {
    TriggerMode mode = TriggerMode::Free;
    TriggerEdge edge = TriggerEdge::Rising;
    double levelPercent = 0.0;     // of full scale (32768), -100 .. 100
    double positionPercent = 10.0; // of the screen's width left of the trigger, 0 .. 100
};
inline constexpr double kTriggerLevelLimit = 100.0;

struct TriggerState {
    bool armed = true; // "Einzeln" waits for a trigger
    std::int64_t lastTrigger = -1;
};

// The sample count of the newest trigger t with from <= t < to (counts as
// ScopeBufferCounter numbers the samples, sample t - 1 before t); nothing
// when there is none or the range reaches outside the ring.
std::optional<std::int64_t> findScopeTrigger(const MeasurementState& state, TriggerEdge edge,
                                             double levelPercent, std::int64_t from,
                                             std::int64_t to);

// What a block shows.
struct ScopeWindow {
    bool draw = true;                        // false: the last trace stays
    std::optional<std::int64_t> firstSample; // the trace's first sample; none: the newest samples
};

// The decision after a block of blockSamples was appended, for a screen of
// samplesAcross samples (ScopeBuffersize): a trigger whose screen lies
// wholly among the samples up to the newest and whose after-trigger part
// this block completed. Updates `trigger` (disarms "Einzeln").
ScopeWindow scopeTriggerWindow(const MeasurementState& state, const TriggerSettings& settings,
                               TriggerState& trigger, std::int64_t blockSamples);

} // namespace engine
