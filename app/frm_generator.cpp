#include "frm_generator.h"

#include "message_box.h"
#include "string_table.h"

#include "engine/types.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>

#include <cmath>
#include <numbers>

namespace app {
namespace {

using Signal = GeneratorSettings::Signal;

QDoubleSpinBox* numberField(QWidget* parent, double lo, double hi, int decimals)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(lo, hi);
    box->setDecimals(decimals);
    box->setAccelerated(true);
    box->setKeyboardTracking(false);
    return box;
}

settings::StoreKey programKey()
{
    return settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct));
}

} // namespace

TfrmGenerator::TfrmGenerator(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(LoadStr(sGenerator));
    setModal(false);
    createControls();
    output_.setOnFailure([this](const std::string& reason) { outputFailed(reason); });
    refreshOutputs();
    fill(loadGeneratorSettings(programKey()));
}

TfrmGenerator::~TfrmGenerator() = default;

void TfrmGenerator::createControls()
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    const auto addRow = [&](StringId caption, QWidget* field, QWidget* extra = nullptr) {
        auto* label = new QLabel(LoadStr(caption), this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, 1, extra ? 1 : 2);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
        return label;
    };
    cboOutput = new QComboBox(this);
    cboOutput->setMinimumWidth(220);
    addRow(sOutput, cboOutput);
    cboSignal = new QComboBox(this);
    cboSignal->addItems(
        {LoadStr(sPinkNoise), LoadStr(sWhiteNoise), LoadStr(sSine), LoadStr(sSweep)});
    addRow(sSignal, cboSignal);
    using G = GeneratorSettings;
    spnFrequency = numberField(this, G::kMinFrequency, G::kMaxFrequency, 1);
    addRow(sFrequency, spnFrequency);
    spnSweepStart = numberField(this, G::kMinFrequency, G::kMaxFrequency, 1);
    addRow(sSweepStart, spnSweepStart);
    spnSweepEnd = numberField(this, G::kMinFrequency, G::kMaxFrequency, 1);
    addRow(sSweepEnd, spnSweepEnd);
    spnSweepSeconds = numberField(this, G::kMinSeconds, G::kMaxSeconds, 1);
    addRow(sSweepDuration, spnSweepSeconds);
    sldLevel = new QSlider(Qt::Horizontal, this);
    sldLevel->setRange(static_cast<int>(G::kMinLevelDb * 10),
                       static_cast<int>(G::kMaxLevelDb * 10));
    sldLevel->setSingleStep(5);
    sldLevel->setPageStep(60);
    spnLevel = numberField(this, G::kMinLevelDb, G::kMaxLevelDb, 1);
    spnLevel->setSingleStep(0.5);
    lblLevel = addRow(sLevelRms, sldLevel, spnLevel);
    btnStartStop = new QPushButton(LoadStr(sStartOutput), this);
    btnStartStop->setObjectName("btnStartStop");
    grid->addWidget(btnStartStop, row, 1, 1, 2, Qt::AlignRight);

    connect(btnStartStop, &QPushButton::clicked, this, [this] { btnStartStopClick(); });
    connect(cboOutput, &QComboBox::activated, this, [this] { signalChange(); });
    connect(cboSignal, &QComboBox::activated, this, [this] { signalChange(); });
    for (QDoubleSpinBox* box : {spnFrequency, spnSweepStart, spnSweepEnd, spnSweepSeconds})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] { signalChange(); });
    connect(sldLevel, &QSlider::valueChanged, this, [this](int tenths) {
        if (!filling_)
            levelChange(tenths / 10.0);
    });
    connect(spnLevel, &QDoubleSpinBox::valueChanged, this, [this](double db) {
        if (!filling_)
            levelChange(db);
    });
}

void TfrmGenerator::fill(const GeneratorSettings& s)
{
    filling_ = true;
    const int device = s.outputDevice.isEmpty() ? 0 : cboOutput->findText(s.outputDevice);
    cboOutput->setCurrentIndex(std::max(0, device));
    cboSignal->setCurrentIndex(static_cast<int>(s.signal));
    spnFrequency->setValue(s.frequency);
    spnSweepStart->setValue(s.sweepStart);
    spnSweepEnd->setValue(s.sweepEnd);
    spnSweepSeconds->setValue(s.sweepSeconds);
    spnLevel->setValue(s.levelDb);
    sldLevel->setValue(static_cast<int>(std::lround(s.levelDb * 10)));
    filling_ = false;
    updateFields();
}

GeneratorSettings TfrmGenerator::current() const
{
    GeneratorSettings s;
    s.outputDevice = cboOutput->currentIndex() > 0 ? cboOutput->currentText() : QString();
    s.signal = static_cast<Signal>(std::max(0, cboSignal->currentIndex()));
    s.frequency = spnFrequency->value();
    s.sweepStart = spnSweepStart->value();
    s.sweepEnd = spnSweepEnd->value();
    s.sweepSeconds = spnSweepSeconds->value();
    s.levelDb = spnLevel->value();
    return s;
}

void TfrmGenerator::updateFields()
{
    const auto signal = static_cast<Signal>(cboSignal->currentIndex());
    spnFrequency->setEnabled(signal == Signal::Sine);
    for (QWidget* w : {spnSweepStart, spnSweepEnd, spnSweepSeconds})
        w->setEnabled(signal == Signal::Sweep);
    const bool noise = signal == Signal::Pink || signal == Signal::White;
    lblLevel->setText(LoadStr(noise ? sLevelRms : sLevelPeak));
    btnStartStop->setText(LoadStr(output_.playing() ? sStopOutput : sStartOutput));
}

void TfrmGenerator::refreshOutputs()
{
    const QString chosen = cboOutput->currentIndex() > 0 ? cboOutput->currentText() : QString();
    int defaultIndex = -1;
    const auto devices = capture::outputDevices(defaultIndex);
    filling_ = true;
    cboOutput->clear();
    cboOutput->addItem(LoadStr(sDefaultDevice));
    for (const capture::OutputDeviceInfo& d : devices)
        cboOutput->addItem(QString::fromStdString(d.name));
    cboOutput->setCurrentIndex(chosen.isEmpty() ? 0 : std::max(0, cboOutput->findText(chosen)));
    filling_ = false;
}

bool TfrmGenerator::startOutput(QString& error)
{
    std::string reason;
    const GeneratorSettings s = current();
    const bool started =
        output_.start(s.outputDevice.toStdString(), s.params(), engine::kFrameRate, reason);
    updateFields();
    emit playingChanged(started);
    if (!started) {
        error = QString::fromStdString(reason);
        ShowMessage(this, LoadStr(sOutputNotStarted).arg(error));
    }
    return started;
}

void TfrmGenerator::stopOutput()
{
    if (!output_.playing())
        return;
    output_.stop();
    updateFields();
    emit playingChanged(false);
}

void TfrmGenerator::btnStartStopClick()
{
    if (output_.playing()) {
        stopOutput();
        return;
    }
    changedByUser_ = true;
    QString error;
    startOutput(error);
}

void TfrmGenerator::signalChange()
{
    if (filling_)
        return;
    changedByUser_ = true;
    updateFields();
    if (output_.playing()) {
        QString error;
        startOutput(error);
    }
}

void TfrmGenerator::levelChange(double levelDb)
{
    changedByUser_ = true;
    filling_ = true;
    spnLevel->setValue(levelDb);
    sldLevel->setValue(static_cast<int>(std::lround(levelDb * 10)));
    filling_ = false;
    output_.setLevel(spnLevel->value());
}

QString TfrmGenerator::play(const GeneratorSettings& chosen)
{
    fill(chosen);
    if (!chosen.outputDevice.isEmpty() && cboOutput->currentIndex() == 0) {
        const QString error = QString("there is no output device \"%1\"").arg(chosen.outputDevice);
        ShowMessage(this, LoadStr(sOutputNotStarted).arg(error));
        return error;
    }
    QDialog::show();
    QString error;
    startOutput(error);
    return error;
}

void TfrmGenerator::outputFailed(const std::string& reason)
{
    updateFields();
    emit playingChanged(false);
    ShowMessage(this, LoadStr(sOutputFailed).arg(QString::fromStdString(reason)));
}

void TfrmGenerator::saveIfChanged()
{
    if (!changedByUser_)
        return;
    changedByUser_ = false;
    QString error;
    if (!saveGeneratorSettings(programKey(), current(), error))
        ShowMessage(this, LoadStr(sGeneratorSettingsNotSaved).arg(error));
}

void TfrmGenerator::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!output_.playing())
        refreshOutputs();
    emit shownChanged(true);
}

void TfrmGenerator::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    stopOutput();
    saveIfChanged();
    emit shownChanged(false);
}

QIcon TfrmGenerator::icon(bool playing)
{
    constexpr int kSize = 36; // drawn at twice the button's icon size, for sharp edges
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath wave;
    for (int x = 3; x <= kSize - 3; ++x) {
        const double phase = 2 * std::numbers::pi * (x - 3) / (kSize - 6);
        const QPointF p(x, kSize / 2.0 - 0.36 * kSize * std::sin(phase));
        if (x == 3)
            wave.moveTo(p);
        else
            wave.lineTo(p);
    }
    painter.setPen(QPen(playing ? QColor(0, 160, 0) : QColor(60, 60, 60), 4));
    painter.drawPath(wave);
    painter.end();
    return QIcon(pixmap);
}

} // namespace app
