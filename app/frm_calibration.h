#pragma once
// Extras -> "Kalibrieren …": the user plays a sound calibrator into the
// microphone, enters its level and frequency and presses "Messen"; the
// window measures the tone through its hooks and shows the result. A field
// takes the offset dB SPL - dBFS directly instead ("Übernehmen"). Modeless,
// owned by the main window. UI thread only.

#include "engine/calibration_measurement.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

class TfrmCalibration : public QDialog {
public:
    struct Hooks {
        // Starts measuring a calibrator of (dB SPL, Hz) on the current input.
        std::function<void(double db, double hz)> measure;
        // Stores an offset entered by hand.
        std::function<void(double offsetDb)> applyOffset;
    };

    TfrmCalibration(QWidget* parent, Hooks hooks);

    // Shows the current calibration (nothing: not calibrated) in the offset field.
    void showCalibration(const std::optional<double>& offsetDb, const QString& date);
    // Shows a measurement's state or result; enables "Messen" again once it is done.
    void showResult(const engine::CalibrationResult& result);

    QLineEdit* txtLevel = nullptr;
    QLineEdit* txtFrequency = nullptr;
    QPushButton* btnMeasure = nullptr;
    QLabel* lblStatus = nullptr;
    QLineEdit* txtOffset = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void btnMeasureClick();
    void btnApplyClick();

    Hooks hooks_;
    double measuringDb_ = 94.0;
    double measuringHz_ = 1000.0;
};

// A decimal number typed with a dot or a comma; nothing for anything else.
std::optional<double> decimalField(const QString& text);

} // namespace app
