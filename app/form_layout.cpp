#include "form_layout.h"

#include <algorithm>

namespace app {
namespace {

// The input list grows with the window up to this much beyond its old 132
// pixels, so that long device names read whole.
constexpr int kInputGrowth = 168;
// Its width in the comment row.
constexpr int kInputBelowWidth = 150;
constexpr int kVolumeWidth = 26;

// The FFT page's axis fields as the old page had them; they need the grid
// this wide.
constexpr int kFftStripEnd = 674;
constexpr int kFftStripMargin = 8;

FftStripLayout defaultFftStrip()
{
    FftStripLayout s;
    s.axisLabel = {104, 11};
    s.axis = {140, 8, 104, 21};
    s.frequencyLabel = {254, 11};
    s.from = {292, 8, 52, 21};
    s.to = {348, 8, 52, 21};
    s.levelLabel = {410, 11};
    s.top = {472, 8, 40, 21};
    s.range = {516, 8, 40, 21};
    s.lengthLabel = {566, 11};
    s.length = {604, 8, 70, 21};
    return s;
}

// The same closed up: each label 4 pixels before its fields, 6 between the
// groups, the fields as narrow as their longest value allows.
FftStripLayout closedFftStrip(const FormTextWidths& t)
{
    FftStripLayout s;
    int x = 100;
    auto labelAt = [&x](int width) {
        const QPoint p(x, 11);
        x += width + 4;
        return p;
    };
    auto field = [&x](int width, int gap) {
        const QRect r(x, 8, width, 21);
        x += width + gap;
        return r;
    };
    s.axisLabel = labelAt(t.fftAxis);
    s.axis = field(96, 6);
    s.frequencyLabel = labelAt(t.fftFrequency);
    s.from = field(46, 2);
    s.to = field(46, 6);
    s.levelLabel = labelAt(t.fftLevel);
    s.top = field(36, 2);
    s.range = field(36, 6);
    s.lengthLabel = labelAt(t.fftLength);
    s.length = field(62, 0);
    return s;
}

} // namespace

FormLayout formLayout(QSize client, const FormTextWidths& texts)
{
    const QSize c = client.expandedTo(kMinimumClient);
    const int dx = c.width() - kDefaultClient.width();
    const int dy = c.height() - kDefaultClient.height();
    FormLayout f;
    f.client = c;

    f.pgcAnalyzers = QRect(0, 49, c.width(), c.height() - 49 - 82);

    f.lblWeighting = {8, 569 + dy};
    f.cboWeighting = {78, 564 + dy, 44, 21};
    f.lblRtaCurve = {132, 569 + dy};
    f.cboRtaCurve = {170, 564 + dy, 86, 21};
    f.btnResetLevels = {262, 564 + dy, 50, 21};
    f.meterStrip = {320, 562 + dy, c.width() - 4 - 320, 25};

    f.lblComment = {8, 599 + dy};
    const int commentTop = 594 + dy;
    f.inputBelow = dx < 0;
    if (!f.inputBelow) {
        f.lblinput = {588, 3};
        f.WaveDevice = {588, 18, 132 + std::min(dx, kInputGrowth), 21};
        f.btnVolumeControl = {f.WaveDevice.x() + f.WaveDevice.width() + 1, 18, kVolumeWidth, 21};
        f.txtComment = {78, commentTop, c.width() - 82, 21};
    } else {
        f.btnVolumeControl = {c.width() - 4 - kVolumeWidth, commentTop, kVolumeWidth, 21};
        f.WaveDevice = {f.btnVolumeControl.left() - 1 - kInputBelowWidth, commentTop,
                        kInputBelowWidth, 21};
        f.lblinput = {f.WaveDevice.left() - 4 - texts.inputLabel, commentTop + 5};
        f.txtComment = {78, commentTop, f.lblinput.x() - 10 - 78, 21};
    }
    return f;
}

PageLayout pageLayout(QSize page, const FormTextWidths& texts)
{
    const QSize p = page.expandedTo(QSize(1, 1));
    const int dx = p.width() - kDefaultPage.width();
    const int dy = p.height() - kDefaultPage.height();
    PageLayout l;
    l.shpGraphBackground = {0, 0, 739 + dx, 467 + dy};
    l.pbxOctGrid = {0, 0, 739 + dx, 465 + dy};
    l.pbxOctaveGraph = {40, 40, 659 + dx, 386 + dy};

    l.pbxFFTGrid = {0, 0, 739 + dx, 467 + dy};
    l.pbxFFTGraph = {40, 40, 659 + dx, 387 + dy};
    l.fftStrip = l.pbxFFTGrid.width() >= kFftStripEnd + kFftStripMargin ? defaultFftStrip()
                                                                        : closedFftStrip(texts);

    l.pbxScopeAxes = {0, 0, 497 + dx, 467 + dy};
    l.Shape1 = {68, 3, 417 + dx, 418 + dy};
    l.pbxScope = {76, 12, 401 + dx, 401 + dy};
    // The groups stand 8 pixels inside their column, the column reaches the
    // page's right edge less a margin for its scroll bar.
    l.scopeColumn = {489 + dx, 0, 250, 468 + dy};
    l.GroupBox3 = {8, 12, 222, 160};
    l.grpTrigger = {8, 180, 222, 166};

    l.readout = {4, 468 + dy, 735 + dx, kReadoutHeight};
    return l;
}

} // namespace app
