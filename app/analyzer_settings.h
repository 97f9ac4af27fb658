#pragma once
// What the FFT page and the oscilloscope keep between runs, with defaults
// (the one-block page and the free-running scope) and limits in one place:
// averaging, hold, length and axes of the FFT page; trigger and trace style
// of the scope. Kept under the program's settings key, subkeys "FFT" and
// "Scope". UI thread only.

#include "display/scope_trace_painter.h"
#include "engine/fft_analysis.h"
#include "engine/fft_axes.h"
#include "engine/scope_trigger.h"
#include "settings/control_store.h"

#include <QString>

namespace app {

struct FftPageSettings {
    engine::FftAveraging averaging = engine::FftAveraging::None;
    bool hold = false;
    int length = engine::kBlockSamples;
    engine::FftView view;
    // Frequency limits of the fields, in Hz.
    static constexpr double kMinFrequency = 0;
    static constexpr double kMaxFrequency = 24000;
};

struct ScopePageSettings {
    engine::TriggerSettings trigger;
    display::ScopeTraceStyle style = display::ScopeTraceStyle::Staircase;
};

// The view with its limits kept: frequencies within the fields' limits and
// in order, a log axis starting at kFftLogDefaultMin when its start is below
// kFftLogLowest, levels within their limits. False when nothing could be
// made of it (the view is then the default).
bool normaliseFftView(engine::FftView& view);

// The stored settings; each value that is missing, of the wrong type or
// outside its limits keeps its default.
FftPageSettings loadFftPageSettings(const settings::StoreKey& programKey);
ScopePageSettings loadScopePageSettings(const settings::StoreKey& programKey);
// False, with the reason in error, when the file could not be written.
bool saveFftPageSettings(const settings::StoreKey& programKey, const FftPageSettings& s,
                         QString& error);
bool saveScopePageSettings(const settings::StoreKey& programKey, const ScopePageSettings& s,
                           QString& error);

} // namespace app
