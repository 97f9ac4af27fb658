#pragma once
// The command line that makes every feature runnable unattended: virtual
// inputs, the input device, the page to open, an immediate start, a
// screenshot and/or an export after N blocks, the settings file, and a signal
// to play on an output. Parsed before any window system is needed, so --help
// and --version work without a display.

#include "analyzer_options.h"
#include "generator_settings.h"

#include "engine/calibration_model.h"
#include "engine/rta_statistics.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace app {

enum class Page { Rta = 0, Fft = 1, Scope = 2 };

// The most blocks an unattended run waits for: about 47 hours of capture.
inline constexpr int kMaxAfterBlocks = 1000000;
// The highest channel a sound file may be read from.
inline constexpr int kMaxChannel = 64;

// The RTA's resolution items ("1 Octave" .. "1/12 Octave") and averaging
// items ("Keine" .. "Sehr Langsam") as their combo boxes number them.
struct Options {
    QStringList inputFiles;   // --input-file PATH (repeatable)
    QStringList testSignals;  // --test-signal SPEC (repeatable)
    int channel = 0;          // --channel N: the files' channel N (1 the first); 0 mixes all
    QString device;           // --device NAME: the input by its list entry
    std::optional<Page> page; // --page; none: the page of the last run
    int averaging = -1; // --averaging none|fast|slow|very-slow: averaging item; -1 = not given
    bool start = false;
    QString screenshot;    // --screenshot PNG
    QString exportPath;    // --export PATH
    QString exportCsvPath; // --export-csv PATH
    QString loadMemories;  // --load-memories PATH
    int afterBlocks = 0;   // --after-blocks N; 0 = not given
    QString settings;      // --settings PATH
    int bands = -1;        // --bands 1/1|1/3|1/6|1/12: resolution item; -1 = not given
    bool pacing = true;    // --no-pacing clears it: sound files deliver as fast as taken
    // --generator SPEC [--output-device NAME]: what to play from the start.
    std::optional<GeneratorSettings> generator;
    // Calibrated levels; each given value is used and kept.
    std::optional<engine::LevelReference> reference; // --reference dbfs|spl|raw
    std::optional<engine::Weighting> weighting;      // --weighting A|C|Z
    std::optional<engine::RtaCurve> rtaCurve;        // --rta-curve now|leq|max
    std::optional<double> calibrationOffset;         // --calibration-offset DB
    std::optional<QString> micCorrection;            // --mic-correction PATH ("none": no file)
    // --calibrate LEVEL_dB [--calibrate-frequency HZ]: measure, keep, print, quit.
    std::optional<double> calibrate;
    double calibrateFrequency = 1000.0;
    AnalyzerOptions analyzers; // the FFT page's and the oscilloscope's
    std::optional<QSize> size; // --size WIDTHxHEIGHT: the window's size
    bool maximized = false;    // --maximized
};

struct ParseResult {
    std::optional<Options> options; // empty on an error
    QString error;                  // one line, when options is empty
    bool helpRequested = false;
    bool versionRequested = false;
};

// Parses the arguments (argv[0] included). Unknown options, missing or bad
// values and contradictory combinations give an error.
ParseResult parseCommandLine(const QStringList& arguments);

// The usage text printed after an error and for --help.
QString usageText();
// What --version prints.
QString versionText();

} // namespace app
