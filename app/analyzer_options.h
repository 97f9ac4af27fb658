#pragma once
// The command-line options of the FFT page and the oscilloscope, for
// unattended runs: each one given overrides the stored setting for this run
// only (nothing is stored).

#include "display/scope_trace_painter.h"
#include "engine/fft_analysis.h"
#include "engine/fft_axes.h"
#include "engine/scope_trigger.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace app {

class TfrmMain;

struct AnalyzerOptions {
    std::optional<engine::FftAveraging> fftAveraging;   // --fft-averaging
    bool fftHold = false;                               // --fft-hold
    std::optional<engine::FftAxisScale> fftAxis;        // --fft-axis lin|log
    std::optional<std::pair<double, double>> fftRange;  // --fft-range FROM:TO (Hz)
    std::optional<std::pair<double, double>> fftLevels; // --fft-levels TOP:RANGE (dB)
    std::optional<int> fftLength;                       // --fft-length N
    std::optional<engine::TriggerMode> trigger;         // --trigger
    std::optional<engine::TriggerEdge> triggerEdge;     // --trigger-edge
    std::optional<double> triggerLevel;                 // --trigger-level PERCENT
    std::optional<double> triggerPosition;              // --trigger-position PERCENT
    std::optional<display::ScopeTraceStyle> scopeStyle; // --scope-style staircase|lines
    std::optional<int> timeBase;                        // --timebase LABEL: slider position 1 .. 10
};

// The options, to be added to the parser.
QList<QCommandLineOption> analyzerCommandLineOptions();

// Reads them from a parser that has parsed; an error text for a bad value.
QString parseAnalyzerOptions(const QCommandLineParser& parser, AnalyzerOptions& out);

// Puts what was given on the window's controls, without storing it.
void applyAnalyzerOptions(TfrmMain& window, const AnalyzerOptions& options);

} // namespace app
