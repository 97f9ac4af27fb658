#pragma once
// The main window: START/STOP, the input-device list, the octave-band
// controls, the memory buttons, the comment and the three analyzer pages, with
// the handlers that tie them to the audio input and the measurement.
// UI thread only.

#include "analyzer_settings.h"
#include "app_state.h"
#include "form_layout.h"
#include "rta_settings.h"
#include "window_settings.h"

#include "capture/audio_in.h"
#include "display/fft_grid.h"
#include "display/legend.h"
#include "display/level_meter_strip.h"
#include "display/offscreen_image.h"
#include "display/paint_box.h"
#include "display/shape.h"
#include "display/text_line.h"
#include "display/trace_eraser.h"
#include "engine/calibration_measurement.h"
#include "engine/level_basis.h"
#include "engine/rta_block.h"
#include "engine/rta_geometry.h"
#include "engine/scope_trace.h"
#include "memories/csv_export.h"
#include "memories/memory_file.h"
#include "settings/settings_dialog.h"

#include <QElapsedTimer>
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
class QDoubleSpinBox;
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

class TfrmCalibration;
struct CalibratedLevels;
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
    void setSettingsDialog(settings::TfrmSettings* dialog)
    {
        frmSettings = dialog;
        attachLevelSettings();
    }
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
    display::TextLine* lblStatus = nullptr;

    // Ours: the readout lines at the bottom of the RTA and oscilloscope
    // pages (the FFT page's is lblCursor).
    QLabel* lblRtaReadout = nullptr;
    QLabel* lblScopeReadout = nullptr;

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
    // A stored slot's curve laid out from its band borders and levels on the
    // axes in force, its levels taken into the reference `shown`, and drawn
    // on pbxOctaveGraph in `colour`; false (nothing laid out or drawn) when
    // its levels cannot be converted.
    bool layOutStoredCurve(const memories::SpectrumRec& slot, const engine::LevelBasis& shown,
                           engine::CoordArray& points);
    void drawStoredRtaCurve(const memories::SpectrumRec& slot, engine::TColor colour,
                            const engine::LevelBasis& shown);
    // The legend beside the shown memories, placed where it hides the least.
    void updateRtaLegend();
    // What the live RTA curve is measured in now; `raw` is
    // engine::rtaRawMinusDbfs of the analysis window, where known.
    engine::LevelBasis rtaShownBasis() const;
    engine::LevelBasis rtaShownBasis(double raw) const;
    display::Legend* rtaLegend_ = nullptr;

public:
    // The slot's rows (l) and points (coordinates) as its curve is drawn now.
    void storeDrawnPoints(memories::SpectrumRec& slot);
    // White on a dark graph background, black on a light one.
    engine::TColor liveCurveColour() const;
    display::Legend* rtaLegend() const { return rtaLegend_; }

private:
    // Points of the stored curve being drawn (64 KiB, reused).
    std::unique_ptr<engine::CoordArray> storedCurvePoints_ = std::make_unique<engine::CoordArray>();

    // The arithmetic-failure message is shown at most once per activation of
    // the page (every START activates it), never once per block.
    bool rtaErrorShown_ = false;
    // What lies under the live curve: the grid with the shown memories, taken
    // at every grid paint. Each block's columns are erased from it, so a
    // memory shown during a capture stays beside the live curve.
    display::OffscreenImage imgGraphBackground;
    // What the live curve drew on pbxOctaveGraph since the last grid paint.
    display::TraceEraser rtaTrace_;

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

    // The page's own controls: averaging, hold and reset in the top row
    // (shown with the page), the axes and the length over the grid.
    QLabel* lblFftAveraging = nullptr;
    QComboBox* cboFftAveraging = nullptr;
    QToolButton* btnFftHold = nullptr;
    QPushButton* btnFftReset = nullptr;
    QLabel* lblFftAxis = nullptr;
    QComboBox* cboFftAxis = nullptr;
    QLabel* lblFftFrequency = nullptr;
    QLineEdit* txtFftFrom = nullptr;
    QLineEdit* txtFftTo = nullptr;
    QLabel* lblFftLevel = nullptr;
    QLineEdit* txtFftTop = nullptr;
    QLineEdit* txtFftRange = nullptr;
    QLabel* lblFftLength = nullptr;
    QComboBox* cboFftLength = nullptr;
    // Puts settings on the controls and into the measurement, without
    // storing them (start-up, the command line).
    void applyFftPageSettings(const FftPageSettings& s);
    const FftPageSettings& fftPageSettings() const { return fftSettings_; }
    const engine::FftAnalysis& fftAnalysis() const { return *fftAnalysis_; }
    display::Legend* fftLegend() const { return fftLegend_; }
    // "Reset": the average and the hold begin anew.
    void fftReset();

private:
    // A control changed by the user: read all, apply, store.
    void fftControlsChanged();
    // The axes in force for the grid; nothing while they give none.
    std::optional<display::FftGridAxes> fftGridAxes() const;
    // The calibration's per-bin power factors for a transform of `length`
    // points (empty: none), valid until the next call; tables of longer
    // transforms are laid out again only when the one-block table changes.
    std::span<const float> fftFactors(int length, int frameRate);
    std::vector<float> fftLongFactors_;
    std::vector<float> fftFactorsSource_;
    int fftFactorsLength_ = 0;
    int fftFactorsRate_ = 0;
    std::vector<QWidget*> fftTopRow_;
    std::unique_ptr<engine::FftAnalysis> fftAnalysis_;
    // The stored curves (fft_memories.cpp): drawn from their bins on the axes
    // in force, each of its own length, in the reference shown, or named in
    // the legend where they cannot be converted.
    void drawStoredFftCurve(const memories::SpectrumRec& slot, engine::TColor colour,
                            const display::FftGridAxes& axes, engine::CoordArray& points,
                            int& count);
    void drawStoredFftCurves(const display::FftGridAxes& axes);
    void updateFftLegend();
    // What the live FFT curve is measured in now.
    engine::LevelBasis fftShownBasis() const;
    // The graph rows of the grid's 0 line and of a bin without power.
    int fftTopRow() const;
    std::int32_t fftFloorRow(int topRow) const;
    display::Legend* fftLegend_ = nullptr;
    // What lies under the live curve: the grid with the shown memories.
    display::OffscreenImage imgFftGraphBackground;
    // The stored curves' bins laid out on the axes (128 KiB) and their points.
    std::unique_ptr<engine::FftBinLayout> fftMemoryLayout_ =
        std::make_unique<engine::FftBinLayout>();
    std::unique_ptr<std::array<engine::CoordArray, 9>> fftMemoryPoints_ =
        std::make_unique<std::array<engine::CoordArray, 9>>();
    std::array<int, 9> fftMemoryCounts_{};
    // The description slot 0 takes with every block, made when the level
    // settings change.
    QString fftDescription_;
    std::unique_ptr<engine::CoordArray> fftHoldPoints_ = std::make_unique<engine::CoordArray>();
    // Every bin's column on the axes in force (128 KiB), laid out anew only
    // when they change.
    std::unique_ptr<engine::FftBinLayout> fftLayout_ = std::make_unique<engine::FftBinLayout>();
    FftPageSettings fftSettings_;
    // What the live curve drew on pbxFFTGraph since the last grid paint.
    display::TraceEraser fftTrace_;

public:
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

    // The trigger group below it, the trace style, and the scale texts
    // around the screen (page_scope_trigger.cpp).
    display::PaintBox* pbxScopeAxes = nullptr;
    QGroupBox* grpTrigger = nullptr;
    QComboBox* cboTriggerMode = nullptr;
    QComboBox* cboTriggerEdge = nullptr;
    QLabel* lblTriggerLevel = nullptr;
    QDoubleSpinBox* spnTriggerLevel = nullptr;
    QLabel* lblTriggerPosition = nullptr;
    QDoubleSpinBox* spnTriggerPosition = nullptr;
    QPushButton* btnTriggerArm = nullptr; // arms "Einzeln" again
    QLabel* lblScopeStyle = nullptr;
    QComboBox* cboScopeStyle = nullptr;
    // Puts settings on the controls and into the scope, without storing them.
    void applyScopePageSettings(const ScopePageSettings& s);
    const ScopePageSettings& scopePageSettings() const { return scopeSettings_; }
    void pbxScopeAxesPaint();

private:
    void createScopeTrigger();
    void scopeControlsChanged();
    // The trigger's level and position marks, into imgPhantomScopeGrid.
    void paintScopeTriggerMarks();
    ScopePageSettings scopeSettings_;
    engine::TriggerState triggerState_;
    bool applyingScopeSettings_ = false;

    void scopeBlock(std::span<const std::int16_t> samples);
    void scopeActivate();
    // The trace of the last block (about 64 KiB), reused for every block.
    std::unique_ptr<engine::ScopeTrace> scopeTrace_;
    // What the trace drew on pbxScope since the grid was last copied onto it.
    display::TraceEraser scopeErase_;

public:
    // --- memories (memory_commands.cpp, memory_files.cpp, memory_maths.cpp) ---
    // The memory group's store mode, the popup of the slot buttons, the
    // memory menu and the File menu's spectrum files and exports.
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
    // "Save all stored spectra" of the page's memories (the active one's
    // without an argument): true once the stored slots are in a file.
    bool saveAllStoredSpectra();
    bool saveAllStoredSpectra(memories::MemoryKind kind);
    void SaveSpectrum1Click();
    void SaveCsv1Click();
    void Maths1Click();
    // The export of the last measurement, as the menu writes it, to `chosen`
    // (".txt" appended unless it ends so). Returns an error text or empty.
    QString exportLastSpectrum(const QString& chosen);
    // The CSV export of the live curve and the shown memories to `chosen`
    // (".csv" appended when it has no suffix). Returns an error text or empty.
    QString exportCsv(const QString& chosen);
    // Opens a memories file of either page into that page's slots, shown.
    // Returns an error text or empty.
    QString loadMemories(const QString& path);
    // The memories the group and the commands work on: the FFT page's on
    // the FFT page, else the octave-band page's.
    memories::MemoryKind memoryKind() const;
    memories::SlotTable& memoryTable(memories::MemoryKind kind);
    // Some stored slot changed since it was last saved or opened.
    bool hasUnsavedMemories() const;
    // Whether the window may close: asks save / discard / cancel when stored
    // memories would be lost, and saves them when asked to.
    bool mayClose();

    QMenu* popMemoryButtons = nullptr;
    QAction* StoreLastmeasurement1 = nullptr;
    QAction* ChangeColor1 = nullptr;
    QAction* ChangestoredComment1 = nullptr;
    QAction* SavetoDisk1 = nullptr;
    QAction* OpenfromDisk1 = nullptr;
    QAction* Clear1 = nullptr;
    QAction* SaveCsv1 = nullptr; // File: "Als CSV exportieren …"
    // The slot button the mouse last entered (mem1 .. mem8): the popup acts on its slot.
    QToolButton* CurrentButton = nullptr;

    enum class QuitAnswer { Save, Discard, Cancel };
    // What asks the user for a colour (starting from the slot's), a file
    // name, a comment, a yes or no, and what to do with unsaved memories at
    // quit; tests and unattended runs put their own answers in. A file
    // chooser returns an empty name on cancel.
    struct MemoryDialogs {
        std::function<std::optional<engine::TColor>(engine::TColor current)> colour;
        std::function<QString(const QString& title, const QString& filter, bool save)> file;
        std::function<std::optional<QString>(const QString& current)> comment;
        std::function<bool(const QString& question)> confirm;
        std::function<QuitAnswer()> quit;
    };
    MemoryDialogs memoryDialogs;

    // The maths dialog's work: `operation` (0 "Power Sum", 1 "Power
    // Difference", 2 "Power Average") of RTA slots `sources` into slot
    // `target`, shown. Returns an error text (nothing changed) or empty.
    QString executeMaths(int operation, const std::vector<int>& sources, int target);

private:
    void createMemoryFileCommands();
    // The RTA slot of a slot button (the digit ending its name).
    memories::SpectrumRec& slotOf(const QToolButton* button);
    // Enables mem1 .. mem8 for the active page's slots that hold data, all of
    // them in store mode.
    void enableStoredButtons();
    // DrawMe from the buttons, then the active view repainted.
    void memoriesChanged();
    // Slot s of the active page takes the last measurement and the comment
    // field, keeping its own colour.
    void storeLastMeasurement(int s);
    void clearSlot(int k);
    void putLoadedMemory(memories::MemoryKind kind, int slot, const memories::SpectrumRec& rec,
                         bool show);
    void showLoadedMemories(memories::MemoryKind kind,
                            const std::vector<memories::LoadedMemory>& loaded);
    // Reads a memories file, the records' level basis read back from their
    // descriptions; an error text or empty.
    QString readMemories(const QString& path, std::vector<memories::LoadedMemory>& loaded,
                         memories::MemoryKind& kind);
    // Asks for a spectrum file of the active page's kind and reads it; false
    // (after telling the user why, where there is a why) when nothing was read.
    bool openSpectra(const QString& title, std::vector<memories::LoadedMemory>& loaded);
    // A stored curve's shift into the reference shown on its page, and the
    // legend's words when there is none.
    std::optional<double> shownShift(const memories::SpectrumRec& slot,
                                     const engine::LevelBasis& shown) const;
    QString notShownReason(const memories::SpectrumRec& slot,
                           const engine::LevelBasis& shown) const;
    // A legend line for stored slot k: its number, its comment and, when it
    // cannot be drawn in the reference shown, why.
    display::LegendEntry memoryLegendEntry(const memories::SlotTable& table, int k,
                                           const engine::LevelBasis& shown) const;
    // What the CSV export says about the measurement of its first curve.
    memories::CsvLayout csvLayout(const memories::SpectrumRec& first) const;
    static void setCaptionColour(QToolButton* button, engine::TColor colour);

public:
    // --- calibrated levels (frm_main_levels.cpp) ---
    // The row under the pages: weighting, the RTA's curve choice with its
    // "Reset", and the level meter strip; the Extras menu's calibration and
    // correction file.
    void createLevelControls(QWidget* client);
    QLabel* lblWeighting = nullptr;
    QComboBox* cboWeighting = nullptr; // "Z", "A", "C" in engine::Weighting order
    QLabel* lblRtaCurve = nullptr;
    QComboBox* cboRtaCurve = nullptr; // "Momentan", "Leq", "Max"
    QPushButton* btnResetLevels = nullptr;
    display::LevelMeterStrip* meterStrip = nullptr;
    QAction* Calibrate1 = nullptr;
    QAction* MicCorrection1 = nullptr;
    QAction* MicCorrectionOff1 = nullptr;
    TfrmCalibration* frmCalibration = nullptr;

    void cboWeightingChange();
    void cboRtaCurveChange();
    void btnResetLevelsClick();
    void Calibrate1Click();
    void MicCorrection1Click();
    // Reads and uses a correction file (empty: none) and keeps the choice;
    // an empty string or the German reason, with nothing changed.
    QString setMicCorrectionFile(const QString& path);
    // Changes the calibrated-measurement settings and keeps them at once.
    void changeLevelSettings(const std::function<void(settings::LevelSettings&)>& change);
    // Measures a calibrator of (dB SPL, Hz) on the current input, starting
    // the capture if it is not running; `done` gets the result. A good
    // measurement is kept (offset, date) and the reference becomes dB SPL.
    void startCalibration(double db, double hz,
                          std::function<void(const engine::CalibrationResult&)> done);
    const CalibratedLevels& levels() const { return *levels_; }
    // The RTA's level axis title with the unit ("Pegel [dB SPL (A)]").
    QString levelAxisTitle(bool fftPage = false) const;
    // The unit alone ("dBFS", "dB SPL (A)").
    QString levelUnit(bool fftPage = false) const;
    // What the RTA path adds to its band levels now (`raw` as for rtaShownBasis).
    engine::RtaLevels rtaLevels(double raw) const;
    // The measurement's description for memories and the export.
    QString levelDescription() const;

private:
    void attachLevelSettings();
    // After a calibration: dB SPL, with the axis moved along, kept.
    void useSplReference();
    void levelSettingsChanged();
    void showLevelControls(int page);
    void levelsBlock(std::span<const std::int16_t> samples);
    // The FFT page: 0 of the reference less the grid's top label, and that label.
    double fftLevelOffset() const;
    int fftTopLevel() const;
    std::unique_ptr<CalibratedLevels> levels_;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Space starts and stops wherever the focused control has no use for it.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // --- readouts under the mouse and pinned markers (frm_main_readouts.cpp) ---
    // What page 0, 1 or 2 reads at pixel `at` of its graph (pbxOctaveGraph,
    // pbxFFTGraph, pbxScope), as the readout line writes it, and the point
    // of the curve a marker there stands on; an empty text where nothing is
    // under it.
    struct Reading {
        QString text;
        std::optional<QPoint> point;
    };
    Reading readingAt(int page, QPoint at);
    // A click on a graph: pins a marker there, or removes the one pinned.
    void graphClicked(int page, QPoint at);
    std::optional<QPoint> pinnedMarker(int page) const { return markers_[page]; }
    bool underMouse(int page) const { return mouse_[page].has_value(); }
    // The readout line and the marker of a page from the latest numbers.
    void updateReadout(int page);
    // The FFT page's frequency range from graph column `from` to `to` (a
    // drag), or its whole range again (a double click); shown and kept.
    void fftZoomColumns(int from, int to);
    void fftFullRange();

    // --- pictures of a page (page_picture.cpp) ---
    // File → "Bild speichern …" (Ctrl+S): asks for a name (proposed from the
    // page and the time) and saves the page shown. `pictureFile` asks; tests
    // and unattended runs put their own in (empty: cancelled).
    QAction* SavePicture1 = nullptr;
    std::function<QString(const QString& proposed)> pictureFile;
    void SavePicture1Click();
    // Saves the page shown as a PNG at `path`; an error text or empty.
    QString savePagePicture(const QString& path);
    QString proposedPictureName() const;
    QWidget* shownPage() const;

private:
    void createReadouts();
    void createPictureCommand();
    QString rtaReading(int x, std::optional<QPoint>& point);
    QString fftReading(QPoint at, bool peakOnly, std::optional<QPoint>& point);
    QString scopeReading(int x, std::optional<QPoint>& point);
    void fftViewChanged(const engine::FftView& view);
    std::array<std::optional<QPoint>, 3> markers_;
    std::array<std::optional<QPoint>, 3> mouse_;
    std::optional<QPoint> markerBeforeClick_;
    QElapsedTimer lastClick_;
    std::array<QWidget*, 3> markerWidgets_{};
    QWidget* fftZoomBand_ = nullptr;
    // A slot's curve laid out for the readout (64 KiB, reused).
    std::unique_ptr<engine::CoordArray> readoutPoints_ = std::make_unique<engine::CoordArray>();

public:
    // --- the window's size (frm_main_layout.cpp) ---
    // Puts the controls where form_layout.h says for the client area's size
    // now, and the contents of page 0, 1 or 2 for that page's size; the
    // page's geometry follows at once (band columns, bins, grids, snapshots).
    void layOutForm();
    void layOutPage(int page);
    // Shows the window `size` large (menu bar and status line included), or
    // maximised, or else at the form's default size where that fits the
    // screen and as large as the screen's free area where it does not.
    void openAtSize(std::optional<QSize> size, bool maximized);

private:
    FormTextWidths formTextWidths() const;
    // The octave-band columns and the FFT bins for the graphs' widths now
    // (when their page is active), without restarting a measurement.
    void rtaGeometryChanged();
    void fftGeometryChanged();

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
    // The user has answered the quit question of this close already.
    bool quitConfirmed_ = false;
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
