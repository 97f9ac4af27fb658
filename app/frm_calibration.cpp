#include "frm_calibration.h"

#include "calibrated_levels.h"
#include "string_table.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace app {

std::optional<double> decimalField(const QString& text)
{
    bool ok = false;
    const double v = QString(text).replace(',', '.').trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

TfrmCalibration::TfrmCalibration(QWidget* parent, Hooks hooks)
    : QDialog(parent), hooks_(std::move(hooks))
{
    setObjectName("frmCalibration");
    setWindowTitle(LoadStr(sCalibrationTitle));
    auto* grid = new QGridLayout(this);
    txtLevel = new QLineEdit("94.0", this);
    txtFrequency = new QLineEdit("1000", this);
    btnMeasure = new QPushButton(LoadStr(sMeasure), this);
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumWidth(360);
    // Room for the longest message (a refusal and its reason) without a resize.
    lblStatus->setMinimumHeight(3 * lblStatus->fontMetrics().lineSpacing());
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtOffset = new QLineEdit(this);
    btnApply = new QPushButton(LoadStr(sApplyOffset), this);
    btnClose = new QPushButton(LoadStr(sClose), this);
    for (QPushButton* b : {btnMeasure, btnApply, btnClose})
        b->setAutoDefault(false);
    grid->addWidget(new QLabel(LoadStr(sCalibratorLevel), this), 0, 0);
    grid->addWidget(txtLevel, 0, 1);
    grid->addWidget(new QLabel(LoadStr(sCalibratorFrequency), this), 1, 0);
    grid->addWidget(txtFrequency, 1, 1);
    grid->addWidget(btnMeasure, 1, 2);
    grid->addWidget(lblStatus, 2, 0, 1, 3);
    grid->addWidget(new QLabel(LoadStr(sCalibrationOffset), this), 3, 0);
    grid->addWidget(txtOffset, 3, 1);
    grid->addWidget(btnApply, 3, 2);
    grid->addWidget(btnClose, 4, 2);
    connect(btnMeasure, &QPushButton::clicked, this, [this] { btnMeasureClick(); });
    connect(btnApply, &QPushButton::clicked, this, [this] { btnApplyClick(); });
    connect(btnClose, &QPushButton::clicked, this, [this] { close(); });
}

void TfrmCalibration::showCalibration(const std::optional<double>& offsetDb, const QString& date)
{
    txtOffset->setText(offsetDb ? QString::number(*offsetDb, 'f', 2) : QString());
    if (lblStatus->text().isEmpty() || !btnMeasure->isEnabled())
        return;
    lblStatus->setText(offsetDb
                           ? LoadStr(sCalibratedAt).arg(QString::number(*offsetDb, 'f', 2), date)
                           : LoadStr(sCalibrationNone));
}

void TfrmCalibration::showResult(const engine::CalibrationResult& result)
{
    lblStatus->setText(calibrationResultText(result, measuringDb_, measuringHz_));
    btnMeasure->setEnabled(result.status != engine::CalibrationResult::Status::Measuring);
    if (result.status == engine::CalibrationResult::Status::Done)
        txtOffset->setText(QString::number(result.offsetDb, 'f', 2));
}

void TfrmCalibration::btnMeasureClick()
{
    const auto db = decimalField(txtLevel->text());
    const auto hz = decimalField(txtFrequency->text());
    if (!db || !hz || *hz < 20 || *hz > 20000) {
        lblStatus->setText(LoadStr(sCalibrationBadNumber));
        return;
    }
    measuringDb_ = *db;
    measuringHz_ = *hz;
    btnMeasure->setEnabled(false);
    lblStatus->setText(LoadStr(sMeasuring));
    if (hooks_.measure)
        hooks_.measure(*db, *hz);
}

void TfrmCalibration::btnApplyClick()
{
    if (const auto offset = decimalField(txtOffset->text()); offset && hooks_.applyOffset)
        hooks_.applyOffset(*offset);
}

} // namespace app
