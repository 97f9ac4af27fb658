#include "frm_maths.h"

#include "message_box.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

TfrmMaths::TfrmMaths(QWidget* parent, const std::array<bool, 9>& hasData, Executor execute)
    : QDialog(parent), execute_(std::move(execute))
{
    setWindowTitle("Maths Operations");
    setModal(true);

    auto* sources = new QGroupBox("Source", this);
    auto* sourceGrid = new QGridLayout(sources);
    auto* targets = new QGroupBox("Target", this);
    auto* targetGrid = new QGridLayout(targets);
    bool targetChosen = false;
    for (int k = 1; k <= 8; ++k) {
        const QString name = QString("Memory %1").arg(k);
        chkSource[k] = new QCheckBox(name, sources);
        chkSource[k]->setEnabled(hasData[static_cast<std::size_t>(k)]);
        sourceGrid->addWidget(chkSource[k], (k - 1) % 4, (k - 1) / 4);
        optTarget[k] = new QRadioButton(name, targets);
        targetGrid->addWidget(optTarget[k], (k - 1) % 4, (k - 1) / 4);
        // The first empty slot is where a result is least in the way.
        if (!targetChosen && !hasData[static_cast<std::size_t>(k)]) {
            optTarget[k]->setChecked(true);
            targetChosen = true;
        }
    }
    if (!targetChosen)
        optTarget[8]->setChecked(true);

    auto* operations = new QGroupBox("Operation", this);
    lstOperation = new QListWidget(operations);
    lstOperation->addItems({"Power Sum", "Power Difference", "Power Average"});
    lstOperation->setCurrentRow(0);
    // All three at once, without scrolling.
    lstOperation->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstOperation->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * lstOperation->frameWidth();
    lstOperation->setFixedSize(lstOperation->sizeHintForColumn(0) + frame + 12,
                               3 * lstOperation->sizeHintForRow(0) + frame);
    auto* operationBox = new QVBoxLayout(operations);
    operationBox->addWidget(lstOperation);
    operationBox->addStretch();

    btnExecute = new QPushButton("Execute", this);
    btnCancel = new QPushButton("Cancel", this);
    btnExecute->setDefault(true);
    connect(btnExecute, &QPushButton::clicked, this, [this] { btnExecuteClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnExecute);
    buttons->addWidget(btnCancel);
    auto* choice = new QHBoxLayout;
    choice->addWidget(sources);
    choice->addWidget(operations);
    choice->addWidget(targets);
    auto* all = new QVBoxLayout(this);
    all->addLayout(choice);
    all->addLayout(buttons);
}

void TfrmMaths::btnExecuteClick()
{
    std::vector<int> sources;
    int target = 0;
    for (int k = 1; k <= 8; ++k) {
        if (chkSource[k]->isEnabled() && chkSource[k]->isChecked())
            sources.push_back(k);
        if (optTarget[k]->isChecked())
            target = k;
    }
    const QString error =
        execute_ ? execute_(lstOperation->currentRow(), sources, target) : QString("no executor");
    if (!error.isEmpty()) {
        ShowMessage(this, error);
        return;
    }
    accept();
}

} // namespace app
