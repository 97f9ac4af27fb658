#pragma once
// The generator window: a modeless window that plays a test signal on an
// output device, independently of the capture: the output device, the
// signal and its parameters, the level, and Start/Stop. Closing or hiding
// the window stops the output. The output itself is capture::SignalOutput.
// UI thread only.

#include "generator_settings.h"

#include "capture/signal_output.h"

#include <QDialog>
#include <QIcon>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;

namespace app {

class TfrmGenerator : public QDialog {
    Q_OBJECT

public:
    // Reads the stored settings into the fields.
    explicit TfrmGenerator(QWidget* parent);
    ~TfrmGenerator() override;

    // Plays the signal on the named output device (empty: the default) from
    // now on, as the command line asks, and shows the window. Returns an
    // empty string, or the reason it could not start (also shown to the user).
    QString play(const GeneratorSettings& chosen);
    bool playing() const { return output_.playing(); }
    // The fields as they stand.
    GeneratorSettings current() const;

    // --- controls ---
    QComboBox* cboOutput = nullptr;
    QComboBox* cboSignal = nullptr;
    QDoubleSpinBox* spnFrequency = nullptr;
    QDoubleSpinBox* spnSweepStart = nullptr;
    QDoubleSpinBox* spnSweepEnd = nullptr;
    QDoubleSpinBox* spnSweepSeconds = nullptr;
    QLabel* lblLevel = nullptr;
    QSlider* sldLevel = nullptr; // tenths of a dB
    QDoubleSpinBox* spnLevel = nullptr;
    QPushButton* btnStartStop = nullptr;

    // --- handlers ---
    void btnStartStopClick();
    // A new signal, frequency or device: takes effect at once while playing.
    void signalChange();
    void levelChange(double levelDb);
    // Refills the output list from PortAudio, keeping the chosen name.
    void refreshOutputs();

    capture::SignalOutput& output() { return output_; }

    // The generator's face on a button: a period of a sine, green while it plays.
    static QIcon icon(bool playing);

signals:
    void shownChanged(bool shown);
    void playingChanged(bool playing);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createControls();
    void fill(const GeneratorSettings& s);
    bool startOutput(QString& error);
    void stopOutput();
    void updateFields();
    void outputFailed(const std::string& reason);
    void saveIfChanged();

    capture::SignalOutput output_;
    // Set by the user's edits, so that a signal given on the command line is
    // not stored as theirs.
    bool changedByUser_ = false;
    bool filling_ = false;
};

} // namespace app
