#include "analyzer_options.h"

#include "frm_main.h"

#include "engine/scope_time_base.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QStringList>

namespace app {
namespace {

const QCommandLineOption
    kFftAveraging("fft-averaging",
                  "The FFT page averages none, fast, slow, very-slow or infinite (the mean "
                  "since the start).",
                  "SPEED");
const QCommandLineOption kFftHold("fft-hold", "Shows the FFT page's peak-hold curve.");
const QCommandLineOption kFftAxis("fft-axis", "The FFT page's frequency axis: lin or log.", "AXIS");
const QCommandLineOption kFftRange("fft-range", "The FFT page's frequency range in Hz.", "FROM:TO");
const QCommandLineOption kFftLevels("fft-levels",
                                    "The FFT page's level axis: its top line and its range in dB.",
                                    "TOP:RANGE");
const QCommandLineOption
    kFftLength("fft-length", "The FFT page's transform length: 8192, 16384, 32768 or 65536.", "N");
const QCommandLineOption kTrigger("trigger",
                                  "The oscilloscope's trigger: free, auto, normal or "
                                  "single.",
                                  "MODE");
const QCommandLineOption kTriggerEdge("trigger-edge", "The trigger's edge: rising or falling.",
                                      "EDGE");
const QCommandLineOption kTriggerLevel("trigger-level",
                                       "The trigger's level in percent of full scale, -100 to 100.",
                                       "PERCENT");
const QCommandLineOption
    kTriggerPosition("trigger-position",
                     "Where the trigger point lies across the screen, 0 to 100 percent.",
                     "PERCENT");
const QCommandLineOption kScopeStyle("scope-style",
                                     "The oscilloscope draws samples as a staircase or as lines.",
                                     "STYLE");
const QCommandLineOption kTimeBase("timebase",
                                   "The oscilloscope's time base as its slider shows it: 100us "
                                   "(or 100µs), 200us, 500us, 1ms, 2ms, 5ms, 10ms, 20ms, 50ms or "
                                   "100ms.",
                                   "LABEL");

// The index of `value` in `names`, with an error naming the option otherwise.
template <class T>
bool choose(const QCommandLineParser& p, const QCommandLineOption& o, const QStringList& names,
            std::optional<T>& out, QString& error)
{
    if (!p.isSet(o))
        return true;
    const int i = names.indexOf(p.value(o));
    if (i < 0) {
        error = QString("--%1 takes %2, not '%3'.")
                    .arg(o.names().first(), names.join(", "), p.value(o));
        return false;
    }
    out = static_cast<T>(i);
    return true;
}

bool number(const QCommandLineParser& p, const QCommandLineOption& o, double lo, double hi,
            std::optional<double>& out, QString& error)
{
    if (!p.isSet(o))
        return true;
    bool ok = false;
    const double v = p.value(o).toDouble(&ok);
    if (!ok || v < lo || v > hi) {
        error = QString("--%1 takes a number from %2 to %3, not '%4'.")
                    .arg(o.names().first())
                    .arg(lo)
                    .arg(hi)
                    .arg(p.value(o));
        return false;
    }
    out = v;
    return true;
}

bool numberPair(const QCommandLineParser& p, const QCommandLineOption& o,
                std::optional<std::pair<double, double>>& out, QString& error)
{
    if (!p.isSet(o))
        return true;
    const QStringList parts = p.value(o).split(':');
    bool ok1 = false, ok2 = false;
    if (parts.size() == 2) {
        const double a = parts[0].toDouble(&ok1), b = parts[1].toDouble(&ok2);
        if (ok1 && ok2) {
            out = std::pair(a, b);
            return true;
        }
    }
    error = QString("--%1 takes two numbers as %2, not '%3'.")
                .arg(o.names().first(), o.valueName(), p.value(o));
    return false;
}

} // namespace

QList<QCommandLineOption> analyzerCommandLineOptions()
{
    return {kFftAveraging, kFftHold,     kFftAxis,      kFftRange,        kFftLevels,  kFftLength,
            kTrigger,      kTriggerEdge, kTriggerLevel, kTriggerPosition, kScopeStyle, kTimeBase};
}

QString parseAnalyzerOptions(const QCommandLineParser& p, AnalyzerOptions& out)
{
    QString e;
    out.fftHold = p.isSet(kFftHold);
    std::optional<double> length, level, position;
    const bool ok = choose(p, kFftAveraging, {"none", "fast", "slow", "very-slow", "infinite"},
                           out.fftAveraging, e) &&
                    choose(p, kFftAxis, {"lin", "log"}, out.fftAxis, e) &&
                    numberPair(p, kFftRange, out.fftRange, e) &&
                    numberPair(p, kFftLevels, out.fftLevels, e) &&
                    choose(p, kTrigger, {"free", "auto", "normal", "single"}, out.trigger, e) &&
                    choose(p, kTriggerEdge, {"rising", "falling"}, out.triggerEdge, e) &&
                    number(p, kTriggerLevel, -100, 100, out.triggerLevel, e) &&
                    number(p, kTriggerPosition, 0, 100, out.triggerPosition, e) &&
                    choose(p, kScopeStyle, {"staircase", "lines"}, out.scopeStyle, e);
    if (!ok)
        return e;
    if (p.isSet(kFftLength)) {
        bool isNumber = false;
        const int n = p.value(kFftLength).toInt(&isNumber);
        if (!isNumber || !engine::isFftLength(n))
            return QString("--fft-length takes 8192, 16384, 32768 or 65536, not '%1'.")
                .arg(p.value(kFftLength));
        out.fftLength = n;
    }
    if (p.isSet(kTimeBase)) {
        QString label = p.value(kTimeBase);
        label.replace("us", "\u00B5s");
        for (int position = 1; position <= 10; ++position)
            if (label ==
                QString::fromUtf8(engine::TimeBaseLabel[position - 1].data(),
                                  static_cast<int>(engine::TimeBaseLabel[position - 1].size())))
                out.timeBase = position;
        if (!out.timeBase)
            return QString("--timebase takes 100us, 200us, 500us, 1ms, 2ms, 5ms, 10ms, 20ms, "
                           "50ms or 100ms, not '%1'.")
                .arg(p.value(kTimeBase));
    }
    return {};
}

void applyAnalyzerOptions(TfrmMain& w, const AnalyzerOptions& o)
{
    FftPageSettings fft = w.fftPageSettings();
    if (o.fftAveraging)
        fft.averaging = *o.fftAveraging;
    if (o.fftHold)
        fft.hold = true;
    if (o.fftAxis && *o.fftAxis != fft.view.scale) {
        fft.view.scale = *o.fftAxis;
        fft.view.fMin = fft.view.scale == engine::FftAxisScale::Log ? engine::kFftLogDefaultMin : 0;
        fft.view.fMax = FftPageSettings::kMaxFrequency;
    }
    if (o.fftRange) {
        fft.view.fMin = o.fftRange->first;
        fft.view.fMax = o.fftRange->second;
    }
    if (o.fftLevels) {
        fft.view.levelTop = o.fftLevels->first;
        fft.view.levelRange = o.fftLevels->second;
    }
    if (o.fftLength)
        fft.length = *o.fftLength;
    w.applyFftPageSettings(fft);

    ScopePageSettings scope = w.scopePageSettings();
    if (o.trigger)
        scope.trigger.mode = *o.trigger;
    if (o.triggerEdge)
        scope.trigger.edge = *o.triggerEdge;
    if (o.triggerLevel)
        scope.trigger.levelPercent = *o.triggerLevel;
    if (o.triggerPosition)
        scope.trigger.positionPercent = *o.triggerPosition;
    if (o.scopeStyle)
        scope.style = *o.scopeStyle;
    w.applyScopePageSettings(scope);
    if (o.timeBase)
        w.tbTDiv->setValue(*o.timeBase);
}

} // namespace app
