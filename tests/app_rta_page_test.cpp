// The octave-band page in the window: grid and curve from the settings
// dialog's fields and colours, the measurement of each block, slot 0, stored
// curves, and what bad axis fields do.

#include "app/frm_main.h"
#include "app/message_box.h"
#include "app/string_table.h"

#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "settings/colour_table.h"
#include "settings/settings_dialog.h"
#include "settings/store_path.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

using app::TfrmMain;
using engine::RGB;
using engine::TColor;

namespace {

using apptest::gState;

constexpr TColor kGridGreen = RGB(0, 128, 0);

using apptest::sineBlock;

class RtaPageTest : public apptest::WindowTest {
protected:
    void TearDown() override
    {
        if (window)
            window->setSettingsDialog(nullptr);
        dialog.reset();
        WindowTest::TearDown();
    }

    // The window with its settings dialog, wired as the program wires them.
    TfrmMain& create()
    {
        WindowTest::create();
        settings::TfrmSettings::Hooks hooks;
        hooks.text = [](int number) { return app::LoadStr(number); };
        dialog = std::make_unique<settings::TfrmSettings>(window.get(), gState.colours,
                                                          gState.measurement.Window, hooks);
        window->setSettingsDialog(dialog.get());
        window->show();
        // Start-up builds the plan before the preferred frequencies exist;
        // START sets the page up afresh, and so does this.
        window->pgcAnalyzersChange();
        settle();
        messages.clear(); // a machine without sound cards is told so at start-up
        return *window;
    }

    void setLevelFields(const char* max, const char* min, const char* step)
    {
        dialog->txtYAxisMax->setText(max);
        dialog->txtYAxisMin->setText(min);
        dialog->txtYAxisStep->setText(step);
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // The page as the screen shows it, in page pixels (the grid box's own).
    QImage page()
    {
        settle();
        return window->tabOctave->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static TColor at(const QImage& image, int x, int y)
    {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    const engine::MeasurementState& measurement() const { return gState.measurement; }
    const memories::SpectrumRec& slot(int s) const { return gState.memory.RTAMemRecord[s]; }
    int bandRow(int band) const { return measurement().NewPoints[1][band]; }

    std::unique_ptr<settings::TfrmSettings> dialog;
};

} // namespace

TEST_F(RtaPageTest, PictureShowsGridLabelsAndAToneOnTheLineOfItsLevel)
{
    TfrmMain& w = create();
    // A 1 kHz sine of peak 1000 through the Hann window: band 18 holds
    // 1000 x 8192 x sqrt(3/16), about 131.0 dB; the axis runs from 100 to 180.
    setLevelFields("180", "100", "10");
    w.pbxOctGrid->Repaint();
    feed(sineBlock(1000, 1000));
    const QImage shot = page();

    const double level = 20 * std::log10(1000 * 8192 * std::sqrt(3.0 / 16));
    // 100 dB lies on row 425, 4.8125 rows per dB above it.
    const double gridRow = 425 - (level - 100) * 4.8125;
    const int stepRow = bandRow(18) + 48;
    EXPECT_NEAR(stepRow, gridRow, 1.0) << "the step reads its level off the axis";
    for (int x = 402; x < 424; ++x)
        EXPECT_EQ(at(shot, x, stepRow), engine::clWhite) << "band 18 at x " << x;
    // The tone's band is the highest: nothing white above it in the plot.
    int whiteAbove = 0;
    for (int y = 41; y < stepRow - 1; ++y)
        for (int x = 41; x < 699; ++x)
            whiteAbove += at(shot, x, y) == engine::clWhite;
    EXPECT_EQ(whiteAbove, 0);

    EXPECT_EQ(at(shot, 45, 60), engine::clBlack) << "background";
    EXPECT_EQ(at(shot, 40, 200), RGB(0, 255, 0)) << "left axis";
    EXPECT_EQ(at(shot, 45, 281), kGridGreen) << "130 dB line, inside the graph";
    EXPECT_EQ(at(shot, 20, 232), engine::clBlack) << "left of the labels";
    // Glyphs of the labels "130" and "1k" and of the titles.
    auto inkIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += qRed(shot.pixel(x, y)) > 64;
        return n;
    };
    EXPECT_GT(inkIn(18, 273, 38, 290), 20);
    EXPECT_GT(inkIn(414, 430, 430, 452), 20);
    EXPECT_GT(inkIn(0, 150, 20, 320), 40);
    EXPECT_GT(inkIn(330, 440, 410, 465), 30);

    // Slot 0 keeps the block: rows before averaging and the points drawn.
    EXPECT_EQ(slot(0).l, measurement().OctBands);
    EXPECT_EQ(slot(0).coordinates, measurement().NewPoints);
    EXPECT_EQ(slot(0).bands, 32);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();

    // The grid takes the colour table's entries at its next paint.
    gState.colours.GraphColors = settings::kLightColours;
    w.pbxOctGrid->Repaint();
    const QImage light = page();
    EXPECT_EQ(at(light, 45, 60), display::fromQColor(display::toQColor(engine::clBtnFace)));
    EXPECT_EQ(at(light, 45, 281), RGB(128, 128, 128));
    EXPECT_EQ(at(light, 40, 200), display::fromQColor(display::toQColor(engine::clWindowText)));
    gState.colours.GraphColors = settings::kStandardColours;
}

TEST_F(RtaPageTest, BadAxisFieldsKeepTheLastScaleAndNeverShowAMessage)
{
    TfrmMain& w = create();
    setLevelFields("180", "100", "10");
    w.pbxOctGrid->Repaint();
    feed(sineBlock(1000, 1000));
    const int validRow = bandRow(18);

    // Grid pixels in column 45 (level lines) and along row 60 (frequency lines).
    auto levelLinePixels = [&] {
        const QImage shot = page();
        int n = 0;
        for (int y = 41; y < 425; ++y)
            n += at(shot, 45, y) == kGridGreen;
        return n;
    };
    auto frequencyLinePixels = [&] {
        const QImage shot = page();
        int n = 0;
        for (int x = 41; x < 699; ++x)
            n += at(shot, x, 60) == kGridGreen;
        return n;
    };

    const struct {
        const char *max, *min, *step, *xMin, *xMax;
        bool levelLines, frequencyLines;
    } cases[] = {
        {"180", "180", "10", "20", "20000", false, true}, // equal limits
        {"18x", "100", "10", "20", "20000", false, true}, // the user is typing
        {"", "100", "10", "20", "20000", false, true},
        {"180", "-", "10", "20", "20000", false, true},
        {"180", "100", "0", "20", "20000", false, true},   // a step of 0
        {"180", "100", "10", "1000", "1000", true, false}, // equal frequency limits
        {"180", "100", "10", "0", "20000", true, false},
        {"180", "100", "10", "abc", "20000", true, false},
        {"180", "100", "10", "20", "-5", true, false},
        {"$B4", "$64", "$A", "20", "20000", true, true}, // 180, 100, 10 in hexadecimal
    };
    for (const auto& c : cases) {
        setLevelFields(c.max, c.min, c.step);
        dialog->txtXAxisMin->setText(c.xMin);
        dialog->txtXAxisMax->setText(c.xMax);
        w.pbxOctGrid->Repaint();
        for (int b = 0; b < 3; ++b)
            feed(sineBlock(1000, 1000));
        const std::string what =
            std::string(c.max) + " " + c.min + " " + c.step + " " + c.xMin + " " + c.xMax;
        EXPECT_EQ(bandRow(18), validRow) << what;
        EXPECT_EQ(levelLinePixels() > 0, c.levelLines) << what;
        EXPECT_EQ(frequencyLinePixels() > 0, c.frequencyLines) << what;
    }
    settle();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(RtaPageTest, ArithmeticFailureIsReportedOncePerActivationAfterTheBlock)
{
    TfrmMain& w = create();
    // 3.85e32 pixels per dB: every row of a tone lies beyond 32 bits.
    setLevelFields("1e-30", "0", "10");
    feed(sineBlock(1000, 1000));
    EXPECT_TRUE(messages.isEmpty()) << "not inside the block handler";
    for (int b = 0; b < 4; ++b)
        feed(sineBlock(1000, 1000));
    settle();
    EXPECT_EQ(messages.join('|').toStdString(), "Oi, error!");

    w.pgcAnalyzersChange(); // what START does before a capture
    for (int b = 0; b < 3; ++b)
        feed(sineBlock(1000, 1000));
    settle();
    EXPECT_EQ(messages.join('|').toStdString(), "Oi, error!|Oi, error!");
}

TEST_F(RtaPageTest, StoredSlotOfACoarserPlanIsDrawnWithItsOwnColumns)
{
    TfrmMain& w = create();
    setLevelFields("180", "100", "10");
    w.cboOctaveType->setCurrentIndex(0); // "1 Octave"
    w.cboOctaveTypeChange();
    feed(sineBlock(1000, 1000));
    gState.memory.RTAMemRecord[0].HasData = true; // as START marks it

    // Store into slot 1, then show slot 1 alone, in red.
    w.btnStore->setChecked(true);
    w.mem1Click(w.mem[1]);
    ASSERT_TRUE(slot(1).HasData);
    gState.memory.RTAMemRecord[1].Color = RGB(255, 0, 0);
    // Slots that must not be drawn: data but button up, button down but no data.
    gState.memory.RTAMemRecord[2] = slot(1);
    gState.memory.RTAMemRecord[2].Color = RGB(0, 0, 255);
    gState.memory.RTAMemRecord[3].Color = RGB(255, 0, 255);
    gState.memory.RTAMemRecord[3].coordinates = slot(1).coordinates;
    gState.memory.RTAMemRecord[3].bands = 12;
    w.mem0->setChecked(false);
    w.mem[1]->setChecked(true);
    w.mem[3]->setChecked(true);
    w.mem1Click(w.mem[1]);

    w.cboOctaveType->setCurrentIndex(1); // "1/3 Octave": repaints the grid
    w.cboOctaveTypeChange();
    ASSERT_EQ(slot(0).bands, 32);
    ASSERT_EQ(slot(1).bands, 12);
    const QImage shot = page();

    // Band 7 (900 Hz .. 1800 Hz) spans one octave column, x 362 .. 428 of
    // the graph, at one row: the third-octave plan has three columns there.
    const int row = slot(1).coordinates[1][7] + 48;
    EXPECT_EQ(slot(1).coordinates[0][6], 362);
    EXPECT_EQ(slot(1).coordinates[0][7], 428);
    for (int x = 362; x < 428; ++x)
        ASSERT_EQ(at(shot, x + 40, row), RGB(255, 0, 0)) << x;
    int others = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            others += at(shot, x, y) == RGB(0, 0, 255) || at(shot, x, y) == RGB(255, 0, 255);
    EXPECT_EQ(others, 0);
}

TEST_F(RtaPageTest, PinkNoiseCaptureGivesALevelStaircaseInsideTheDefaultAxis)
{
    capture::registerTestSignal("pink");
    TfrmMain& w = create();
    const int entry = w.WaveDevice->findText("Test signal: pink");
    ASSERT_GE(entry, 1);
    w.WaveDevice->setCurrentIndex(entry);
    w.WaveDeviceChange();
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 4; }, 15000));
    w.btnONOFFClick();

    // Equal power per relative bandwidth: above 200 Hz, where every band
    // holds many bins, the levels agree within a few dB, inside 20 .. 100 dB.
    const float oneDB = measurement().OneDB;
    const float zero = measurement().ZerodBPoint;
    double lowest = 1e9;
    double highest = -1e9;
    for (int band = 12; band <= 31; ++band) {
        const double db = (zero - slot(0).l[band]) / oneDB;
        lowest = std::min(lowest, db);
        highest = std::max(highest, db);
    }
    EXPECT_GT(lowest, 55.0);
    EXPECT_LT(highest, 80.0);
    EXPECT_LT(highest - lowest, 8.0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}
