// The oscilloscope's trigger group and trace style beside the screen, the
// trigger's marks on the grid and the scale texts around the screen.

#include "form_widgets.h"
#include "frm_main.h"

#include "calibrated_levels.h"
#include "message_box.h"
#include "string_table.h"

#include "display/scope_axes.h"
#include "display/scope_trace_painter.h"
#include "engine/scope_trace.h"
#include "engine/scope_units.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <cmath>

namespace app {
namespace {

settings::StoreKey scopeStoreKey()
{
    return settings::settingsKey(LoadStr(sMaker), LoadStr(sProduct));
}

QDoubleSpinBox* percentBox(QWidget* parent, int top, double lo, double hi)
{
    auto* box = place(new QDoubleSpinBox(parent), 114, top, 98, 21);
    box->setRange(lo, hi);
    box->setDecimals(1);
    box->setSingleStep(1.0);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

void TfrmMain::createScopeTrigger()
{
    // Behind the screen's frame: the scale texts left of and below it.
    pbxScopeAxes = place(new display::PaintBox(tabScope), 0, 0, 497, 467);
    pbxScopeAxes->lower();
    pbxScopeAxes->setPaintHandler([this] { pbxScopeAxesPaint(); });

    grpTrigger = place(new QGroupBox(LoadStr(sTrigger), tabScope), 497, 180, 222, 166);
    cboTriggerMode = place(new QComboBox(grpTrigger), 10, 20, 98, 21);
    cboTriggerMode->addItems({LoadStr(sTriggerFree), LoadStr(sTriggerAuto), LoadStr(sTriggerNormal),
                              LoadStr(sTriggerSingle)});
    cboTriggerEdge = place(new QComboBox(grpTrigger), 114, 20, 98, 21);
    cboTriggerEdge->addItems({LoadStr(sTriggerRising), LoadStr(sTriggerFalling)});
    lblTriggerLevel = label(grpTrigger, LoadStr(sTriggerLevel), 10, 52);
    spnTriggerLevel =
        percentBox(grpTrigger, 49, -engine::kTriggerLevelLimit, engine::kTriggerLevelLimit);
    lblTriggerPosition = label(grpTrigger, LoadStr(sTriggerPosition), 10, 79);
    spnTriggerPosition = percentBox(grpTrigger, 76, 0, 100);
    btnTriggerArm = place(new QPushButton(LoadStr(sTriggerArm), grpTrigger), 10, 104, 202, 23);
    lblScopeStyle = label(grpTrigger, LoadStr(sScopeStyle), 10, 139);
    cboScopeStyle = place(new QComboBox(grpTrigger), 114, 136, 98, 21);
    cboScopeStyle->addItems({LoadStr(sScopeStaircase), LoadStr(sScopeLines)});

    applyScopePageSettings(loadScopePageSettings(scopeStoreKey()));

    auto changed = [this] { scopeControlsChanged(); };
    connect(cboTriggerMode, &QComboBox::activated, this, changed);
    connect(cboTriggerEdge, &QComboBox::activated, this, changed);
    connect(cboScopeStyle, &QComboBox::activated, this, changed);
    for (QDoubleSpinBox* box : {spnTriggerLevel, spnTriggerPosition})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, changed] {
            if (!applyingScopeSettings_)
                changed();
        });
    connect(btnTriggerArm, &QPushButton::clicked, this, [this] { triggerState_.armed = true; });
}

void TfrmMain::applyScopePageSettings(const ScopePageSettings& s)
{
    scopeSettings_ = s;
    applyingScopeSettings_ = true;
    cboTriggerMode->setCurrentIndex(static_cast<int>(s.trigger.mode));
    cboTriggerEdge->setCurrentIndex(static_cast<int>(s.trigger.edge));
    spnTriggerLevel->setValue(s.trigger.levelPercent);
    spnTriggerPosition->setValue(s.trigger.positionPercent);
    cboScopeStyle->setCurrentIndex(static_cast<int>(s.style));
    applyingScopeSettings_ = false;
    btnTriggerArm->setEnabled(s.trigger.mode == engine::TriggerMode::Single);
    triggerState_ = {};
    if (pgcAnalyzers->currentIndex() == 2)
        PaintAxesScope();
}

void TfrmMain::scopeControlsChanged()
{
    ScopePageSettings s;
    s.trigger.mode = static_cast<engine::TriggerMode>(std::max(0, cboTriggerMode->currentIndex()));
    s.trigger.edge = static_cast<engine::TriggerEdge>(std::max(0, cboTriggerEdge->currentIndex()));
    s.trigger.levelPercent = spnTriggerLevel->value();
    s.trigger.positionPercent = spnTriggerPosition->value();
    s.style = static_cast<display::ScopeTraceStyle>(std::max(0, cboScopeStyle->currentIndex()));
    applyScopePageSettings(s);
    QString error;
    if (!saveScopePageSettings(scopeStoreKey(), scopeSettings_, error))
        ShowMessage(this, LoadStr(sAnalyzerSettingsNotSaved).arg(error));
}

void TfrmMain::paintScopeTriggerMarks()
{
    if (scopeSettings_.trigger.mode == engine::TriggerMode::Free)
        return;
    const int width = pbxScope->width();
    const int height = pbxScope->height();
    const auto row = engine::scopeValueRow(height, tbZoom->value(), tbZoomPosition->value(),
                                           scopeSettings_.trigger.levelPercent / 100 * 32768.0L);
    const int column = static_cast<int>(
        std::nearbyint(scopeSettings_.trigger.positionPercent / 100 * (width - 1)));
    if (row)
        display::paintScopeTriggerMarkers(imgPhantomScopeGrid.canvas(), *row, column);
}

void TfrmMain::pbxScopeAxesPaint()
{
    display::ScopeAxisLabels labels;
    labels.fullScalePerDivision = engine::scopeFullScalePerDivision(tbZoom->value());
    // Pascal once the levels are calibrated to dB SPL.
    const engine::CalibrationModel& model = levels_->model;
    std::optional<double> calibration;
    if (model.effectiveReference() == engine::LevelReference::Spl)
        calibration = model.offsetFromDbfs(0);
    labels.pascalPerDivision = engine::scopePascalPerDivision(tbZoom->value(), calibration);
    labels.millisecondsPerDivision =
        engine::scopeMillisecondsPerDivision(state_.measurement.CurrtDiv);
    labels.levelUnit = LoadStr(labels.pascalPerDivision ? sScopePascal : sScopeFullScale);
    labels.timeTitle = LoadStr(sScopeTimeTitle);
    display::paintScopeAxisLabels(pbxScopeAxes->canvas(), pbxScope->geometry(), labels);
}

} // namespace app
