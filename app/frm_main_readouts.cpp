// The readouts under the mouse: the band and levels on the RTA, frequency,
// level and the nearest peak on the FFT page, time and sample on the
// oscilloscope, each in the line under its graph; a click pins a marker that
// reads on with every block; a drag on the FFT graph zooms its frequency
// range and a double click shows the whole range again.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "display/graph_marker.h"
#include "display/graph_pointer.h"
#include "engine/band_plan.h"
#include "engine/fft_analysis.h"
#include "engine/readouts.h"
#include "settings/control_store.h"

#include <QApplication>
#include <QLabel>
#include <QRubberBand>
#include <QTabWidget>

#include <algorithm>
#include <climits>
#include <cmath>

namespace app {
namespace {

// The peak is looked for this many columns either side of the mouse.
constexpr int kPeakSearchColumns = 8;

QString decibels(double db)
{
    return std::isfinite(db) ? QString::number(db, 'f', 1) : QStringLiteral("—");
}

QString hertz(double hz)
{
    return QString::number(hz, 'f', hz < 100 ? 2 : 1);
}

} // namespace

void TfrmMain::createReadouts()
{
    const std::array<display::PaintBox*, 3> graphs = {pbxOctaveGraph, pbxFFTGraph, pbxScope};
    const std::array<QWidget*, 3> pages = {tabOctave, tabFFT, tabScope};
    for (int page = 0; page < 3; ++page) {
        auto* pointer = new display::GraphPointer(graphs[static_cast<std::size_t>(page)]);
        pointer->moved = [this, page](QPoint at) {
            mouse_[static_cast<std::size_t>(page)] = at;
            updateReadout(page);
        };
        pointer->left = [this, page] {
            mouse_[static_cast<std::size_t>(page)].reset();
            updateReadout(page);
        };
        pointer->clicked = [this, page](QPoint at) { graphClicked(page, at); };
        markerWidgets_[static_cast<std::size_t>(page)] =
            new display::GraphMarker(pages[static_cast<std::size_t>(page)]);
        if (page != 1)
            continue;
        pointer->dragged = [this](QPoint from, QPoint to, bool finished) {
            const int left = std::min(from.x(), to.x());
            const int right = std::max(from.x(), to.x());
            fftZoomBand_->setGeometry(pbxFFTGraph->x() + left, pbxFFTGraph->y(), right - left + 1,
                                      pbxFFTGraph->height());
            fftZoomBand_->setVisible(!finished);
            if (finished)
                fftZoomColumns(left, right);
        };
        pointer->doubleClicked = [this](QPoint) {
            // Where the double click's own click changed the marker, it stays as it was.
            if (lastClick_.isValid() && lastClick_.elapsed() <= QApplication::doubleClickInterval())
                markers_[1] = markerBeforeClick_;
            fftFullRange();
        };
    }
    fftZoomBand_ = new QRubberBand(QRubberBand::Rectangle, tabFFT);
    for (int page = 0; page < 3; ++page)
        updateReadout(page);
}

void TfrmMain::graphClicked(int page, QPoint at)
{
    auto& marker = markers_[static_cast<std::size_t>(page)];
    // A double click undoes both its clicks: the marker as before the first.
    if (!lastClick_.isValid() || lastClick_.elapsed() > QApplication::doubleClickInterval())
        markerBeforeClick_ = marker;
    lastClick_.start();
    if (marker)
        marker.reset();
    else
        marker = at;
    updateReadout(page);
}

TfrmMain::Reading TfrmMain::readingAt(int page, QPoint at)
{
    Reading r;
    switch (page) {
    case 0:
        r.text = rtaReading(at.x(), r.point);
        break;
    case 1:
        r.text = fftReading(at, false, r.point);
        break;
    case 2:
        r.text = scopeReading(at.x(), r.point);
        break;
    default:
        break;
    }
    return r;
}

void TfrmMain::updateReadout(int page)
{
    const std::array<QLabel*, 3> lines = {lblRtaReadout, lblCursor, lblScopeReadout};
    const std::array<display::PaintBox*, 3> graphs = {pbxOctaveGraph, pbxFFTGraph, pbxScope};
    const auto p = static_cast<std::size_t>(page);
    QLabel* line = lines[p];
    auto* marker = static_cast<display::GraphMarker*>(markerWidgets_[p]);
    if (!line || !marker)
        return;
    QStringList parts;
    std::optional<QPoint> markerPoint;
    if (markers_[p]) {
        std::optional<QPoint> point;
        const QString text =
            page == 1 ? fftReading(*markers_[p], true, point) : readingAt(page, *markers_[p]).text;
        if (page != 1)
            point = readingAt(page, *markers_[p]).point;
        if (!text.isEmpty())
            parts << LoadStr(sReadoutMarker).arg(text);
        markerPoint = point;
    }
    if (markerPoint)
        marker->showAt(graphs[p]->pos() + *markerPoint);
    else
        marker->hide();
    if (mouse_[p])
        if (const Reading r = readingAt(page, *mouse_[p]); !r.text.isEmpty())
            parts << r.text;
    if (parts.isEmpty())
        parts << LoadStr(page == 1 ? sReadoutHintFft : sReadoutHint);
    line->setText(parts.join(QStringLiteral("      ")));
}

QString TfrmMain::rtaReading(int x, std::optional<QPoint>& point)
{
    const auto& table = state_.memory.RTAMemRecord;
    const QString unit = levelUnit();
    const engine::LevelBasis shown = rtaShownBasis();
    QString where;
    QStringList values;
    for (std::size_t k = 0; k < table.size(); ++k) {
        const memories::SpectrumRec& slot = table[k];
        // Slot 0 is the live curve: shown while a capture runs.
        const bool visible = slot.HasData && (slot.DrawMe || (k == 0 && AudioIn1->Active));
        // A memory whose levels cannot be shown in the unit shown reads nothing.
        const std::optional<double> shift = shownShift(slot, shown);
        if (!visible || !shift || !layOutStoredCurve(slot, shown, *readoutPoints_))
            continue;
        const auto band = engine::rtaBandAt(*readoutPoints_, slot.bands, x);
        if (!band)
            continue;
        const auto j = static_cast<std::size_t>(*band);
        const double lower = slot.f[j - 1];
        const double upper = slot.f[j];
        if (where.isEmpty())
            where = LoadStr(sReadoutBand)
                        .arg(QString::number(engine::nominalCentre(lower, upper), 'g', 5),
                             QString::number(lower, 'g', 5), QString::number(upper, 'g', 5));
        const QString name = k == 0 ? QStringLiteral("L") : QString::number(k);
        values << name + " " + LoadStr(sReadoutLevel).arg(decibels(slot.levels[j] + *shift), unit);
        if (!point)
            point = QPoint(x, (*readoutPoints_)[1][j]);
    }
    return where.isEmpty() ? QString() : where + ":   " + values.join(QStringLiteral("   "));
}

QString TfrmMain::fftReading(QPoint at, bool peakOnly, std::optional<QPoint>& point)
{
    const auto axes = fftGridAxes();
    if (!axes)
        return {};
    const int top = fftGraphOrigin().y();
    const QString unit = levelUnit(true);
    const long double hz = engine::fftFrequencyAt(axes->frequency, at.x());
    const double level = engine::fftLevelAt(axes->level, at.y() + top);
    QStringList parts;
    if (!peakOnly)
        parts << LoadStr(sReadoutFft)
                     .arg(hertz(static_cast<double>(hz)),
                          LoadStr(sReadoutLevel).arg(decibels(level), unit));

    const engine::FftAnalysis& a = *fftAnalysis_;
    const int frameRate =
        static_cast<int>(std::min<capture::DWORD>(AudioIn1->FrameRate(), INT_MAX));
    const double binHz = static_cast<double>(frameRate) / a.length;
    const auto bins = static_cast<std::size_t>(engine::fftBins(a));
    auto binOf = [&](int column) {
        const long double f = engine::fftFrequencyAt(axes->frequency, column) / binHz;
        return std::isfinite(static_cast<double>(f))
                   ? static_cast<int>(std::clamp<long double>(f, 0, static_cast<double>(bins)))
                   : 0;
    };
    const auto peak = a.blocks > 0 ? engine::fftPeakNear(std::span(a.average.data(), bins), binHz,
                                                         binOf(at.x() - kPeakSearchColumns),
                                                         binOf(at.x() + kPeakSearchColumns) + 1)
                                   : std::nullopt;
    if (peak) {
        const double peakLevel =
            engine::fftPowerLevel(peak->power, fftLevelOffset() + fftTopLevel());
        parts << LoadStr(sReadoutPeak)
                     .arg(hertz(peak->hz), LoadStr(sReadoutLevel).arg(decibels(peakLevel), unit));
        const auto column = engine::fftColumnOf(axes->frequency, peak->hz);
        const auto row = engine::fftLevelRow(axes->level, peakLevel);
        if (column && row)
            point = QPoint(*column, *row - top);
    }
    return parts.join(QStringLiteral("   "));
}

QString TfrmMain::scopeReading(int x, std::optional<QPoint>& point)
{
    const engine::ScopeTrace& trace = *scopeTrace_;
    const auto step = engine::scopeStepAt(trace, x);
    const auto first = engine::scopeStepAt(trace, 0);
    if (!step || !first)
        return {};
    const engine::ScopeStep& s = trace.steps[static_cast<std::size_t>(*step)];
    const std::int32_t value = engine::scopeStepValue(state_.measurement, trace, *step);
    const double ms = 1000.0 * (s.k - trace.steps[static_cast<std::size_t>(*first)].k) /
                      std::max<capture::DWORD>(1, AudioIn1->FrameRate());
    const double dbfs = 20 * std::log10(std::abs(value) / 32768.0);
    point = QPoint(x, s.row);
    return LoadStr(sReadoutScope)
        .arg(QString::number(ms, 'f', 3), decibels(dbfs), QString::number(value));
}

void TfrmMain::fftViewChanged(const engine::FftView& view)
{
    FftPageSettings s = fftSettings_;
    s.view = view;
    applyFftPageSettings(s);
    QString error;
    if (!saveFftPageSettings(settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct)),
                             fftSettings_, error))
        ShowMessage(this, LoadStr(sAnalyzerSettingsNotSaved).arg(error));
    updateReadout(1);
}

void TfrmMain::fftZoomColumns(int from, int to)
{
    const auto axes = fftGridAxes();
    if (!axes || to - from <= display::GraphPointer::kDragDistance)
        return;
    engine::FftView view = fftSettings_.view;
    view.fMin = static_cast<double>(engine::fftFrequencyAt(axes->frequency, std::max(from, 0)));
    view.fMax = static_cast<double>(
        engine::fftFrequencyAt(axes->frequency, std::min(to, pbxFFTGraph->width())));
    // Whole hertz read better in the fields; a narrow range keeps its tenths.
    const double digits = view.fMax - view.fMin > 100 ? 0 : 1;
    const double scale = std::pow(10.0, digits);
    view.fMin = std::floor(view.fMin * scale) / scale;
    view.fMax = std::ceil(view.fMax * scale) / scale;
    fftViewChanged(view);
}

void TfrmMain::fftFullRange()
{
    engine::FftView view = fftSettings_.view;
    view.fMin = view.scale == engine::FftAxisScale::Log ? engine::kFftLogDefaultMin : 0.0;
    view.fMax = FftPageSettings::kMaxFrequency;
    fftViewChanged(view);
}

} // namespace app
