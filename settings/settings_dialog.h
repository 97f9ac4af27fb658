#pragma once
// TfrmSettings: the settings dialog. Its controls are the live store of the octave-band view's
// axis limits (the texts of the five axis fields), it edits the colour table and chooses the
// octave-band window, whose coefficient table it rebuilds. It loads the settings store when it is
// created and writes it each time it is closed.
//
// Create one at start-up, after the main window, and keep it for the whole run; show it with
// show() (it is modeless); closing it only hides it. The program quitting with the dialog open
// does not save it. The colour table and the window table belong
// to the caller and must outlive the dialog. UI thread only.

#include "settings/axis_check.h"
#include "settings/colour_chooser.h"
#include "settings/colour_table.h"
#include "settings/control_store.h"
#include "settings/level_settings.h"
#include "settings/settings_text.h"

#include "engine/colour.h"

#include <QDialog>
#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <span>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace display {
class Shape;
}

namespace settings {

class TfrmSettings : public QDialog {
    Q_OBJECT

public:
    // What the dialog asks of the application. A hook left empty does nothing.
    struct Hooks {
        // The string-table text of number (a TextId); an empty text keeps the layout's own.
        std::function<QString(int number)> text;
        // Redraws the octave-band grid with the current scale and colours.
        std::function<void()> repaintRtaGrid;
        // Sets the audio input to the system's default device.
        std::function<void()> resetInputDevice;
        // Fills the octave-band page's background shape.
        std::function<void(engine::TColor)> setGraphBackground;
        // Shows a message to the user (a message box, in the program).
        std::function<void(const QString&)> showMessage;
    };

    // Builds the dialog, loads the store (falling back to the defaults) and builds window for
    // the selected window type. window holds one coefficient per sample of a block (8192).
    TfrmSettings(QWidget* parent, ColourTable& colours, std::span<double> window, Hooks hooks);
    ~TfrmSettings() override;

    // A capture started (true) or ended (false): the window type is locked while one runs.
    void setCaptureRunning(bool running);

    // Replaces the colour dialog behind "Ändern"; an empty chooser brings the desktop's back.
    void setColourChooser(ColourChooser chooser);

    // The calibrated-measurement settings, loaded with the store. Setting them shows the
    // reference and calibration (moving no axis limit); saveLevelSettings writes them at once,
    // returning an empty string or the message for the user.
    const LevelSettings& levelSettings() const { return m_levels; }
    void setLevelSettings(const LevelSettings& levels);
    QString saveLevelSettings();
    // Writes the whole store now, as closing the dialog does (the axis limits a reference
    // change moved included); an empty string or the message for the user.
    QString saveSettings() { return writeStore(); }
    // Chooses a reference as the user does in "Bezug": the level axis' limits move by the
    // offset between the two references (rounded to whole dB, as the fields hold), so the curve
    // stays where it was; "dB SPL" without a calibration is refused (false).
    bool selectReference(engine::LevelReference reference);
    // Level minus dBFS for a reference as the octave-band view computes it now (the raw unit's
    // offset follows the window type).
    double rtaOffsetFromDbfs(engine::LevelReference reference) const;
    // Called after the reference changed through the dialog.
    std::function<void()> onLevelSettingsChanged;

    // The axis fields, read as numbers by the octave-band view (see number_text.h). The X-axis
    // fields lie outside their group's visible width, as they always have.
    QLineEdit* txtYAxisMax = nullptr;
    QLineEdit* txtYAxisMin = nullptr;
    QLineEdit* txtYAxisStep = nullptr;
    QLineEdit* txtXAxisMax = nullptr;
    QLineEdit* txtXAxisMin = nullptr;
    // The window type's group and list (items in dsp::WindowType order).
    QGroupBox* grpFFTSettings = nullptr;
    QComboBox* cboWindowing = nullptr;
    // "Bezug": dBFS, dB SPL (enabled once calibrated), dB (Rohwert), in LevelReference order.
    QComboBox* cboReference = nullptr;
    QLabel* lblCalibration = nullptr;

public slots:
    // Escape closes the dialog like "Schließen" does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QString text(TextId id) const;
    StoreKey storeKey() const;

    void FormCreate();
    bool loadStore();
    void FormClose();
    // Empty when everything reached the file, else the message for the user.
    QString writeStore();
    void btnCloseClick();
    void lstColorsChange();
    void btnChangeClick();
    void btnStandardColClick();
    void btnLightColClick();
    void btnDefaultClick();
    void UpdateColors();
    void cboWindowingChange();
    // Leaving an axis field: a level field that holds no whole number gets the stored text back
    // silently, as it always has; a text that would give a scale the view cannot draw is
    // refused, restoring the field's last accepted text, with a message saying why.
    void axisFieldExit(QLineEdit& field);
    void restoreLevelField(QLineEdit& field);
    // The five axis fields, in the store's order.
    std::array<QLineEdit*, 5> axisFields() const;
    AxisTexts axisTexts() const;
    void acceptAxisTexts();
    void restoreDrawableScale();
    void applyColours(const ColourSet& set);
    void showLevelSettings();
    void cboReferenceChange();

    ColourTable& m_colours;
    std::span<double> m_window;
    Hooks m_hooks;
    ColourChooser m_desktopChooser;
    ColourChooser m_chooser;
    QHash<const QLineEdit*, QString> m_acceptedText; // each axis field's last accepted text
    LevelSettings m_levels;
    bool m_closing = false;
    bool m_quitting = false;

    QTabWidget* m_pages = nullptr;
    QWidget* tabGraph = nullptr;
    QWidget* tabDSP = nullptr;
    QGroupBox* grpScales = nullptr;
    QGroupBox* grpReference = nullptr;
    QLabel* lblYAxisMax = nullptr;
    QLabel* lblYAxisMin = nullptr;
    QLabel* lblYAxisStep = nullptr;
    QGroupBox* grpColors = nullptr;
    QComboBox* lstColors = nullptr;
    display::Shape* ColourSample = nullptr;
    QPushButton* btnChange = nullptr;
    QPushButton* btnStandardCol = nullptr;
    QPushButton* btnLightCol = nullptr;
    QLabel* lblWindowing = nullptr;
    QComboBox* WaveDevice1 = nullptr;
    QLabel* lblInput = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnClose = nullptr;
};

} // namespace settings
