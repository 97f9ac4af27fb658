// The main window at any size: its controls follow form_layout.h, and the
// pages' geometry (band columns, bins, grids and their snapshots) follows
// their graphs at once, also during a capture.

#include "form_widgets.h"
#include "frm_main.h"

#include "engine/fft_block.h"
#include "engine/rta_curve.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <climits>

namespace app {
namespace {

int textWidth(const QLabel* label)
{
    return label ? label->sizeHint().width() : 0;
}

void placeLabel(QLabel* label, QPoint at)
{
    if (!label)
        return;
    label->move(at);
    label->adjustSize();
}

} // namespace

FormTextWidths TfrmMain::formTextWidths() const
{
    FormTextWidths t;
    t.inputLabel = textWidth(lblinput);
    t.fftAxis = textWidth(lblFftAxis);
    t.fftFrequency = textWidth(lblFftFrequency);
    t.fftLevel = textWidth(lblFftLevel);
    t.fftLength = textWidth(lblFftLength);
    return t;
}

void TfrmMain::layOutForm()
{
    if (!pgcAnalyzers || !txtComment)
        return; // still being built
    const FormLayout f = formLayout(centralWidget()->size(), formTextWidths());
    placeLabel(lblinput, f.lblinput);
    WaveDevice->setGeometry(f.WaveDevice);
    btnRecheck->setGeometry(f.WaveDevice);
    btnVolumeControl->setGeometry(f.btnVolumeControl);
    pgcAnalyzers->setGeometry(f.pgcAnalyzers);
    if (lblWeighting) {
        placeLabel(lblWeighting, f.lblWeighting);
        cboWeighting->setGeometry(f.cboWeighting);
        placeLabel(lblRtaCurve, f.lblRtaCurve);
        cboRtaCurve->setGeometry(f.cboRtaCurve);
        btnResetLevels->setGeometry(f.btnResetLevels);
        meterStrip->setGeometry(f.meterStrip);
    }
    placeLabel(lblComment, f.lblComment);
    txtComment->setGeometry(f.txtComment);
}

void TfrmMain::layOutPage(int page)
{
    const QWidget* area = page == 0 ? tabOctave : page == 1 ? tabFFT : tabScope;
    if (!area)
        return;
    const PageLayout l = pageLayout(area->size(), formTextWidths());
    switch (page) {
    case 0:
        if (!pbxOctaveGraph)
            return;
        shpGraphBackground->setGeometry(l.shpGraphBackground);
        pbxOctGrid->setGeometry(l.pbxOctGrid);
        pbxOctaveGraph->setGeometry(l.pbxOctaveGraph);
        if (lblRtaReadout)
            lblRtaReadout->setGeometry(l.readout);
        rtaGeometryChanged();
        break;
    case 1:
        if (!pbxFFTGraph)
            return;
        pbxFFTGrid->setGeometry(l.pbxFFTGrid);
        pbxFFTGraph->setGeometry(l.pbxFFTGraph);
        lblCursor->setGeometry(l.readout);
        if (cboFftLength) {
            const FftStripLayout& s = l.fftStrip;
            placeLabel(lblFftAxis, s.axisLabel);
            cboFftAxis->setGeometry(s.axis);
            placeLabel(lblFftFrequency, s.frequencyLabel);
            txtFftFrom->setGeometry(s.from);
            txtFftTo->setGeometry(s.to);
            placeLabel(lblFftLevel, s.levelLabel);
            txtFftTop->setGeometry(s.top);
            txtFftRange->setGeometry(s.range);
            placeLabel(lblFftLength, s.lengthLabel);
            cboFftLength->setGeometry(s.length);
        }
        fftGeometryChanged();
        break;
    case 2:
        if (!grpTrigger)
            return;
        pbxScopeAxes->setGeometry(l.pbxScopeAxes);
        Shape1->setGeometry(l.Shape1);
        pbxScope->setGeometry(l.pbxScope);
        GroupBox3->setGeometry(l.GroupBox3.translated(l.scopeColumn.topLeft()));
        grpTrigger->setGeometry(l.grpTrigger.translated(l.scopeColumn.topLeft()));
        if (lblScopeReadout)
            lblScopeReadout->setGeometry(l.readout);
        // The grid and its snapshot at the new size before the next block
        // draws over them.
        if (pbxScope->isVisible())
            pbxScope->Repaint();
        break;
    default:
        break;
    }
}

void TfrmMain::rtaGeometryChanged()
{
    if (pgcAnalyzers->currentIndex() != 0 || state_.bandPlan.validbands < 3)
        return;
    const engine::RtaGeometry g = rtaGeometry();
    engine::MeasurementState& m = state_.measurement;
    const RtaSettings settings = rtaSettings();
    const auto n = static_cast<std::size_t>(state_.bandPlan.validbands);
    m.Columnwidth = static_cast<double>(static_cast<long double>(g.graphWidth) /
                                        static_cast<long double>(n - 2));
    engine::layOutBandColumns(std::span(state_.bandPlan.OctBinBorderList).first(n),
                              engine::rtaFrequencyAxis(settings.xAxisMin, settings.xAxisMax, g), g,
                              m.NewPoints[0]);
    if (pbxOctGrid->isVisible())
        pbxOctGrid->Repaint();
}

void TfrmMain::fftGeometryChanged()
{
    if (pgcAnalyzers->currentIndex() != 1)
        return;
    const auto frameRate = std::min<capture::DWORD>(AudioIn1->FrameRate(), INT_MAX);
    engine::setUpFftTab(state_.measurement, pbxFFTGraph->width(), static_cast<int>(frameRate));
    if (pbxFFTGrid->isVisible())
        pbxFFTGrid->Repaint();
}

void TfrmMain::openAtSize(std::optional<QSize> requested, bool maximized)
{
    // Without a size asked for, the window opens as it was left, or at the
    // form's size, as far as the screen's free area takes it: the default
    // size at a device pixel ratio of 2 on a small screen shrinks to it.
    const bool fit = !requested && !maximized;
    if (fit) {
        requested = loadedSettings_.size;
        maximized = loadedSettings_.maximized;
    }
    resize(requested.value_or(sizeHint()));
    const QScreen* screen = QGuiApplication::screenAt(pos() + QPoint(40, 20));
    if (fit && screen) {
        const QRect free = screen->availableGeometry();
        const QSize frame = frameGeometry().size() - geometry().size();
        const QSize fits = (free.size() - frame).boundedTo(size());
        if (fits != size()) {
            resize(fits);
            move(free.topLeft());
        }
    }
    if (maximized) {
        // Where no window manager maximises (a bare X server), the window
        // still covers the screen's free area.
        if (screen)
            setGeometry(screen->availableGeometry());
        showMaximized();
    } else {
        show();
    }
}

} // namespace app
