// The main window's life: creation, activation, START/STOP, page changes, the
// menu commands and closing.

#include "frm_main.h"

#include "calibrated_levels.h"

#include "desktop.h"
#include "frm_generator.h"
#include "message_box.h"
#include "string_table.h"

#include "dsp/window.h"
#include "engine/band_plan.h"
#include "engine/rta_block.h"
#include "engine/rta_curve.h"
#include "settings/control_store.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
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
    AudioIn1->SetWaveDevice(0);

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
    File1->setTitle("&" + LoadStr(sFile));
    Openspectratomemory1->setText(LoadStr(sOpenSpectra));
    Exit1->setText(LoadStr(sExit));
    Settings1->setText(LoadStr(sSettings));
    InputVolumeControl1->setText(LoadStr(sInputVolume));
    Clearall1->setText(LoadStr(sClearAll));
    Tools2->setTitle("&" + LoadStr(sTools));
    Help1->setTitle("&" + LoadStr(sHelp));
    Help2->setText("&" + LoadStr(sHelp));
    Memory1->setTitle(LoadStr(sMemory));
    lblOctaveBW->setText(LoadStr(sResolution));
    lblAvgSpeed->setText(LoadStr(sAveraging));
    cboAveraging->clear();
    cboAveraging->addItems(
        {LoadStr(sAvgNone), LoadStr(sAvgFast), LoadStr(sAvgSlow), LoadStr(sAvgVerySlow)});
    cboAveraging->setCurrentIndex(0);
    lblinput->setText(LoadStr(sInput));
    SaveSpectrum1->setText(LoadStr(sExportSpectrum));
    pgcAnalyzers->setTabText(0, LoadStr(sOctaveTab));
    OctaveBandRTA1->setText(LoadStr(sOctaveTab));
    pgcAnalyzers->setTabText(1, LoadStr(sFftTab));
    FFTAnalysis1->setText(LoadStr(sFftTab));
    pgcAnalyzers->setTabText(2, LoadStr(sScopeTab));
    Oscilloscope1->setText(LoadStr(sScopeTab));
    lblComment->setText(LoadStr(sComment));
    btnRecheck->setText(LoadStr(sCheckInput));
    Analysis1->setTitle(LoadStr(sAnalysis));
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
        ShowMessage(this, AudioIn1->ErrorMessage);
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
        setCaptionColour(mem[k], table[k].Color);
    }
}

void TfrmMain::pgcAnalyzersChange()
{
    const int page = pgcAnalyzers->currentIndex();
    for (QWidget* w : {static_cast<QWidget*>(cboAveraging), static_cast<QWidget*>(lblAvgSpeed),
                       static_cast<QWidget*>(lblOctaveBW), static_cast<QWidget*>(cboOctaveType)})
        w->setVisible(page == 0);
    grpMemory->setVisible(page == 0);
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
    if (!openHelpTopic(HelpFilePath, 1))
        ShowMessage(this, LoadStr(sHelpMissing).arg(executableDir_ + "/help"));
}

void TfrmMain::Introduction1Click()
{
    if (!openHelpTopic(HelpFilePath, 10))
        ShowMessage(this, LoadStr(sHelpMissing).arg(executableDir_ + "/help"));
}

void TfrmMain::OpenSupportForum1Click()
{
    openHelpPage(HelpFilePath, LoadStr(sSupportPage));
}

void TfrmMain::MoreAudioSoftware1Click()
{
    openHelpPage(HelpFilePath, MoreAudioSoftware1->toolTip());
}

void TfrmMain::btnVolumeControlClick()
{
    startRecordingMixer();
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
    settings::Registry reg(settings::storePath());
    reg.openKey(settings::settingsKeyPath(LoadStr(sMaker), LoadStr(sProduct)), true);
    if (!reg.closeKey())
        ShowMessage(this, reg.errorString());
    frmGenerator->close();
    AudioIn1->StopAtOnce();
}

} // namespace app
