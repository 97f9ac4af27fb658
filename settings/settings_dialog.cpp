// The settings dialog's behaviour: loading and saving the store, the colour buttons, the
// level-axis fields' check and the window type.

#include "settings/settings_dialog.h"

#include "settings/axis_check.h"
#include "settings/axis_defaults.h"
#include "settings/number_text.h"
#include "settings/registry.h"
#include "settings/save_failure.h"

#include "display/shape.h"
#include "dsp/window_table.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <utility>

namespace settings {

namespace {

const QString kWaveDeviceValue = QStringLiteral("WaveDevice1");

QString colourValueName(int entry)
{
    return QStringLiteral("Color%1").arg(entry);
}

void setLabelText(QLabel& label, const QString& text)
{
    label.setText(text);
    label.resize(label.sizeHint().width(), label.height());
}

TextId problemText(AxisProblem problem)
{
    switch (problem) {
    case AxisProblem::LevelRangeInverted:
        return TextId::LevelRangeInverted;
    case AxisProblem::LevelStepNotPositive:
        return TextId::LevelStepNotPositive;
    case AxisProblem::LevelStepTooFine:
        return TextId::LevelStepTooFine;
    case AxisProblem::FrequencyOutOfRange:
        return TextId::FrequencyOutOfRange;
    case AxisProblem::FrequencyNotAscending:
    case AxisProblem::None:
        break;
    }
    return TextId::FrequencyNotAscending;
}

} // namespace

TfrmSettings::TfrmSettings(QWidget* parent, ColourTable& colours, std::span<double> window,
                           Hooks hooks)
    : QDialog(parent), m_colours(colours), m_window(window), m_hooks(std::move(hooks)),
      m_desktopChooser(desktopColourChooser(this)), m_chooser(m_desktopChooser)
{
    buildControls();
    for (QLineEdit* field : axisFields())
        field->installEventFilter(this);
    connect(btnClose, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    connect(btnChange, &QPushButton::clicked, this, [this] { btnChangeClick(); });
    connect(btnStandardCol, &QPushButton::clicked, this, [this] { btnStandardColClick(); });
    connect(btnLightCol, &QPushButton::clicked, this, [this] { btnLightColClick(); });
    connect(btnDefault, &QPushButton::clicked, this, [this] { btnDefaultClick(); });
    connect(lstColors, &QComboBox::currentIndexChanged, this, [this] { lstColorsChange(); });
    connect(cboWindowing, &QComboBox::currentIndexChanged, this, [this] { cboWindowingChange(); });
    connect(cboReference, &QComboBox::activated, this, [this] { cboReferenceChange(); });
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    FormCreate();
}

TfrmSettings::~TfrmSettings()
{
    for (QLineEdit* field : axisFields())
        field->removeEventFilter(this);
}

std::array<QLineEdit*, 5> TfrmSettings::axisFields() const
{
    return {txtXAxisMin, txtYAxisMin, txtXAxisMax, txtYAxisMax, txtYAxisStep};
}

AxisTexts TfrmSettings::axisTexts() const
{
    return {txtYAxisMin->text(), txtYAxisMax->text(), txtYAxisStep->text(), txtXAxisMin->text(),
            txtXAxisMax->text()};
}

void TfrmSettings::acceptAxisTexts()
{
    for (QLineEdit* field : axisFields())
        m_acceptedText[field] = field->text();
}

void TfrmSettings::restoreDrawableScale()
{
    // A stored scale the view could not draw gives way to the start texts of its axis.
    const AxisProblem problem = checkAxes(axisTexts());
    if (problem == AxisProblem::None)
        return;
    if (isLevelProblem(problem)) {
        txtYAxisMin->setText(startText(kYAxisMinStart));
        txtYAxisMax->setText(startText(kYAxisMaxStart));
        txtYAxisStep->setText(startText(kYAxisStepStart));
    }
    if (checkAxes(axisTexts()) != AxisProblem::None) {
        txtXAxisMin->setText(startText(kXAxisMinStart));
        txtXAxisMax->setText(startText(kXAxisMaxStart));
    }
}

void TfrmSettings::setCaptureRunning(bool running)
{
    grpFFTSettings->setEnabled(!running);
}

void TfrmSettings::setColourChooser(ColourChooser chooser)
{
    m_chooser = chooser ? std::move(chooser) : m_desktopChooser;
}

QString TfrmSettings::text(TextId id) const
{
    if (m_hooks.text) {
        QString fromTable = m_hooks.text(int(id));
        if (!fromTable.isEmpty())
            return fromTable;
    }
    return layoutText(id);
}

StoreKey TfrmSettings::storeKey() const
{
    return settingsKey(text(TextId::Maker), text(TextId::Product));
}

void TfrmSettings::FormCreate()
{
    grpScales->setTitle(text(TextId::Scales));
    setLabelText(*lblYAxisMax, text(TextId::YAxisMax));
    setLabelText(*lblYAxisMin, text(TextId::YAxisMin));
    setLabelText(*lblYAxisStep, text(TextId::YAxisStep));
    m_pages->setTabText(m_pages->indexOf(tabGraph), text(TextId::Graph));
    m_pages->setTabText(m_pages->indexOf(tabDSP), text(TextId::Processing));
    grpColors->setTitle(text(TextId::Colours));
    btnChange->setText(text(TextId::Change));
    btnStandardCol->setText(text(TextId::Standard));
    btnLightCol->setText(text(TextId::Light));
    btnDefault->setText(text(TextId::Standard));
    btnClose->setText(text(TextId::Close));
    setLabelText(*lblInput, text(TextId::Input));
    setLabelText(*lblWindowing, text(TextId::Window));
    grpReference->setTitle(text(TextId::Reference));
    for (TextId id : {TextId::ReferenceDbfs, TextId::ReferenceSpl, TextId::ReferenceRaw})
        cboReference->setItemText(int(id) - int(TextId::ReferenceDbfs), text(id));

    // Nothing is reported: a first start has no store, and an incomplete one gets the defaults.
    const bool loaded = loadStore();
    if (!loaded)
        btnDefaultClick();
    m_levels = loadLevelSettings(storeKey(), loaded);
    showLevelSettings();
    restoreDrawableScale();
    acceptAxisTexts();
    UpdateColors();
    lstColors->setCurrentIndex(0);
    ColourSample->setBrushColor(m_colours.GraphColors[1]);
    cboWindowingChange();
}

bool TfrmSettings::loadStore()
{
    const StoreKey key = storeKey();
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, false))
        return false;
    try {
        WaveDevice1->setCurrentIndex(registry.readInteger(kWaveDeviceValue));
        // A field whose value is missing keeps its text, so it never reads as empty.
        for (QLineEdit* field : axisFields())
            if (loadControl(key, *field) != LoadResult::Loaded)
                return false;
        for (int entry = 1; entry <= kColourCount; ++entry) {
            const std::int32_t stored = registry.readInteger(colourValueName(entry));
            m_colours.GraphColors[std::size_t(entry)] = engine::TColor(std::uint32_t(stored));
        }
    } catch (const ReadError&) {
        return false;
    }
    return true;
}

void TfrmSettings::FormClose()
{
    if (m_hooks.repaintRtaGrid)
        m_hooks.repaintRtaGrid();
    if (const QString failure = writeStore(); !failure.isEmpty() && m_hooks.showMessage)
        m_hooks.showMessage(failure);
}

QString TfrmSettings::writeStore()
{
    // All values in one replacement of the file: a close interrupted at any point leaves either
    // the previous file or the new one, never a mixture.
    const StoreKey key = storeKey();
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    QString failure;
    if (registry.openKey(key.path, true)) {
        registry.writeInteger(kWaveDeviceValue, WaveDevice1->currentIndex());
        for (QLineEdit* field : axisFields())
            registry.writeString(field->objectName(), field->text());
        for (int entry = 1; entry <= kColourCount; ++entry) {
            // Stored as the signed reading of the same 32 bits: 0xFF00000F becomes -16777201.
            const auto value = std::int32_t(m_colours.GraphColors[std::size_t(entry)]);
            registry.writeInteger(colourValueName(entry), value);
        }
        writeLevelSettings(registry, m_levels);
        const bool changed = registry.hasChangedValues();
        if (registry.closeKey() || !changed)
            return QString();
        failure = registry.errorString();
    } else {
        failure = QStringLiteral("\"%1\": %2 is a value, not a key")
                      .arg(QDir::toNativeSeparators(key.fileName), key.path);
    }
    if (!isNewSaveFailure(failure))
        return QString();
    return saveFailureMessage(text(TextId::SaveFailed), key.fileName, failure);
}

void TfrmSettings::setLevelSettings(const LevelSettings& levels)
{
    m_levels = levels;
    showLevelSettings();
}

QString TfrmSettings::saveLevelSettings()
{
    return settings::saveLevelSettings(storeKey(), m_levels);
}

double TfrmSettings::rtaOffsetFromDbfs(engine::LevelReference reference) const
{
    engine::CalibrationModel model;
    model.reference = reference;
    model.calibrationOffsetDb = m_levels.calibrationOffsetDb;
    return model.offsetFromDbfs(engine::rtaRawMinusDbfs(m_window));
}

bool TfrmSettings::selectReference(engine::LevelReference reference)
{
    if (reference == engine::LevelReference::Spl && !m_levels.calibrationOffsetDb)
        return false;
    const double shift = rtaOffsetFromDbfs(reference) - rtaOffsetFromDbfs(m_levels.reference);
    m_levels.reference = reference;
    if (std::isfinite(shift)) {
        const auto whole = static_cast<std::int64_t>(std::nearbyint(shift));
        for (QLineEdit* field : {txtYAxisMin, txtYAxisMax})
            if (const auto v = textToInteger(field->text()))
                field->setText(QString::number(*v + whole));
    }
    showLevelSettings();
    if (onLevelSettingsChanged)
        onLevelSettingsChanged();
    return true;
}

void TfrmSettings::showLevelSettings()
{
    auto* model = qobject_cast<QStandardItemModel*>(cboReference->model());
    if (QStandardItem* spl = model ? model->item(int(engine::LevelReference::Spl)) : nullptr)
        spl->setEnabled(m_levels.calibrationOffsetDb.has_value());
    cboReference->setCurrentIndex(int(m_levels.reference));
    lblCalibration->setText(m_levels.calibrationOffsetDb
                                ? text(TextId::Calibrated)
                                      .arg(QString::number(*m_levels.calibrationOffsetDb, 'f', 1),
                                           m_levels.calibrationDate)
                                : text(TextId::NotCalibrated));
}

void TfrmSettings::cboReferenceChange()
{
    if (!selectReference(engine::LevelReference(cboReference->currentIndex())))
        showLevelSettings();
    if (m_hooks.repaintRtaGrid)
        m_hooks.repaintRtaGrid();
}

void TfrmSettings::reject()
{
    close();
}

void TfrmSettings::closeEvent(QCloseEvent* event)
{
    // Not QDialog's: that would reject() and so close a second time.
    event->accept();
    // Only the user closing the dialog saves; the program ending with it open does not.
    if (m_closing || m_quitting)
        return;
    m_closing = true;
    // Leaving the dialog leaves the field too, and the store must not get a text the field's
    // check would refuse.
    QWidget* focused = focusWidget();
    for (QLineEdit* field : axisFields())
        if (focused == field)
            axisFieldExit(*field);
    FormClose();
    m_closing = false;
}

bool TfrmSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        // The application closes every window before it quits. Should a window refuse, the
        // program goes on, and so do the dialog's saves.
        m_quitting = true;
        QTimer::singleShot(0, this, [this] { m_quitting = false; });
        return false;
    }
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (QLineEdit* field : axisFields())
            if (watched == field)
                axisFieldExit(*field);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSettings::axisFieldExit(QLineEdit& field)
{
    const bool levelField =
        &field == txtYAxisMax || &field == txtYAxisMin || &field == txtYAxisStep;
    if (levelField && !textToInteger(field.text())) {
        restoreLevelField(field);
    } else if (!levelField && !axisValue(field.text())) {
        field.setText(m_acceptedText.value(&field));
    } else if (const AxisProblem problem = checkAxes(axisTexts()); problem != AxisProblem::None) {
        field.setText(m_acceptedText.value(&field));
        // Shown once the focus has settled: a message box opened while the focus is leaving the
        // field would take it in the middle of the move.
        if (m_hooks.showMessage)
            QTimer::singleShot(
                0, this, [this, problem] { m_hooks.showMessage(text(problemText(problem))); });
    }
    // A restored text must fit the others too; the start texts always do.
    if (checkAxes(axisTexts()) != AxisProblem::None)
        field.setText(m_acceptedText.value(&field));
    if (checkAxes(axisTexts()) != AxisProblem::None)
        restoreDrawableScale();
    m_acceptedText[&field] = field.text();
}

void TfrmSettings::restoreLevelField(QLineEdit& field)
{
    const char* start = &field == txtYAxisMax   ? kYAxisMaxStart
                        : &field == txtYAxisMin ? kYAxisMinStart
                                                : kYAxisStepStart;
    switch (loadControl(storeKey(), field)) {
    case LoadResult::Loaded:
        // A stored text the check would refuse is no better than the one typed.
        if (!textToInteger(field.text()))
            field.setText(startText(start));
        return;
    case LoadResult::Missing:
        // Nothing stored yet: the field's start text rather than an empty one, which no reader
        // could take as a number.
        field.setText(startText(start));
        return;
    case LoadResult::Failed:
        field.setText(startText(start));
        btnDefaultClick();
        return;
    }
}

void TfrmSettings::btnCloseClick()
{
    close();
}

void TfrmSettings::lstColorsChange()
{
    const int index = lstColors->currentIndex();
    if (index >= 0)
        ColourSample->setBrushColor(m_colours.GraphColors[std::size_t(index + 1)]);
}

void TfrmSettings::btnChangeClick()
{
    const int index = lstColors->currentIndex();
    if (index < 0 || !m_chooser)
        return;
    const std::optional<engine::TColor> chosen = m_chooser();
    if (!chosen)
        return;
    m_colours.GraphColors[std::size_t(index + 1)] = *chosen;
    UpdateColors();
}

void TfrmSettings::btnStandardColClick()
{
    applyColours(kStandardColours);
}

void TfrmSettings::btnLightColClick()
{
    applyColours(kLightColours);
}

void TfrmSettings::btnDefaultClick()
{
    applyColours(kStandardColours);
    if (m_hooks.resetInputDevice)
        m_hooks.resetInputDevice();
}

void TfrmSettings::applyColours(const ColourSet& set)
{
    m_colours.GraphColors = set;
    UpdateColors();
}

void TfrmSettings::UpdateColors()
{
    if (m_hooks.setGraphBackground)
        m_hooks.setGraphBackground(m_colours.GraphColors[BackgroundColour]);
    lstColorsChange();
}

void TfrmSettings::cboWindowingChange()
{
    dsp::BuildWindowTable(cboWindowing->currentIndex(), m_window);
}

} // namespace settings
