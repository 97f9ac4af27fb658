// The main window's controls and menus, placed as the old fixed-size form had
// them at the default size (pixels, no layouts; form_layout.h moves them when
// the window's size changes). Texts set here are the form's English defaults;
// FormCreate puts the string table's texts on them.

#include "form_widgets.h"
#include "frm_main.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace app {
namespace {

// A toggle button of the memory group: stays down until clicked again.
QToolButton* speedButton(QWidget* parent, const QString& caption, int left, int width)
{
    auto* b = place(new QToolButton(parent), left, 15, width, 23);
    b->setText(caption);
    b->setCheckable(true);
    b->setAutoRaise(false);
    return b;
}

} // namespace

void TfrmMain::createControls()
{
    auto* client = new FormArea(kDefaultClient, this);
    client->setMinimumSize(kMinimumClient);
    client->resize(kDefaultClient);
    setCentralWidget(client);

    shpOnOFF = place(new display::Shape(client, display::ShapeType::RoundRect), 8, 10, 66, 33);
    shpOnOFF->setBrushColor(engine::RGB(255, 0, 0));
    btnONOFF = place(new QPushButton("START", client), 13, 14, 56, 25);
    // The button sits on the indicator, whose colour swallows the style's faint focus frame.
    btnONOFF->setStyleSheet("QPushButton:focus { border: 2px solid #30a0ff; border-radius: 3px;"
                            " background: #f4f4f4; }");
    // The generator's toggle; the controls right of it moved over to make room.
    btnGenerator = place(new QToolButton(client), 80, 14, 26, 25);
    btnGenerator->setCheckable(true);
    btnGenerator->setObjectName("btnGenerator");
    btnGenerator->setStyleSheet(
        "QToolButton:focus { border: 2px solid #30a0ff; border-radius: 2px; }");

    lblOctaveBW = label(client, "Octave BW", 114, 3);
    cboOctaveType = place(new QComboBox(client), 114, 18, 91, 21);
    cboOctaveType->addItems({"1 Octave", "1/3 Octave", "1/6 Octave", "1/12 Octave"});
    cboOctaveType->setCurrentIndex(1);

    lblAvgSpeed = label(client, "Averaging", 214, 3);
    cboAveraging = place(new QComboBox(client), 214, 18, 80, 21);
    cboAveraging->addItems({"No Averaging", "Fast", "Slow", "Very Slow"});
    cboAveraging->setCurrentIndex(0);

    grpMemory = place(new QGroupBox("Memory", client), 308, 4, 274, 45);
    mem0 = speedButton(grpMemory, "L", 6, 23);
    btnStore = speedButton(grpMemory, "Store", 31, 42);
    mem[0] = mem0;
    for (int k = 1; k <= 8; ++k)
        mem[k] = speedButton(grpMemory, QString::number(k), 75 + 24 * (k - 1), 23);
    for (int k = 0; k <= 8; ++k) {
        mem[k]->setObjectName(QString("mem%1").arg(k));
        mem[k]->setEnabled(false);
    }
    mem0->setChecked(true);
    btnStore->setObjectName("btnStore");
    btnStore->setStyleSheet("QToolButton:focus { border: 2px solid #30a0ff; border-radius: 2px; }");
    // The slot buttons write their digits in the colour of their curve
    // (white at start), so they get a dark face on which every colour reads;
    // the keyboard's focus shows as a bright frame on it.
    for (QToolButton* b : mem)
        b->setStyleSheet(
            "QToolButton { background: #505050; border: 1px solid #2a2a2a; border-radius: 2px; }"
            "QToolButton:checked { background: #1c1c1c; border-color: #a0a0a0; }"
            "QToolButton:disabled { background: #9a9a9a; border-color: #b0b0b0; }"
            "QToolButton:focus { border: 2px solid #30a0ff; }");

    lblinput = label(client, "Input", 588, 3);
    WaveDevice = place(new QComboBox(client), 588, 18, 132, 21);
    WaveDevice->setToolTip("Output Device (Sound Card)  Selector");
    btnRecheck = place(new QPushButton("Recheck", client), 588, 18, 132, 21);
    btnRecheck->hide();
    btnVolumeControl = place(new QToolButton(client), 721, 18, 26, 21);
    btnVolumeControl->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    btnVolumeControl->setStyleSheet(btnStore->styleSheet());

    pgcAnalyzers = place(new QTabWidget(client), 0, 49, 747, 495 + kReadoutHeight);
    createPages();

    createLevelControls(client);
    lblComment = label(client, "Comment", 8, 582 + kReadoutHeight);
    txtComment = place(new QLineEdit(client), 78, 577 + kReadoutHeight, 665, 21);
    client->onResize = [this] { layOutForm(); };

    lblStatus = new display::TextLine(this);
    lblStatus->setObjectName("lblStatus");
    statusBar()->addWidget(lblStatus, 1);
    statusBar()->setSizeGripEnabled(true);
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(250);
    connect(statusTimer_, &QTimer::timeout, this, [this] { updateStatusLine(); });

    // Space belongs to START/STOP, not to opening a list.
    for (QComboBox* list : findChildren<QComboBox*>())
        list->installEventFilter(this);
}

void TfrmMain::createPages()
{
    auto* octave = new FormArea(kDefaultPage);
    auto* fft = new FormArea(kDefaultPage);
    auto* scope = new FormArea(kDefaultPage);
    tabOctave = octave;
    tabFFT = fft;
    tabScope = scope;
    pgcAnalyzers->addTab(tabOctave, "Octave Band RTA");
    pgcAnalyzers->addTab(tabFFT, "FFT Analysis");
    // The oscilloscope's control groups need more height than the smallest
    // window's page has: there the page scrolls.
    auto* scopeScroll = new QScrollArea;
    scopeScroll->setFrameShape(QFrame::NoFrame);
    scopeScroll->setWidgetResizable(true);
    scopeScroll->setWidget(tabScope);
    tabScope->setMinimumSize(1, kScopePageMinimumHeight);
    pgcAnalyzers->addTab(scopeScroll, "Oscilloscope");
    // A page shows its own face colour; the page control's brush only shows behind the tabs.
    for (QWidget* page : {tabOctave, tabFFT, tabScope})
        page->setAutoFillBackground(true);
    octave->onResize = [this] { layOutPage(0); };
    fft->onResize = [this] { layOutPage(1); };
    scope->onResize = [this] { layOutPage(2); };

    shpGraphBackground = place(new display::Shape(tabOctave), 0, 0, 739, 467);
    shpGraphBackground->setPenColor(engine::clBlack);
    pbxOctGrid = place(new display::PaintBox(tabOctave), 0, 0, 739, 465);
    // The graph covers the plot area exactly: the level axis from its
    // maximum (row 40 of the grid) to its minimum (row 425) can be drawn.
    pbxOctaveGraph = place(new display::PaintBox(tabOctave, pbxOctGrid), 40, 40, 659, 386);
    const PageLayout page = pageLayout(kDefaultPage);
    lblRtaReadout = new QLabel(tabOctave);
    lblRtaReadout->setGeometry(page.readout);

    pbxFFTGrid = place(new display::PaintBox(tabFFT), 0, 0, 739, 467);
    // The old form's hidden cursor label is the page's readout line.
    lblCursor = label(tabFFT, "", 48, 44);
    lblCursor->setGeometry(page.readout);
    // Its column 0 (0 Hz) on the grid's left edge, so that the curve's
    // frequencies fall on the grid's lines.
    pbxFFTGraph = place(new display::PaintBox(tabFFT, pbxFFTGrid), 40, 40, 659, 387);

    Shape1 = place(new display::Shape(tabScope), 68, 3, 417, 418);
    Shape1->setBrushColor(engine::clBtnFace);
    pbxScope = place(new display::PaintBox(tabScope), 76, 12, 401, 401);
    pbxScope->setEraseColor(engine::clBlack);
    lblScopeReadout = new QLabel(tabScope);
    lblScopeReadout->setGeometry(page.readout);

    // The grids' off-screen copies start at the sizes the form gave them.
    imgPhantomGrid.setSize(739, 192);
    imgPhantomFFTGrid.setSize(739, 466);
    imgPhantomScopeGrid.setSize(401, 401);
}

void TfrmMain::createMenus()
{
    QMenuBar* bar = menuBar();
    File1 = bar->addMenu("&File");
    Openspectratomemory1 = File1->addAction("&Open spectra");
    Saveallstoredspectra1 = File1->addAction("Save &all stored spectra");
    SaveSpectrum1 = File1->addAction("&Export last measured Spectrum");
    QAction* fileSeparator = File1->addSeparator();
    Exit1 = File1->addAction("E&xit");
    for (QAction* hidden :
         {Openspectratomemory1, Saveallstoredspectra1, SaveSpectrum1, fileSeparator})
        hidden->setVisible(false);

    Memory1 = bar->addMenu("&Memory");
    Clearall1 = Memory1->addAction("&Clear all");
    Memory1->addSeparator()->setVisible(false);
    Maths1 = Memory1->addAction("&Maths Operations");
    Maths1->setVisible(false);

    Analysis1 = bar->addMenu("&Analysis");
    OctaveBandRTA1 = Analysis1->addAction("Octave Band RTA");
    OctaveBandRTA1->setShortcut(QKeySequence("Ctrl+R"));
    FFTAnalysis1 = Analysis1->addAction("FFT Analysis");
    FFTAnalysis1->setShortcut(QKeySequence("Ctrl+F"));
    Oscilloscope1 = Analysis1->addAction("Oscilloscope");
    Oscilloscope1->setShortcut(QKeySequence("Ctrl+O"));

    Tools2 = bar->addMenu("&Tools");
    Settings1 = Tools2->addAction("Settings");
    InputVolumeControl1 = Tools2->addAction("Input Volume Control");
    RecheckInputDevice1 = Tools2->addAction("&Refresh Input Device List");
    Generator1 = Tools2->addAction("Generator ...");

    Help1 = bar->addMenu("&Help");
    Help2 = Help1->addAction("&Help");
    Help2->setShortcut(QKeySequence::HelpContents);
    Introduction1 = Help1->addAction("&Introduction");
    Help1->addSeparator();
    OpenSupportForum1 = Help1->addAction("Open Support &Forum");
    MoreAudioSoftware1 = Help1->addAction("&More Audio Software");
    MoreAudioSoftware1->setToolTip("software.html");
}

} // namespace app
