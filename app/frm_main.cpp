// The main window's life: creation, activation, START/STOP, page changes, the
// menu commands and closing.

#include "frm_main.h"

#include "calibrated_levels.h"

#include "desktop.h"
#include "device_messages.h"
#include "form_widgets.h"
#include "frm_generator.h"
#include "message_box.h"
#include "string_table.h"

#include "capture/wavein.h"
#include "display/colour_map.h"
#include "dsp/window.h"
#include "engine/band_plan.h"
#include "engine/rta_block.h"
#include "engine/rta_curve.h"
#include "settings/control_store.h"
#include "settings/save_failure.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <limits>

namespace app {

TfrmMain::TfrmMain(AppState& state, const QString& executableDir)
    : state_(state), executableDir_(executableDir)
{
    setWindowTitle(LoadStr(sProduct));
    // The layout was made for a small 8-point sans serif font, 10 to 11 pixels high.
    QFont formFont = font();
    formFont.setPixelSize(11);
    setFont(formFont);
    createControls();
    createMenus();

    AudioIn1 = new capture::TAudioIn(this);
    AudioIn1->SetBufferSize(engine::kBlockBytes);
    AudioIn1->SetNumBuffers(3);
    AudioIn1->SetFrameRate(engine::kFrameRate);
    // The list starts on its first entry, the system default, and the device used is the device
    // shown.
    AudioIn1->SetWaveDevice(capture::WAVE_MAPPER);

    connectHandlers();
    createRtaPage();
    createFftPage();
    createScopePage();
    createMemoryCommands();
    createGenerator();
    createReadouts();
    createPictureCommand();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::connectHandlers()
{
    connect(btnONOFF, &QPushButton::clicked, this, [this] { btnONOFFClick(); });
    connect(cboOctaveType, &QComboBox::activated, this, [this] { cboOctaveTypeChange(); });
    connect(cboAveraging, &QComboBox::activated, this, [this] { cboAveragingChange(); });
    connect(WaveDevice, &QComboBox::activated, this, [this] { WaveDeviceChange(); });
    connect(btnRecheck, &QPushButton::clicked, this, [this] { btnRecheckClick(); });
    connect(btnVolumeControl, &QToolButton::clicked, this, [this] { btnVolumeControlClick(); });
    connect(pgcAnalyzers, &QTabWidget::currentChanged, this, [this] { pgcAnalyzersChange(); });
    for (QToolButton* b : mem)
        connect(b, &QToolButton::clicked, this, [this, b] { mem1Click(b); });

    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
    connect(OctaveBandRTA1, &QAction::triggered, this, [this] { OctaveBandRTA1Click(); });
    connect(FFTAnalysis1, &QAction::triggered, this, [this] { FFTAnalysis1Click(); });
    connect(Oscilloscope1, &QAction::triggered, this, [this] { Oscilloscope1Click(); });
    connect(Settings1, &QAction::triggered, this, [this] { Settings1Click(); });
    connect(RecheckInputDevice1, &QAction::triggered, this, [this] { btnRecheckClick(); });
    connect(InputVolumeControl1, &QAction::triggered, this, [this] { btnVolumeControlClick(); });
    connect(Help2, &QAction::triggered, this, [this] { Help2Click(); });
    connect(Introduction1, &QAction::triggered, this, [this] { Introduction1Click(); });
    connect(OpenSupportForum1, &QAction::triggered, this, [this] { OpenSupportForum1Click(); });
    connect(MoreAudioSoftware1, &QAction::triggered, this, [this] { MoreAudioSoftware1Click(); });

    AudioIn1->SetOnStart([this](QObject* sender) { AudioIn1Start(sender); });
    AudioIn1->SetOnStop([this](QObject* sender) { AudioIn1Stop(sender); });
    AudioIn1->SetOnBufferFilled(
        [this](std::uint8_t* buffer, int& size) { return AudioIn1BufferFilled(buffer, size); });
}

void TfrmMain::FormCreate()
{
    // Every menu and entry gets an access letter, unique within its menu.
    File1->setTitle("&" + LoadStr(sFile));
    Openspectratomemory1->setText(withAccessKey(LoadStr(sOpenSpectra), u'ö'));
    Exit1->setText(LoadStr(sExit));
    Settings1->setText(withAccessKey(LoadStr(sSettings), 'E'));
    InputVolumeControl1->setText(withAccessKey(LoadStr(sInputVolume), 'l'));
    Clearall1->setText(withAccessKey(LoadStr(sClearAll), 'l'));
    Tools2->setTitle("&" + LoadStr(sTools));
    Help1->setTitle("&" + LoadStr(sHelp));
    Help2->setText("&" + LoadStr(sHelp));
    Memory1->setTitle(withAccessKey(LoadStr(sMemory), 'S'));
    lblOctaveBW->setText(LoadStr(sResolution));
    lblAvgSpeed->setText(LoadStr(sAveraging));
    cboAveraging->clear();
    cboAveraging->addItems(
        {LoadStr(sAvgNone), LoadStr(sAvgFast), LoadStr(sAvgSlow), LoadStr(sAvgVerySlow)});
    cboAveraging->setCurrentIndex(0);
    lblinput->setText(LoadStr(sInput));
    SaveSpectrum1->setText(LoadStr(sExportSpectrum));
    pgcAnalyzers->setTabText(0, LoadStr(sOctaveTab));
    OctaveBandRTA1->setText(withAccessKey(LoadStr(sOctaveTab), 'O'));
    pgcAnalyzers->setTabText(1, LoadStr(sFftTab));
    FFTAnalysis1->setText(withAccessKey(LoadStr(sFftTab), 'F'));
    pgcAnalyzers->setTabText(2, LoadStr(sScopeTab));
    Oscilloscope1->setText(withAccessKey(LoadStr(sScopeTab), 's'));
    lblComment->setText(LoadStr(sComment));
    btnRecheck->setText(LoadStr(sCheckInput));
    Analysis1->setTitle(withAccessKey(LoadStr(sAnalysis), 'A'));
    for (QLabel* l : {lblOctaveBW, lblAvgSpeed, lblinput, lblComment})
        l->adjustSize();

    // The form's default size; the window may be resized from there.
    resize(sizeHint());

    memories::initSlotTables(state_.memory);
    state_.measurement.winFunc = dsp::WWelch;
    pgcAnalyzers->setCurrentIndex(0);
    pgcAnalyzersChange();
    cboAveragingChange();
    engine::buildPrefFreqList(state_.bandPlan);
    HelpFilePath = findHelpFolder(executableDir_);
    pgcAnalyzers->setStyleSheet("QTabWidget { background: rgb(192, 192, 192); }");
    btnRecheckClick();
    applyWindowSettings();
}

void TfrmMain::applyWindowSettings()
{
    loadedSettings_ = loadWindowSettings(settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct)));
    chosenInput_ = loadedSettings_.inputDevice;
    if (!chosenInput_.isEmpty() && WaveDevice->count() > 0 && !selectInputDevice(chosenInput_))
        statusBar()->showMessage(LoadStr(sDeviceMissing).arg(chosenInput_), 15000);
    cboAveraging->setCurrentIndex(loadedSettings_.averaging);
    cboAveragingChange();
    cboOctaveType->setCurrentIndex(loadedSettings_.resolution);
    if (pgcAnalyzers->currentIndex() == loadedSettings_.page)
        pgcAnalyzersChange();
    else
        pgcAnalyzers->setCurrentIndex(loadedSettings_.page);
}

WindowSettings TfrmMain::windowSettings() const
{
    WindowSettings now;
    now.inputDevice = chosenInput_;
    now.averaging = cboAveraging->currentIndex();
    now.resolution = cboOctaveType->currentIndex();
    now.page = pgcAnalyzers->currentIndex();
    now.position = pos();
    // A window never moved keeps no position: the next start opens it in the corner again.
    if (!loadedSettings_.position && now.position == QPoint(0, 0))
        now.position.reset();
    now.maximized = isMaximized();
    now.size = (now.maximized ? normalGeometry().size() : size())
                   .expandedTo(kMinimumWindow)
                   .boundedTo(kMaximumWindow);
    // A window never resized keeps no size: the next start opens it at the default again.
    if (!loadedSettings_.size && now.size == sizeHint())
        now.size.reset();
    return now;
}

void TfrmMain::restorePosition()
{
    const std::optional<QPoint> stored = loadedSettings_.position;
    if (stored && QGuiApplication::screenAt(*stored + QPoint(40, 20)))
        move(*stored);
    else
        move(0, 0);
}

void TfrmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QMainWindow::changeEvent(event);
}

void TfrmMain::FormActivate()
{
    setWindowTitle(LoadStr(sProduct) + " " + LoadStr(sVersion));
}

void TfrmMain::btnONOFFClick()
{
    if (AudioIn1->Active) {
        AudioIn1->StopAtOnce();
        return;
    }
    pgcAnalyzersChange();
    if (AudioIn1->Start(AudioIn1)) {
        mem0->setChecked(true);
        mem1Click(mem0);
        state_.memory.RTAMemRecord[0].HasData = true;
        // The last measurement can be shown, hidden and stored from the first
        // capture on, not only from the second.
        mem0->setEnabled(true);
    } else {
        // The device layer's diagnostics tell why a device is missing or unavailable.
        const capture::MMRESULT code = AudioIn1->LastError();
        const bool absent =
            code == capture::MMSYSERR_BADDEVICEID || code == capture::MMSYSERR_NODRIVER;
        ShowMessage(this, startFailureText(code, AudioIn1->ErrorMessage),
                    absent ? QString::fromStdString(capture::waveInGetDiagnostics()) : QString());
    }
}

memories::SlotTable& TfrmMain::activeSlots()
{
    switch (pgcAnalyzers->currentIndex()) {
    case 1:
        return state_.memory.FFTMemRecord;
    case 2:
        return state_.memory.ScopeMemRecord;
    default:
        return state_.memory.RTAMemRecord;
    }
}

void TfrmMain::loadMemoryButtons(const memories::SlotTable& table)
{
    for (int k = 0; k <= 8; ++k) {
        mem[k]->setEnabled(table[k].HasData);
        mem[k]->setChecked(table[k].DrawMe);
        // "L" is white on every page, whatever colour the live curve has.
        setCaptionColour(mem[k], k == 0 ? engine::clWhite : table[k].Color);
        mem[k]->setToolTip(table[k].comment);
    }
}

void TfrmMain::pgcAnalyzersChange()
{
    const int page = pgcAnalyzers->currentIndex();
    for (QWidget* w : {static_cast<QWidget*>(cboAveraging), static_cast<QWidget*>(lblAvgSpeed),
                       static_cast<QWidget*>(lblOctaveBW), static_cast<QWidget*>(cboOctaveType)})
        w->setVisible(page == 0);
    // The octave-band and the FFT page have memories; the oscilloscope has none.
    grpMemory->setVisible(page == 0 || page == 1);
    for (QWidget* w : fftTopRow_)
        w->setVisible(page == 1);
    showLevelControls(page);
    static const StringId captions[3] = {sMemoryRta, sMemoryFft, sMemoryScope};
    if (page < 0 || page > 2)
        return;
    grpMemory->setTitle(LoadStr(captions[page]));
    loadMemoryButtons(activeSlots());
    if (pages_[page].activate)
        pages_[page].activate();
}

void TfrmMain::cboOctaveTypeChange()
{
    const engine::RtaGeometry g = rtaGeometry();
    if (engine::applyOctaveType(state_.bandPlan, state_.measurement,
                                cboOctaveType->currentIndex() + 1, g)) {
        // The columns stand on the frequency axis from the start.
        const RtaSettings settings = rtaSettings();
        const auto n = static_cast<std::size_t>(state_.bandPlan.validbands);
        engine::layOutBandColumns(std::span(state_.bandPlan.OctBinBorderList).first(n),
                                  engine::rtaFrequencyAxis(settings.xAxisMin, settings.xAxisMax, g),
                                  g, state_.measurement.NewPoints[0]);
    }
    memories::SpectrumRec& last = state_.memory.RTAMemRecord[0];
    last.f = state_.bandPlan.OctBinBorderList;
    last.bands = state_.bandPlan.validbands;
    // No block has been measured with these borders yet.
    last.levels.fill(std::numeric_limits<double>::quiet_NaN());
    pbxOctaveGraph->Repaint();
}

void TfrmMain::cboAveragingChange()
{
    engine::applyAveragingItem(state_.measurement, cboAveraging->currentIndex());
}

void TfrmMain::repaintActiveView()
{
    switch (pgcAnalyzers->currentIndex()) {
    case 0:
        pbxOctGrid->Repaint();
        break;
    case 1:
        pbxFFTGrid->Repaint();
        break;
    case 2:
        pbxScope->Repaint();
        break;
    default:
        break;
    }
}

void TfrmMain::selectPage(int index)
{
    // A change of the current tab runs pgcAnalyzersChange, as a click on the tab does.
    if (pgcAnalyzers->currentIndex() != index)
        pgcAnalyzers->setCurrentIndex(index);
}

void TfrmMain::OctaveBandRTA1Click()
{
    selectPage(0);
}
void TfrmMain::FFTAnalysis1Click()
{
    selectPage(1);
}
void TfrmMain::Oscilloscope1Click()
{
    selectPage(2);
}

void TfrmMain::Exit1Click()
{
    // Asked before the capture stops, so that "cancel" leaves it running.
    if (!mayClose())
        return;
    quitConfirmed_ = true;
    if (AudioIn1->Active)
        AudioIn1->StopAtOnce();
    close();
}

void TfrmMain::Settings1Click()
{
    AudioIn1->StopGracefully();
    if (!frmSettings)
        return;
    frmSettings->show();
    frmSettings->raise();
    frmSettings->activateWindow();
}

void TfrmMain::Help2Click()
{
    showHelpPage(helpTopicPage(1));
}

void TfrmMain::Introduction1Click()
{
    showHelpPage(helpTopicPage(10));
}

void TfrmMain::OpenSupportForum1Click()
{
    showHelpPage(LoadStr(sSupportPage));
}

void TfrmMain::MoreAudioSoftware1Click()
{
    showHelpPage(MoreAudioSoftware1->toolTip());
}

void TfrmMain::showHelpPage(const QString& page)
{
    const QPointer<TfrmMain> self(this);
    const QString path = QDir(HelpFilePath).filePath(page);
    const bool found = openHelpPage(HelpFilePath, page, [self, path] {
        if (self)
            ShowMessage(self, LoadStr(sNoBrowser).arg(QDir::toNativeSeparators(path)));
    });
    if (!found)
        ShowMessage(this, LoadStr(sHelpMissing).arg(executableDir_ + "/help"));
}

void TfrmMain::btnVolumeControlClick()
{
    if (!startRecordingMixer())
        ShowMessage(this, LoadStr(sNoMixer));
}

void TfrmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        btnONOFFClick();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // A drop-down list would open on Space; it opens with Alt+Down as well, and Space is START.
    if (event->type() == QEvent::KeyPress && qobject_cast<QComboBox*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            btnONOFFClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!quitConfirmed_ && !mayClose()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfrmMain::FormClose()
{
    // Only what changed is written, so a store that cannot be written troubles nobody who
    // changed nothing, and is reported once.
    const settings::StoreKey key = settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct));
    const QString failure = savesWindowSettings_
                                ? saveWindowSettings(key, loadedSettings_, windowSettings())
                                : QString();
    if (!failure.isEmpty() && settings::isNewSaveFailure(failure))
        ShowMessage(this, settings::saveFailureMessage(LoadStr(sSettingsSaveFailed), key.fileName,
                                                       failure));
    frmGenerator->close();
    AudioIn1->StopAtOnce();
}

} // namespace app
