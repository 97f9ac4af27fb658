#pragma once
// What the generator window keeps between runs, with its defaults and limits
// in one place: the output device by name, the signal and its parameters,
// the level. Kept under the program's settings key, subkey "Generator".
// UI thread only.

#include "capture/test_signal_params.h"
#include "settings/control_store.h"

#include <QString>

#include <optional>

namespace app {

struct GeneratorSettings {
    // The signals of the window's list, in its order.
    enum class Signal { Pink = 0, White = 1, Sine = 2, Sweep = 3 };

    // Limits of the window's fields. Frequencies stay below half the rate
    // (48000 Hz); the level never goes above full scale.
    static constexpr double kMinFrequency = 1;
    static constexpr double kMaxFrequency = 23900;
    static constexpr double kMinSeconds = 0.1;
    static constexpr double kMaxSeconds = 3600;
    static constexpr double kMinLevelDb = -80;
    static constexpr double kMaxLevelDb = 0;

    QString outputDevice; // empty: the system's default output
    Signal signal = Signal::Pink;
    double frequency = 1000; // Hz, the sine's
    double sweepStart = 20;  // Hz
    double sweepEnd = 20000; // Hz
    double sweepSeconds = 10;
    static constexpr double kDefaultLevelDb = -20;
    double levelDb = kDefaultLevelDb; // dBFS: RMS for the noises, peak for the tones

    // The signal as the capture layer plays it.
    capture::TestSignalParams params() const;
    // Takes over a signal given as text (--generator); null when the
    // parameters are outside the limits above or the kind is not one of the
    // window's, with the reason in error.
    static std::optional<GeneratorSettings> fromParams(const capture::TestSignalParams& params,
                                                       QString& error);
};

// The stored settings; each value that is missing, of the wrong type or
// outside its limits keeps its default.
GeneratorSettings loadGeneratorSettings(const settings::StoreKey& programKey);
// False, with the reason in error, when the file could not be written.
bool saveGeneratorSettings(const settings::StoreKey& programKey, const GeneratorSettings& s,
                           QString& error);

} // namespace app
