// Calibrated levels in the main window: the weighting and curve controls, the
// meter strip, the calibration and correction commands, and what the pages
// take from them each block.

#include "calibrated_levels.h"
#include "form_widgets.h"
#include "frm_calibration.h"
#include "frm_main.h"
#include "message_box.h"
#include "string_table.h"

#include "engine/rta_geometry.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <cmath>

namespace app {
namespace {

// The FFT page and the meter read dBFS where the octave bands read their old
// raw unit: it has no meaning beyond the octave-band sums.
engine::CalibrationModel dbfsUnlessCalibrated(engine::CalibrationModel model)
{
    if (model.reference == engine::LevelReference::Raw)
        model.reference = engine::LevelReference::Dbfs;
    return model;
}

} // namespace

void TfrmMain::createLevelControls(QWidget* client)
{
    levels_ = std::make_unique<CalibratedLevels>();
    lblWeighting = label(client, "Weighting", 8, 552);
    cboWeighting = place(new QComboBox(client), 78, 547, 44, 21);
    cboWeighting->setObjectName("cboWeighting");
    cboWeighting->addItems({"Z", "A", "C"});
    lblRtaCurve = label(client, "Curve", 132, 552);
    cboRtaCurve = place(new QComboBox(client), 170, 547, 86, 21);
    cboRtaCurve->setObjectName("cboRtaCurve");
    cboRtaCurve->addItems({"Now", "Leq", "Max"});
    btnResetLevels = place(new QPushButton("Reset", client), 262, 547, 50, 21);
    btnResetLevels->setObjectName("btnResetLevels");
    meterStrip = place(new display::LevelMeterStrip(client), 320, 545, 423, 25);
    connect(cboWeighting, &QComboBox::activated, this, [this] { cboWeightingChange(); });
    connect(cboRtaCurve, &QComboBox::activated, this, [this] { cboRtaCurveChange(); });
    connect(btnResetLevels, &QPushButton::clicked, this, [this] { btnResetLevelsClick(); });
}

void TfrmMain::attachLevelSettings()
{
    lblWeighting->setText(LoadStr(sWeighting));
    lblRtaCurve->setText(LoadStr(sRtaCurve));
    cboRtaCurve->setItemText(0, LoadStr(sCurveNow));
    cboRtaCurve->setItemText(1, LoadStr(sCurveLeq));
    cboRtaCurve->setItemText(2, LoadStr(sCurveMax));
    btnResetLevels->setText(LoadStr(sResetLevels));
    for (QLabel* l : {lblWeighting, lblRtaCurve})
        l->adjustSize();
    if (!Calibrate1) {
        Calibrate1 = Tools2->addAction(withAccessKey(LoadStr(sCalibrateMenu), 'K'));
        MicCorrection1 = Tools2->addAction(withAccessKey(LoadStr(sMicCorrectionMenu), 'M'));
        MicCorrectionOff1 = Tools2->addAction(withAccessKey(LoadStr(sNoCorrection), 'n'));
        connect(Calibrate1, &QAction::triggered, this, [this] { Calibrate1Click(); });
        connect(MicCorrection1, &QAction::triggered, this, [this] { MicCorrection1Click(); });
        connect(MicCorrectionOff1, &QAction::triggered, this, [this] {
            if (const QString e = setMicCorrectionFile({}); !e.isEmpty())
                ShowMessage(this, e);
        });
    }
    if (!frmSettings)
        return;
    frmSettings->onLevelSettingsChanged = [this] { levelSettingsChanged(); };
    const QString file = frmSettings->levelSettings().micCorrectionFile;
    engine::MicCorrection correction;
    if (!file.isEmpty()) {
        // A file that went missing since: measure without it, and say so.
        if (const QString e = readMicCorrectionFile(file, correction); !e.isEmpty()) {
            ShowMessage(this, e);
            changeLevelSettings([](settings::LevelSettings& s) { s.micCorrectionFile.clear(); });
            return;
        }
    }
    levels_->apply(frmSettings->levelSettings(), correction, AudioIn1->FrameRate());
    levelSettingsChanged();
}

void TfrmMain::levelSettingsChanged()
{
    if (!frmSettings)
        return;
    const settings::LevelSettings& s = frmSettings->levelSettings();
    levels_->apply(s, levels_->model.correction, AudioIn1->FrameRate());
    fftDescription_ = app::levelDescription(dbfsUnlessCalibrated(levels_->model), s,
                                            levels_->correctionName, false);
    cboWeighting->setCurrentIndex(int(s.weighting));
    cboRtaCurve->setCurrentIndex(int(s.rtaCurve));
    MicCorrectionOff1->setEnabled(!s.micCorrectionFile.isEmpty());
    showLevelControls(pgcAnalyzers->currentIndex());
    pbxOctGrid->Repaint();
    pbxFFTGraph->Repaint();
}

void TfrmMain::changeLevelSettings(const std::function<void(settings::LevelSettings&)>& change)
{
    if (!frmSettings)
        return;
    settings::LevelSettings s = frmSettings->levelSettings();
    change(s);
    frmSettings->setLevelSettings(s);
    if (const QString e = frmSettings->saveLevelSettings(); !e.isEmpty())
        ShowMessage(this, LoadStr(sLevelsNotSaved).arg(e));
    levelSettingsChanged();
}

void TfrmMain::showLevelControls(int page)
{
    for (QWidget* w : {static_cast<QWidget*>(lblRtaCurve), static_cast<QWidget*>(cboRtaCurve)})
        w->setVisible(page == 0);
    for (QWidget* w : {static_cast<QWidget*>(lblWeighting), static_cast<QWidget*>(cboWeighting),
                       static_cast<QWidget*>(btnResetLevels), static_cast<QWidget*>(meterStrip)})
        w->setVisible(page == 0 || page == 1);
}

void TfrmMain::cboWeightingChange()
{
    const auto w = engine::Weighting(std::clamp(cboWeighting->currentIndex(), 0, 2));
    changeLevelSettings([w](settings::LevelSettings& s) { s.weighting = w; });
}

void TfrmMain::cboRtaCurveChange()
{
    const auto c = engine::RtaCurve(std::clamp(cboRtaCurve->currentIndex(), 0, 2));
    changeLevelSettings([c](settings::LevelSettings& s) { s.rtaCurve = c; });
}

void TfrmMain::btnResetLevelsClick()
{
    levels_->meter.reset();
    levels_->rtaStatistics.reset();
}

QString TfrmMain::setMicCorrectionFile(const QString& path)
{
    engine::MicCorrection correction;
    if (!path.isEmpty())
        if (const QString e = readMicCorrectionFile(path, correction); !e.isEmpty())
            return e;
    levels_->model.correction = std::move(correction);
    changeLevelSettings([&path](settings::LevelSettings& s) { s.micCorrectionFile = path; });
    return {};
}

void TfrmMain::MicCorrection1Click()
{
    if (!memoryDialogs.file)
        return;
    const QString path = memoryDialogs.file(LoadStr(sMicCorrectionMenu).remove(" …"),
                                            LoadStr(sCorrectionFilter), false);
    if (path.isEmpty())
        return;
    if (const QString e = setMicCorrectionFile(path); !e.isEmpty())
        ShowMessage(this, e);
}

void TfrmMain::startCalibration(double db, double hz,
                                std::function<void(const engine::CalibrationResult&)> done)
{
    levels_->calibration.emplace(db, hz, levels_->model.correction, engine::kBlockSamples,
                                 AudioIn1->FrameRate());
    levels_->calibrationDone = [this, done = std::move(done)](const engine::CalibrationResult& r) {
        if (r.status == engine::CalibrationResult::Status::Done) {
            changeLevelSettings([&](settings::LevelSettings& s) {
                s.calibrationOffsetDb = r.offsetDb;
                s.calibrationDate = QDateTime::currentDateTime().toString(Qt::ISODate);
            });
            useSplReference();
        }
        if (done)
            done(r);
    };
    if (!AudioIn1->Active)
        btnONOFFClick();
}

void TfrmMain::useSplReference()
{
    if (!frmSettings || !frmSettings->selectReference(engine::LevelReference::Spl))
        return;
    // The axis limits moved with the reference: kept with it.
    if (const QString e = frmSettings->saveSettings(); !e.isEmpty())
        ShowMessage(this, LoadStr(sLevelsNotSaved).arg(e));
}

void TfrmMain::Calibrate1Click()
{
    if (!frmCalibration) {
        TfrmCalibration::Hooks hooks;
        hooks.measure = [this](double db, double hz) {
            startCalibration(db, hz, [this](const engine::CalibrationResult& r) {
                frmCalibration->showResult(r);
            });
        };
        hooks.applyOffset = [this](double offset) {
            changeLevelSettings([offset](settings::LevelSettings& s) {
                s.calibrationOffsetDb = offset;
                s.calibrationDate = QDateTime::currentDateTime().toString(Qt::ISODate);
            });
            useSplReference();
        };
        frmCalibration = new TfrmCalibration(this, std::move(hooks));
    }
    if (frmSettings)
        frmCalibration->showCalibration(frmSettings->levelSettings().calibrationOffsetDb,
                                        frmSettings->levelSettings().calibrationDate);
    frmCalibration->show();
    frmCalibration->raise();
}

void TfrmMain::levelsBlock(std::span<const std::int16_t> samples)
{
    CalibratedLevels& l = *levels_;
    l.meter.process(samples);
    const engine::MeterReadings r = l.meter.readings();
    const double offset = dbfsUnlessCalibrated(l.model).offsetFromDbfs(0);
    display::MeterStripValues v;
    v.fastDb = r.fastDb + offset;
    v.slowDb = r.slowDb + offset;
    v.leqDb = r.leqDb + offset;
    v.maxFastDb = r.maxFastDb + offset;
    v.peakDbfs = r.peakDb;
    v.rangeTopDb = offset;
    v.weighting = engine::weightingLetter(l.model.weighting);
    v.unit = levelUnitText(dbfsUnlessCalibrated(l.model));
    v.peakLabel = LoadStr(sPeak);
    meterStrip->setValues(v);

    if (l.calibration) {
        const engine::CalibrationResult result = l.calibration->addBlock(samples);
        if (result.status != engine::CalibrationResult::Status::Measuring) {
            l.calibration.reset();
            if (auto done = std::move(l.calibrationDone))
                done(result);
        }
    }
}

QString TfrmMain::levelAxisTitle(bool fftPage) const
{
    const engine::CalibrationModel& model =
        fftPage ? dbfsUnlessCalibrated(levels_->model) : levels_->model;
    QString title = LoadStr(sLevelAxisUnit).arg(levelUnitText(model));
    if (!levels_->correctionName.isEmpty())
        title += " · " + levels_->correctionName;
    return title;
}

QString TfrmMain::levelUnit(bool fftPage) const
{
    return levelUnitText(fftPage ? dbfsUnlessCalibrated(levels_->model) : levels_->model);
}

engine::RtaLevels TfrmMain::rtaLevels(double raw) const
{
    return {levels_->factors(), static_cast<long double>(levels_->model.offsetFromDbfs(raw)) - raw};
}

int TfrmMain::fftTopLevel() const
{
    // The grid's top label: 0 of the reference, rounded up to ten.
    const double offset = dbfsUnlessCalibrated(levels_->model).offsetFromDbfs(0);
    return static_cast<int>(std::ceil(offset / 10 - 1e-9) * 10);
}

double TfrmMain::fftLevelOffset() const
{
    return dbfsUnlessCalibrated(levels_->model).offsetFromDbfs(0) - fftTopLevel();
}

QString TfrmMain::levelDescription() const
{
    if (!frmSettings)
        return {};
    return app::levelDescription(levels_->model, frmSettings->levelSettings(),
                                 levels_->correctionName);
}

} // namespace app
