// The FFT page: its controls (averaging, hold, axes, length), its set-up on
// activation, its grid paint and its branch of the block handler.

#include "form_widgets.h"
#include "frm_main.h"

#include "calibrated_levels.h"

#include "message_box.h"
#include "string_table.h"

#include "display/fft_curves.h"
#include "display/fft_grid.h"
#include "engine/fft_block.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <climits>

namespace app {
namespace {

settings::StoreKey fftStoreKey()
{
    return settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct));
}

QLineEdit* numberField(QWidget* parent, int left, int width, const QString& tip)
{
    auto* field = place(new QLineEdit(parent), left, 8, width, 21);
    field->setValidator(new QDoubleValidator(field));
    field->setToolTip(tip);
    return field;
}

QString fieldText(double v)
{
    return QString::number(v, 'g', 6);
}

} // namespace

void TfrmMain::createFftPage()
{
    pages_[1].activate = [this] { setUpFftPage(); };
    pages_[1].block = [this](std::span<const std::int16_t> samples) { fftBufferFilled(samples); };
    pbxFFTGrid->setPaintHandler([this] { pbxFFTGridPaint(); });
    fftAnalysis_ = std::make_unique<engine::FftAnalysis>();
    fftLegend_ = new display::Legend(tabFFT);

    // Averaging, hold and reset in the top row, where the RTA has its own
    // averaging; shown with the page.
    QWidget* client = centralWidget();
    lblFftAveraging = label(client, LoadStr(sAveraging), 114, 3);
    cboFftAveraging = place(new QComboBox(client), 114, 18, 96, 21);
    cboFftAveraging->addItems({LoadStr(sAvgNone), LoadStr(sAvgFast), LoadStr(sAvgSlow),
                               LoadStr(sAvgVerySlow), LoadStr(sFftAvgInfinite)});
    btnFftHold = place(new QToolButton(client), 214, 18, 50, 21);
    btnFftHold->setText(LoadStr(sFftHold));
    btnFftHold->setCheckable(true);
    btnFftHold->setToolTip(LoadStr(sFftHoldTip));
    btnFftReset = place(new QPushButton(LoadStr(sFftReset), client), 266, 18, 40, 21);
    fftTopRow_ = {lblFftAveraging, cboFftAveraging, btnFftHold, btnFftReset};
    for (QWidget* w : fftTopRow_)
        w->hide();

    // The axes over the grid's empty top strip.
    lblFftAxis = label(tabFFT, LoadStr(sFftAxis), 104, 11);
    cboFftAxis = place(new QComboBox(tabFFT), 140, 8, 104, 21);
    cboFftAxis->addItems({LoadStr(sFftAxisLinear), LoadStr(sFftAxisLog)});
    lblFftFrequency = label(tabFFT, LoadStr(sFftFrequencyRange), 254, 11);
    txtFftFrom = numberField(tabFFT, 292, 52, LoadStr(sFftFrequencyFromTip));
    txtFftTo = numberField(tabFFT, 348, 52, LoadStr(sFftFrequencyToTip));
    lblFftLevel = label(tabFFT, LoadStr(sFftLevelRange), 410, 11);
    txtFftTop = numberField(tabFFT, 472, 40, LoadStr(sFftLevelTopTip));
    txtFftRange = numberField(tabFFT, 516, 40, LoadStr(sFftLevelSpanTip));
    lblFftLength = label(tabFFT, LoadStr(sFftLength), 566, 11);
    cboFftLength = place(new QComboBox(tabFFT), 604, 8, 70, 21);
    for (const int n : engine::kFftLengths)
        cboFftLength->addItem(QString::number(n));

    applyFftPageSettings(loadFftPageSettings(fftStoreKey()));

    auto changed = [this] { fftControlsChanged(); };
    connect(cboFftAveraging, &QComboBox::activated, this, changed);
    connect(btnFftHold, &QToolButton::clicked, this, changed);
    connect(cboFftAxis, &QComboBox::activated, this, changed);
    connect(cboFftLength, &QComboBox::activated, this, changed);
    for (QLineEdit* field : {txtFftFrom, txtFftTo, txtFftTop, txtFftRange})
        connect(field, &QLineEdit::editingFinished, this, changed);
    connect(btnFftReset, &QPushButton::clicked, this, [this] { fftReset(); });
}

void TfrmMain::applyFftPageSettings(const FftPageSettings& s)
{
    fftSettings_ = s;
    normaliseFftView(fftSettings_.view);
    cboFftAveraging->setCurrentIndex(static_cast<int>(fftSettings_.averaging));
    btnFftHold->setChecked(fftSettings_.hold);
    cboFftAxis->setCurrentIndex(static_cast<int>(fftSettings_.view.scale));
    txtFftFrom->setText(fieldText(fftSettings_.view.fMin));
    txtFftTo->setText(fieldText(fftSettings_.view.fMax));
    txtFftTop->setText(fieldText(fftSettings_.view.levelTop));
    txtFftRange->setText(fieldText(fftSettings_.view.levelRange));
    cboFftLength->setCurrentText(QString::number(fftSettings_.length));
    engine::setFftLength(*fftAnalysis_, fftSettings_.length);
    if (pgcAnalyzers->currentIndex() == 1)
        pbxFFTGraph->Repaint();
}

void TfrmMain::fftControlsChanged()
{
    FftPageSettings s = fftSettings_;
    s.averaging = static_cast<engine::FftAveraging>(std::max(0, cboFftAveraging->currentIndex()));
    s.hold = btnFftHold->isChecked();
    const auto scale = static_cast<engine::FftAxisScale>(std::max(0, cboFftAxis->currentIndex()));
    // A change of scale starts from that scale's own range.
    if (scale != s.view.scale) {
        s.view.scale = scale;
        s.view.fMin = scale == engine::FftAxisScale::Log ? engine::kFftLogDefaultMin : 0.0;
        s.view.fMax = FftPageSettings::kMaxFrequency;
    } else {
        const auto read = [](const QLineEdit* field, double& value) {
            bool ok = false;
            const double v = field->locale().toDouble(field->text(), &ok);
            if (ok)
                value = v;
        };
        read(txtFftFrom, s.view.fMin);
        read(txtFftTo, s.view.fMax);
        read(txtFftTop, s.view.levelTop);
        read(txtFftRange, s.view.levelRange);
    }
    s.length = cboFftLength->currentText().toInt();
    const bool restart = s.averaging != fftSettings_.averaging || s.length != fftSettings_.length;
    applyFftPageSettings(s);
    if (restart)
        fftReset();
    QString error;
    if (!saveFftPageSettings(fftStoreKey(), fftSettings_, error))
        ShowMessage(this, LoadStr(sAnalyzerSettingsNotSaved).arg(error));
}

void TfrmMain::fftReset()
{
    engine::resetFftAnalysis(*fftAnalysis_, false);
}

std::span<const float> TfrmMain::fftFactors(int length, int frameRate)
{
    const std::span<const float> oneBlock = levels_->factors();
    if (oneBlock.empty() || length == engine::kBlockSamples)
        return oneBlock;
    if (length != fftFactorsLength_ || frameRate != fftFactorsRate_ ||
        !std::equal(oneBlock.begin(), oneBlock.end(), fftFactorsSource_.begin(),
                    fftFactorsSource_.end())) {
        fftFactorsSource_.assign(oneBlock.begin(), oneBlock.end());
        fftFactorsLength_ = length;
        fftFactorsRate_ = frameRate;
        fftLongFactors_.resize(static_cast<std::size_t>(length / 2 + 1));
        levels_->model.binPowerFactors(length, frameRate, fftLongFactors_);
    }
    return fftLongFactors_;
}

void TfrmMain::setUpFftPage()
{
    const auto frameRate = std::min<capture::DWORD>(AudioIn1->FrameRate(), INT_MAX);
    engine::setUpFftTab(state_.measurement, pbxFFTGraph->width(), static_cast<int>(frameRate));
    // Every start on the page, and every return to it, measures afresh.
    engine::resetFftAnalysis(*fftAnalysis_, true);
    pbxFFTGraph->Repaint();
}

QPoint TfrmMain::fftGraphOrigin() const
{
    return pbxFFTGraph->pos() - pbxFFTGrid->pos();
}

std::optional<display::FftGridAxes> TfrmMain::fftGridAxes() const
{
    const auto frequency = engine::fftFrequencyMap(fftSettings_.view, pbxFFTGraph->width());
    // The top field counts from the reference's own top line, which follows
    // the calibration (0 for dBFS).
    engine::FftView view = fftSettings_.view;
    view.levelTop += fftTopLevel();
    const auto level = engine::fftLevelMap(view, display::kFftGridTop,
                                           engine::fftLabelledRows(pbxFFTGraph->height()));
    if (!frequency || !level)
        return std::nullopt;
    return display::FftGridAxes{*frequency, *level, fftSettings_.view.levelRange};
}

void TfrmMain::pbxFFTGridPaint()
{
    fftTrace_.forget();
    display::Canvas& graph = pbxFFTGraph->canvas();
    const auto axes = fftGridAxes();
    const display::FftGridAxes drawn =
        axes ? *axes : display::fftDefaultGridAxes(state_.measurement.Columnwidth, graph.width());
    display::PaintAxesFFT(pbxFFTGrid->canvas(), graph, fftGraphOrigin(), imgPhantomFFTGrid, drawn,
                          levelAxisTitle(true));
    // The stored curves on the axes the grid shows, beside the live curve.
    drawStoredFftCurves(drawn);
    updateFftLegend();
    updateReadout(1);
}

void TfrmMain::fftBufferFilled(std::span<const std::int16_t> samples)
{
    engine::MeasurementState& m = state_.measurement;
    engine::FftAnalysis& a = *fftAnalysis_;
    const int frameRate =
        static_cast<int>(std::min<capture::DWORD>(AudioIn1->FrameRate(), INT_MAX));
    const std::span<const float> factors = fftFactors(a.length, frameRate);
    engine::analyseFftBlock(a, samples, fftSettings_.averaging, factors);

    auto axes = fftGridAxes();
    if (!axes)
        return;
    // The grid's 0 line, where a full-scale sine peaks, in graph rows.
    axes->level.topRow = fftTopRow();
    const std::int32_t floor = fftFloorRow(axes->level.topRow);
    // Levels in the reference: dBFS plus its offset.
    const double offset = fftLevelOffset() + fftTopLevel();
    const double binHz = static_cast<double>(frameRate) / a.length;
    const auto bins = static_cast<std::size_t>(engine::fftBins(a));
    fftLayout_->update(axes->frequency, binHz, static_cast<int>(bins));
    // One point a bin up to the one-block length, as that page always drew.
    const int count =
        engine::fftCurvePoints(std::span(a.average.data(), bins), *fftLayout_, axes->level, offset,
                               floor, m.NewPoints, engine::kFftBinsDrawn);
    display::Canvas& graph = pbxFFTGraph->canvas();
    // Erased down to the grid and the shown memories.
    display::drawFftCurve(graph, imgFftGraphBackground.canvas(), m.NewPoints, 0, fftTrace_);
    if (fftSettings_.hold) {
        // At most two points a column: the hold needs no per-bin detail.
        const int held = engine::fftCurvePoints(std::span(a.hold.data(), bins), *fftLayout_,
                                                axes->level, offset, floor, *fftHoldPoints_, 0);
        display::drawFftPolyline(graph, *fftHoldPoints_, held, display::kFftHoldColour, fftTrace_);
    }
    display::drawFftPolyline(graph, m.NewPoints, count, engine::clBlack, fftTrace_);
    std::copy_n(m.NewPoints[1].begin(), count, m.OldPoints[1].begin());
    memories::SpectrumRec& last = state_.memory.FFTMemRecord[0];
    last.bands = count;
    last.coordinates = m.NewPoints;
    // The spectrum as the curve shows it, for the memories (reserved: no allocation).
    last.fft.length = a.length;
    last.fft.sampleRate = frameRate;
    last.fft.power.assign(a.average.begin(), a.average.begin() + static_cast<std::ptrdiff_t>(bins));
    last.basis = fftShownBasis();
    last.description = fftDescription_;
    last.windowType = memories::kWelchWindow;
    last.averaging = static_cast<int>(fftSettings_.averaging);
    if (!last.HasData) {
        // From the first block on it can be shown, hidden and stored.
        last.HasData = true;
        mem0->setEnabled(true);
    }
}

} // namespace app
