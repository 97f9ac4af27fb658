// The settings dialog's controls: places and sizes in pixels, as the dialog has always had them,
// and the layout's own texts, which the string table replaces when the dialog is created.

#include "settings/settings_dialog.h"

#include "settings/axis_defaults.h"

#include "display/shape.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace settings {

namespace {

// Where the dialog's window appears, and its fixed client size.
constexpr QPoint kScreenPosition(231, 139);
constexpr QSize kClientSize(313, 323);
constexpr int kLabelHeight = 13;
constexpr int kEditHeight = 21;
// The dialog was laid out for text 11 pixels high. Group frames have their top line running
// through the middle of the title, so that the controls placed just below the title sit inside.
// Scoped to the dialog's own controls: the colour dialog opened over it keeps the desktop's look.
constexpr auto kStyle =
    "#pgcSettings, #pgcSettings *, #btnClose, #btnDefault { font-size: 11px; }"
    "#pgcSettings QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
    " margin-top: 6px; }"
    "#pgcSettings QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 1px; }";

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A label sized to its text, as a label that sizes itself.
QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    result->move(left, top);
    result->resize(result->sizeHint().width(), kLabelHeight);
    return result;
}

QLineEdit* edit(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    return place(new QLineEdit(text, parent), name, left, top, 49, kEditHeight);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int left, int top,
                    int width, int height)
{
    auto* result = place(new QPushButton(text, parent), name, left, top, width, height);
    // Return in a field must not press whichever button Qt would make the default.
    result->setAutoDefault(false);
    return result;
}

} // namespace

void TfrmSettings::buildControls()
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setStyleSheet(QLatin1String(kStyle));
    setFixedSize(kClientSize);
    move(kScreenPosition);

    m_pages =
        place(new QTabWidget(this), "pgcSettings", 0, 0, kClientSize.width(), kClientSize.height());
    tabGraph = new QWidget;
    tabGraph->setObjectName(QStringLiteral("tabGraph"));
    tabDSP = new QWidget;
    tabDSP->setObjectName(QStringLiteral("tabDSP"));
    m_pages->addTab(tabGraph, layoutText(TextId::Graph));
    m_pages->addTab(tabDSP, layoutText(TextId::Processing));

    grpScales =
        place(new QGroupBox(layoutText(TextId::Scales), tabGraph), "grpScales", 9, 9, 117, 136);
    lblYAxisMax = label(grpScales, "lblYAxisMax", layoutText(TextId::YAxisMax), 15, 14);
    txtYAxisMax = edit(grpScales, "txtYAxisMax", startText(kYAxisMaxStart), 14, 27);
    label(grpScales, "lblYAxisMaxUnit", QStringLiteral("dB"), 66, 30);
    lblYAxisMin = label(grpScales, "lblYAxisMin", layoutText(TextId::YAxisMin), 15, 49);
    txtYAxisMin = edit(grpScales, "txtYAxisMin", startText(kYAxisMinStart), 14, 61);
    label(grpScales, "lblYAxisMinUnit", QStringLiteral("dB"), 66, 64);
    lblYAxisStep = label(grpScales, "lblYAxisStep", layoutText(TextId::YAxisStep), 15, 83);
    txtYAxisStep = edit(grpScales, "txtYAxisStep", startText(kYAxisStepStart), 14, 95);
    label(grpScales, "lblYAxisStepUnit", QStringLiteral("dB"), 66, 98);
    // Past the group's right edge, so never seen, yet stored, restored and read by the view.
    label(grpScales, "lblXAxisMax", QStringLiteral("X Axis Maximum"), 201, 14);
    txtXAxisMax = edit(grpScales, "txtXAxisMax", startText(kXAxisMaxStart), 201, 27);
    label(grpScales, "lblXAxisMaxUnit", QStringLiteral("Hz"), 253, 30);
    label(grpScales, "lblXAxisMin", QStringLiteral("X Axis Minimum"), 201, 49);
    txtXAxisMin = edit(grpScales, "txtXAxisMin", startText(kXAxisMinStart), 201, 61);
    label(grpScales, "lblXAxisMinUnit", QStringLiteral("Hz"), 253, 64);
    // Out of sight, so out of the Tab key's reach too: nobody should type into them blind.
    txtXAxisMax->setFocusPolicy(Qt::NoFocus);
    txtXAxisMin->setFocusPolicy(Qt::NoFocus);

    grpColors =
        place(new QGroupBox(layoutText(TextId::Colours), tabGraph), "grpColors", 9, 151, 283, 85);
    lstColors = place(new QComboBox(grpColors), "lstColors", 12, 19, 185, kEditHeight);
    for (int entry = 1; entry <= kColourCount; ++entry)
        lstColors->addItem(QLatin1String(kColourListTexts[std::size_t(entry)]));
    lstColors->setCurrentIndex(-1);
    ColourSample = place(new display::Shape(grpColors), "ColourSample", 12, 49, 32, 22);
    btnChange = button(grpColors, "btnChange", layoutText(TextId::Change), 50, 48, 67, 23);
    btnStandardCol =
        button(grpColors, "btnStandardCol", layoutText(TextId::Standard), 121, 48, 81, 23);
    btnLightCol = button(grpColors, "btnLightCol", layoutText(TextId::Light), 205, 48, 69, 23);

    grpReference = place(new QGroupBox(layoutText(TextId::Reference), tabGraph), "grpReference",
                         135, 9, 157, 136);
    cboReference = place(new QComboBox(grpReference), "cboReference", 12, 27, 133, kEditHeight);
    cboReference->addItems({layoutText(TextId::ReferenceDbfs), layoutText(TextId::ReferenceSpl),
                            layoutText(TextId::ReferenceRaw)});
    lblCalibration =
        label(grpReference, "lblCalibration", layoutText(TextId::NotCalibrated), 12, 58);
    lblCalibration->setWordWrap(true);
    lblCalibration->resize(133, 60);
    lblCalibration->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    grpFFTSettings =
        place(new QGroupBox(QStringLiteral(" FFT "), tabDSP), "grpFFTSettings", 3, 3, 189, 98);
    lblWindowing = label(grpFFTSettings, "lblWindowing", layoutText(TextId::Window), 10, 15);
    // Wide enough to show "Blackman-Harris" whole.
    cboWindowing = place(new QComboBox(grpFFTSettings), "cboWindowing", 9, 28, 120, kEditHeight);
    cboWindowing->addItems({QStringLiteral("Rectangular"), QStringLiteral("Hann"),
                            QStringLiteral("Hamming"), QStringLiteral("Blackman-Harris")});
    cboWindowing->setCurrentIndex(1);

    // Never shown and never filled: its selection (none) is stored and read back.
    lblInput = label(tabDSP, "lblInput", layoutText(TextId::Input), 10, 110);
    lblInput->hide();
    WaveDevice1 = place(new QComboBox(tabDSP), "WaveDevice1", 9, 123, 180, kEditHeight);
    WaveDevice1->hide();

    // The defaults' button is never shown; its handler is the fallback when loading fails.
    btnDefault = button(this, "btnDefault", layoutText(TextId::Standard), 135, 278, 75, 25);
    btnDefault->hide();
    btnClose = button(this, "btnClose", layoutText(TextId::Close), 221, 278, 75, 25);
    btnClose->raise();
}

} // namespace settings
