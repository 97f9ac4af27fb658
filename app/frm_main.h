#pragma once
// The main window: START/STOP, the input-device list, the octave-band
// controls, the memory buttons, the comment and the three analyzer pages, with
// the handlers that tie them to the audio input and the measurement.
// UI thread only.

#include "app_state.h"
#include "rta_settings.h"
#include "window_settings.h"

#include "capture/audio_in.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "display/shape.h"
#include "engine/rta_block.h"
#include "engine/rta_geometry.h"
#include "engine/scope_trace.h"
#include "memories/memory_file.h"
#include "settings/colour_chooser.h"
#include "settings/settings_dialog.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;

namespace app {

class TfrmGenerator;

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // Creates the controls and runs FormCreate. `executableDir` locates the help.
    TfrmMain(AppState& state, const QString& executableDir);
    ~TfrmMain() override;

    // Called after every block the handler has dealt with (for unattended runs).
    void setBlockObserver(std::function<void()> observer) { blockObserver_ = std::move(observer); }

    // The settings dialog, created after the window (start-up step 3); the
    // window shows it, and its FFT group follows the capture. Not owned.
    void setSettingsDialog(settings::TfrmSettings* dialog) { frmSettings = dialog; }
    settings::TfrmSettings* frmSettings = nullptr;

    // --- controls (names as in the old form) ---
    display::Shape* shpOnOFF = nullptr;
    QPushButton* btnONOFF = nullptr;
    QToolButton* btnGenerator = nullptr; // down while the generator window is open
    QLabel* lblOctaveBW = nullptr;
    QComboBox* cboOctaveType = nullptr;
    QLabel* lblAvgSpeed = nullptr;
    QComboBox* cboAveraging = nullptr;
    QGroupBox* grpMemory = nullptr;
    QToolButton* mem0 = nullptr;
    QToolButton* btnStore = nullptr;
    std::array<QToolButton*, 9> mem{}; // mem[0] = mem0, mem[k] = mem1 .. mem8
    QLabel* lblinput = nullptr;
    QComboBox* WaveDevice = nullptr;
    QPushButton* btnRecheck = nullptr;
    QToolButton* btnVolumeControl = nullptr;
    QTabWidget* pgcAnalyzers = nullptr;
    QWidget* tabOctave = nullptr;
    QWidget* tabFFT = nullptr;
    QWidget* tabScope = nullptr;
    QLabel* lblComment = nullptr;
    QLineEdit* txtComment = nullptr;
    // Ours: the status line's text (status_line.h), under the form.
    QLabel* lblStatus = nullptr;

    display::Shape* shpGraphBackground = nullptr;
    display::PaintBox* pbxOctGrid = nullptr;
    display::PaintBox* pbxOctaveGraph = nullptr;
    display::PaintBox* pbxFFTGrid = nullptr;
    QLabel* lblCursor = nullptr;
    display::PaintBox* pbxFFTGraph = nullptr;
    display::Shape* Shape1 = nullptr;
    display::PaintBox* pbxScope = nullptr;
    display::OffscreenImage imgPhantomGrid;
    display::OffscreenImage imgPhantomFFTGrid;
    display::OffscreenImage imgPhantomScopeGrid;

    QMenu* File1 = nullptr;
    QAction* Openspectratomemory1 = nullptr;
    QAction* Saveallstoredspectra1 = nullptr;
    QAction* SaveSpectrum1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Memory1 = nullptr;
    QAction* Clearall1 = nullptr;
    QAction* Maths1 = nullptr;
    QMenu* Analysis1 = nullptr;
    QAction* OctaveBandRTA1 = nullptr;
    QAction* FFTAnalysis1 = nullptr;
    QAction* Oscilloscope1 = nullptr;
    QMenu* Tools2 = nullptr;
    QAction* Settings1 = nullptr;
    QAction* InputVolumeControl1 = nullptr;
    QAction* RecheckInputDevice1 = nullptr;
    QAction* Generator1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* Introduction1 = nullptr;
    QAction* OpenSupportForum1 = nullptr;
    QAction* MoreAudioSoftware1 = nullptr;

    capture::TAudioIn* AudioIn1 = nullptr;
    // The generator window, owned as a child; closing the main window closes it.
    TfrmGenerator* frmGenerator = nullptr;
    QString HelpFilePath;

    // --- handlers ---
    void FormCreate();
    void FormActivate();
    void btnONOFFClick();
    void pgcAnalyzersChange();
    void cboOctaveTypeChange();
    void cboAveragingChange();
    void btnRecheckClick();
    void WaveDeviceChange();
    void mem1Click(QToolButton* Sender);
    void Exit1Click();
    void OctaveBandRTA1Click();
    void FFTAnalysis1Click();
    void Oscilloscope1Click();
    void Settings1Click();
    void Help2Click();
    void Introduction1Click();
    void OpenSupportForum1Click();
    void MoreAudioSoftware1Click();
    void btnVolumeControlClick();

    // Ours: chooses the input whose list entry reads `name` (the system default for an empty
    // name) and makes the component use it; false, choosing the system default, when no entry
    // reads so.
    bool selectInputDevice(const QString& name);
    // Ours: the status line from the component's counters now.
    void updateStatusLine();
    // Ours: what the window keeps between runs, as it is now.
    WindowSettings windowSettings() const;
    // Ours: whether closing the window keeps its settings for the next run (not for an
    // unattended run, which is no user's session).
    void setSavesWindowSettings(bool saves) { savesWindowSettings_ = saves; }
    // Ours: puts the window where it was at the end of the last run, when that is on a screen,
    // else at the screen's top-left corner.
    void restorePosition();

    bool AudioIn1BufferFilled(std::uint8_t* Buffer, int& Size);
    void AudioIn1Start(QObject* Sender);
    void AudioIn1Stop(QObject* Sender);

    AppState& state() { return state_; }

    // What each page adds to the window: the page's own step of
    // pgcAnalyzersChange (run after the memory buttons are loaded) and its
    // branch of the block handler (16-bit samples, Size div 2 of them).
    struct PageHooks {
        std::function<void()> activate;
        std::function<void(std::span<const std::int16_t>)> block;
    };

    // --- octave-band page (page_rta.cpp) ---
    void createRtaPage();
    // Paint handler of pbxOctGrid: the grid into imgPhantomGrid and onto the
    // box, then the stored curves of the shown RTA slots onto pbxOctaveGraph.
    void pbxOctGridPaint();

private:
    // The page's branch of the block handler: measure, draw the staircase,
    // keep the block in slot 0.
    void rtaBlock(std::span<const std::int16_t> samples);
    // The settings dialog's axis fields and grid colours as they are now (the
    // dialog's defaults while there is no dialog).
    RtaSettings rtaSettings() const;
    // Where pbxOctaveGraph's (0, 0) lies on pbxOctGrid.
    QPoint rtaGraphOrigin() const;
    // The sizes and places of both boxes, for the curve's maths.
    engine::RtaGeometry rtaGeometry() const;
    static engine::RtaAxes rtaAxes(const RtaSettings& settings);
    // A stored slot's curve on pbxOctaveGraph, laid out from its band
    // borders and levels on the axes in force.
    void drawStoredRtaCurve(const memories::SpectrumRec& slot);
    // Points of the stored curve being drawn (64 KiB, reused).
    std::unique_ptr<engine::CoordArray> storedCurvePoints_ = std::make_unique<engine::CoordArray>();

    // The arithmetic-failure message is shown at most once per activation of
    // the page (every START activates it), never once per block.
    bool rtaErrorShown_ = false;
    // What lies under the live curve: the grid with the shown memories, taken
    // at every grid paint. Each block's columns are erased from it, so a
    // memory shown during a capture stays beside the live curve.
    display::OffscreenImage imgGraphBackground;

public:
    // --- FFT page (page_fft.cpp) ---
    void createFftPage();
    // The tab's set-up (its step of pgcAnalyzersChange): Columnwidth and the
    // bins' x positions for pbxFFTGraph's width and AudioIn1's frame rate,
    // then a repaint of the graph, which repaints the grid.
    void setUpFftPage();
    // pbxFFTGrid's paint handler: the grid, its snapshot imgPhantomFFTGrid
    // (pbxFFTGraph's size, no curve), then the stored curves of the FFT slots
    // that hold data and are to be drawn.
    void pbxFFTGridPaint();
    // The FFT branch of AudioIn1BufferFilled: the block's spectrum as a black
    // curve over the grid restored from the snapshot, and slot 0 of
    // FFTMemRecord.
    void fftBufferFilled(std::span<const std::int16_t> samples);
    // Where pbxFFTGraph's (0, 0) lies on pbxFFTGrid.
    QPoint fftGraphOrigin() const;

    // --- oscilloscope page (page_scope.cpp) ---
    void createScopePage();

    // The group " Scale && Position " beside pbxScope: time base (tbTDiv,
    // positions 1 .. 10), zoom (tbZoom, 0 .. 15, minimum at the top) and the
    // two offset sliders that are never shown.
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label22 = nullptr;
    QSlider* tbTDiv = nullptr;
    QLabel* lbltDiv = nullptr;
    QSlider* tbZoom = nullptr;
    QLabel* lblZoom = nullptr;
    QPushButton* btnOscDefault = nullptr;
    QSlider* tbZoomPosition = nullptr;
    QLabel* Label24 = nullptr;
    QSlider* tbTimePosition = nullptr;
    QLabel* Label23 = nullptr;

    // Paints the empty grid into imgPhantomScopeGrid and copies it onto pbxScope.
    void PaintAxesScope();
    void pbxScopePaint();
    // Slider change handlers: they run whenever a position really changes,
    // by the user or by the program.
    void tbTDivChange();
    void tbZoomChange();
    void btnOscDefaultClick();

private:
    void scopeBlock(std::span<const std::int16_t> samples);
    void scopeActivate();
    // The trace of the last block (about 64 KiB), reused for every block.
    std::unique_ptr<engine::ScopeTrace> scopeTrace_;

public:
    // --- memories (memory_commands.cpp) ---
    // The memory group's store mode, the popup of the slot buttons, the
    // memory menu and the File menu's spectrum files and export.
    void createMemoryCommands();
    void btnStoreClick();
    void mem1MouseEnter(QToolButton* Sender);
    void ChangeColor1Click();
    void Clearall1Click();
    void StoreLastmeasurement1Click();
    void ChangestoredComment1Click();
    void SavetoDisk1Click();
    void OpenfromDisk1Click();
    void Clear1Click();
    void Openspectratomemory1Click();
    void Saveallstoredspectra1Click();
    void SaveSpectrum1Click();
    // The export of the last measurement, as the menu writes it, to `chosen`
    // (".txt" appended unless it ends so). Returns an error text or empty.
    QString exportLastSpectrum(const QString& chosen);

    QMenu* popMemoryButtons = nullptr;
    QAction* StoreLastmeasurement1 = nullptr;
    QAction* ChangeColor1 = nullptr;
    QAction* ChangestoredComment1 = nullptr;
    QAction* SavetoDisk1 = nullptr;
    QAction* OpenfromDisk1 = nullptr;
    QAction* Clear1 = nullptr;
    // The slot button the mouse last entered (mem1 .. mem8): the popup acts on its slot.
    QToolButton* CurrentButton = nullptr;

    // What asks the user for a colour, a file name or a comment; tests put
    // their own answers in. A file chooser returns an empty name on cancel.
    struct MemoryDialogs {
        settings::ColourChooser colour;
        std::function<QString(const QString& title, const QString& filter, bool save)> file;
        std::function<std::optional<QString>(const QString& current)> comment;
    };
    MemoryDialogs memoryDialogs;

private:
    // The RTA slot of a slot button (the digit ending its name).
    memories::SpectrumRec& slotOf(const QToolButton* button);
    // Enables mem[k] exactly for the active page's slots that hold data.
    void enableStoredButtons();
    void showStoredSlot(int slot);
    // Asks for a spectrum file and reads it; false (after telling the user
    // why, where there is a why) when nothing was read.
    bool openSpectra(const QString& title, std::vector<memories::LoadedMemory>& loaded);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Space starts and stops wherever the focused control has no use for it.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createPages();
    void createMenus();
    // The generator window, its menu command and its toggle beside START.
    void createGenerator();
    void connectHandlers();
    void selectPage(int index);
    void loadMemoryButtons(const memories::SlotTable& table);
    memories::SlotTable& activeSlots();
    void repaintActiveView();
    void FormClose();
    void applyWindowSettings();
    void inputChanged();
    // Opens a page of the help folder, or says why it cannot.
    void showHelpPage(const QString& page);

    AppState& state_;
    QString executableDir_;
    std::array<PageHooks, 3> pages_;
    std::function<void()> blockObserver_;
    // The window's settings as loaded at start-up and the input the user chose since.
    WindowSettings loadedSettings_;
    QString chosenInput_;
    bool savesWindowSettings_ = true;
    capture::WAVEINCAPS inputCaps_{};
    QTimer* statusTimer_ = nullptr;
};

} // namespace app
