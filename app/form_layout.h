#pragma once
// Where the main window's controls go for a client area of any size. At the
// default size everything lies where the old fixed form put it, the pages
// holding one readout line more at their bottom; larger, the pages' graphs
// take the space, the rows under the pages and the controls at the right
// edges follow; narrower than the default, the input selector moves from the
// top row to the right end of the comment row and the FFT page's axis fields
// close up. Rectangles are pixels of the client area, of a page for the
// page's own controls. Pure: sizes in, rectangles out; any thread.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace app {

// The old form's client area with the pages' readout line added.
inline constexpr int kReadoutHeight = 17;
inline constexpr QSize kDefaultClient{747, 626 + kReadoutHeight};
// The smallest client area that keeps every control usable: it fits a
// 640 x 512 screen (1280 x 1024 at a device pixel ratio of 2) with the menu
// bar and the status line.
inline constexpr QSize kMinimumClient{632, 440};

// The window sizes --size accepts, menu bar and status line included: about
// the smallest client area with both, and the widest oscilloscope screen a
// trace can cover (engine::kScopeMaxColumns).
inline constexpr QSize kMinimumWindow{632, 480};
inline constexpr QSize kMaximumWindow{4096, 4096};

// Text widths the layout needs, in pixels of the window's font.
struct FormTextWidths {
    int inputLabel = 30;   // "Eingang"
    int fftAxis = 32;      // "Achse"
    int fftFrequency = 34; // "f [Hz]"
    int fftLevel = 56;     // "Pegel [dB]"
    int fftLength = 36;    // "Länge"
};

// The FFT page's axis fields over its grid; labels by their top-left corner.
struct FftStripLayout {
    QPoint axisLabel;
    QRect axis;
    QPoint frequencyLabel;
    QRect from, to;
    QPoint levelLabel;
    QRect top, range;
    QPoint lengthLabel;
    QRect length;
};

struct FormLayout {
    QSize client;
    // Top row: the input selector (and the device list's re-check button in
    // its place), or in the comment row when inputBelow.
    bool inputBelow = false;
    QPoint lblinput;
    QRect WaveDevice;
    QRect btnVolumeControl;
    QRect pgcAnalyzers;
    // The level row and the comment row under the pages.
    QPoint lblWeighting;
    QRect cboWeighting;
    QPoint lblRtaCurve;
    QRect cboRtaCurve;
    QRect btnResetLevels;
    QRect meterStrip;
    QPoint lblComment;
    QRect txtComment;
};

// The size of a page at the default client size: the old page and the
// readout line.
inline constexpr QSize kDefaultPage{743, 468 + kReadoutHeight};

// The oscilloscope page's groups need this height above its readout line;
// a lower page scrolls.
inline constexpr int kScopePageMinimumHeight = 346 + 4 + kReadoutHeight;

// A page's contents for a page of `page` pixels, in page pixels: at
// kDefaultPage where the old pages had them.
struct PageLayout {
    QRect shpGraphBackground, pbxOctGrid, pbxOctaveGraph;
    QRect pbxFFTGrid, pbxFFTGraph;
    FftStripLayout fftStrip;
    QRect pbxScopeAxes, Shape1, pbxScope;
    // The oscilloscope's two groups, in the column that holds them (which
    // scrolls when the page is too low for them).
    QRect scopeColumn;
    QRect GroupBox3, grpTrigger; // in the column
    // The readout line at the bottom of every page.
    QRect readout;
};

// The layout of a client area `client` (sizes below kMinimumClient count as
// it) with text widths `texts`.
FormLayout formLayout(QSize client, const FormTextWidths& texts = {});
// The same for a page (no size below 1 x 1 counts).
PageLayout pageLayout(QSize page, const FormTextWidths& texts = {});

} // namespace app
