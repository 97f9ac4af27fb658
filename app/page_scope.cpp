// The oscilloscope page: the screen with its grid, the time-base and zoom
// sliders, and the trace drawn from the sample ring for every block.

#include "form_widgets.h"
#include "frm_main.h"

#include "display/scope_grid.h"
#include "display/scope_trace_painter.h"
#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trigger.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QString>

#include <algorithm>
#include <cmath>

namespace app {
namespace {

// Slider positions the page starts with and "Default" returns to.
constexpr int kDefaultTimeBase = 3; // 500 µs/div
constexpr int kDefaultZoom = 15;    // gain 1
constexpr int kDefaultZoomOffset = 0;

QSlider* slider(QWidget* parent, Qt::Orientation orientation, int left, int top, int width,
                int height, int minimum, int maximum, int position, int tickInterval)
{
    auto* s = new QSlider(orientation, parent);
    s->setGeometry(left, top, width, height);
    s->setRange(minimum, maximum);
    s->setValue(position);
    s->setTickInterval(tickInterval);
    s->setPageStep(tickInterval);
    if (orientation == Qt::Horizontal) {
        s->setTickPosition(QSlider::TicksBelow);
    } else {
        s->setTickPosition(QSlider::TicksLeft);
        // The minimum sits at the top, and the arrow keys move the thumb the way they point.
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
    }
    return s;
}

// The zoom label's box: 27 pixels wide, centred under the zoom slider, and
// widened about the same centre when a word of its text would not fit, so
// that "Zoom" and "32768x" stay readable in any font.
constexpr int kZoomLabelLeft = 135;
constexpr int kZoomLabelWidth = 27;

void fitZoomLabel(QLabel* label)
{
    int widest = 0;
    for (const QString& word : label->text().split(' ', Qt::SkipEmptyParts))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(word) + 2);
    const int width = std::max(kZoomLabelWidth, widest);
    label->setGeometry(kZoomLabelLeft - (width - kZoomLabelWidth) / 2, label->y(), width,
                       label->height());
}

} // namespace

void TfrmMain::createScopePage()
{
    // The doubled ampersand shows as one "&" and makes no access key.
    GroupBox3 = new QGroupBox(" Scale && Position ", tabScope);
    GroupBox3->setGeometry(497, 12, 222, 160);
    Label21 = label(GroupBox3, "X", 62, 16);
    Label22 = label(GroupBox3, "Y", 169, 16);
    tbTDiv = slider(GroupBox3, Qt::Horizontal, 13, 36, 106, 32, 1, 10, kDefaultTimeBase, 1);
    lbltDiv = label(GroupBox3, "50 ms/div", 46, 68);
    tbZoom = slider(GroupBox3, Qt::Vertical, 133, 33, 30, 95, 0, 15, kDefaultZoom, 1);
    lblZoom = new QLabel("1x Zoom", GroupBox3);
    lblZoom->setGeometry(kZoomLabelLeft, 127, kZoomLabelWidth, 26);
    lblZoom->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblZoom->setWordWrap(true);
    fitZoomLabel(lblZoom);
    btnOscDefault = new QPushButton("Default", GroupBox3);
    btnOscDefault->setGeometry(22, 129, 67, 21);

    tbZoomPosition =
        slider(GroupBox3, Qt::Vertical, 179, 33, 30, 95, -100, 100, kDefaultZoomOffset, 20);
    Label24 = label(GroupBox3, "Position", 176, 127);
    tbTimePosition = slider(GroupBox3, Qt::Horizontal, 13, 81, 106, 28, 0, 100, 50, 10);
    Label23 = label(GroupBox3, "Position", 49, 110);
    for (QWidget* hidden : {static_cast<QWidget*>(tbZoomPosition), static_cast<QWidget*>(Label24),
                            static_cast<QWidget*>(tbTimePosition), static_cast<QWidget*>(Label23)})
        hidden->hide();

    connect(tbTDiv, &QSlider::valueChanged, this, [this] { tbTDivChange(); });
    connect(tbZoom, &QSlider::valueChanged, this, [this] { tbZoomChange(); });
    connect(btnOscDefault, &QPushButton::clicked, this, [this] { btnOscDefaultClick(); });

    createScopeTrigger();
    scopeTrace_ = std::make_unique<engine::ScopeTrace>();
    pbxScope->setPaintHandler([this] { pbxScopePaint(); });
    pages_[2].activate = [this] { scopeActivate(); };
    pages_[2].block = [this](std::span<const std::int16_t> samples) { scopeBlock(samples); };
}

void TfrmMain::PaintAxesScope()
{
    const int width = pbxScope->width();
    const int height = pbxScope->height();
    // Sized before painting, so a grid for a resized screen is painted whole.
    imgPhantomScopeGrid.setScale(pbxScope->canvas().scale());
    imgPhantomScopeGrid.setSize(width, height);
    display::paintScopeGrid(imgPhantomScopeGrid.canvas(), width, height);
    paintScopeTriggerMarks();
    scopeErase_.forget();
    const display::Rect whole(0, 0, imgPhantomScopeGrid.width(), imgPhantomScopeGrid.height());
    pbxScope->canvas().CopyRect(display::Rect(0, 0, width, height), imgPhantomScopeGrid.canvas(),
                                whole);
    updateReadout(2);
}

void TfrmMain::pbxScopePaint()
{
    PaintAxesScope();
}

void TfrmMain::tbTDivChange()
{
    const int position = tbTDiv->value();
    engine::applyTimeBase(state_.measurement, position, static_cast<int>(AudioIn1->FrameRate()));
    lbltDiv->setText(QString::fromStdString(engine::timeBaseCaption(position)));
    lbltDiv->adjustSize();
    pbxScopeAxes->Repaint();
}

void TfrmMain::tbZoomChange()
{
    const long gain = std::lround(engine::zoomGain(tbZoom->value()));
    lblZoom->setText(QString::number(gain) + "x");
    fitZoomLabel(lblZoom);
    pbxScopeAxes->Repaint();
    // The trigger's level mark moves with the zoom.
    if (scopeSettings_.trigger.mode != engine::TriggerMode::Free &&
        pgcAnalyzers->currentIndex() == 2)
        PaintAxesScope();
}

void TfrmMain::btnOscDefaultClick()
{
    // Each slider raises its change only if it really moves.
    tbZoom->setValue(kDefaultZoom);
    tbZoomPosition->setValue(kDefaultZoomOffset);
    tbTDiv->setValue(kDefaultTimeBase);
}

void TfrmMain::scopeActivate()
{
    PaintAxesScope();
    engine::resetScope(state_.measurement);
    triggerState_ = {};
    tbTDivChange();
}

void TfrmMain::scopeBlock(std::span<const std::int16_t> samples)
{
    engine::MeasurementState& m = state_.measurement;
    engine::appendScopeBlock(m, samples);
    const engine::ScopeWindow window = engine::scopeTriggerWindow(
        m, scopeSettings_.trigger, triggerState_, static_cast<std::int64_t>(samples.size()));
    if (!window.draw)
        return; // the last trace stays until a trigger comes
    const int width = pbxScope->width();
    const int height = pbxScope->height();
    if (!engine::computeScopeTrace(m, width, height, tbZoom->value(), tbZoomPosition->value(),
                                   *scopeTrace_, static_cast<int>(AudioIn1->FrameRate()),
                                   window.firstSample))
        return;
    display::drawScopeTrace(pbxScope->canvas(), imgPhantomScopeGrid.canvas(), height, *scopeTrace_,
                            scopeErase_, scopeSettings_.style);
}

} // namespace app
