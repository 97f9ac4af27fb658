#pragma once
// The "Maths Operations" dialog of the Memory menu: source slots (check boxes
// "Memory 1" .. "Memory 8", enabled where a slot holds data), the operation
// ("Power Sum", "Power Difference", "Power Average"), the target slot, and
// "Execute" / "Cancel". It is modal; "Execute" hands the choice to the
// executor and closes the dialog when that reports no error (an error is
// shown and the dialog stays). UI thread only.

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace app {

class TfrmMaths : public QDialog {
    Q_OBJECT

public:
    // operation 0 .. 2 as listed, sources and target as slot numbers 1 .. 8;
    // returns an error text or empty.
    using Executor =
        std::function<QString(int operation, const std::vector<int>& sources, int target)>;

    // `hasData[k]` for slots 1 .. 8 (entry 0 unused) enables the sources.
    TfrmMaths(QWidget* parent, const std::array<bool, 9>& hasData, Executor execute);

    std::array<QCheckBox*, 9> chkSource{}; // 1 .. 8
    QListWidget* lstOperation = nullptr;
    std::array<QRadioButton*, 9> optTarget{}; // 1 .. 8
    QPushButton* btnExecute = nullptr;
    QPushButton* btnCancel = nullptr;

    void btnExecuteClick();

private:
    Executor execute_;
};

} // namespace app
