// The octave-band page in the window: grid and curve from the settings
// dialog's fields and colours, the measurement of each block, slot 0, stored
// curves, and what bad axis fields do.

#include "app/frm_main.h"
#include "app/message_box.h"
#include "app/string_table.h"

#include "app/frm_calibration.h"
#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "display/level_meter_strip.h"
#include "engine/level_scale.h"
#include "settings/colour_table.h"
#include "settings/settings_dialog.h"
#include "settings/store_path.h"

#include "app_test_support.h"
#include "capture_test_support.h"
#include "qt_events.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
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

    // The window with its settings dialog, wired as the program wires them;
    // the levels read in `reference` (most cases check the raw unit's rows).
    TfrmMain& create(engine::LevelReference reference = engine::LevelReference::Raw)
    {
        WindowTest::create();
        settings::TfrmSettings::Hooks hooks;
        hooks.text = [](int number) { return app::LoadStr(number); };
        dialog = std::make_unique<settings::TfrmSettings>(window.get(), gState.colours,
                                                          gState.measurement.Window, hooks);
        window->setSettingsDialog(dialog.get());
        window->changeLevelSettings(
            [reference](settings::LevelSettings& s) { s.reference = reference; });
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
    const int stepRow = bandRow(18) + 40;
    EXPECT_NEAR(stepRow, gridRow, 1.0) << "the step reads its level off the axis";
    // Band 18 (850 .. 1060 Hz) stands over the 1k line, page column 413.
    const auto& x = measurement().NewPoints[0];
    EXPECT_LT(x[17] + 40, 413);
    EXPECT_GT(x[18] + 40, 413);
    for (int px = x[17] + 40; px < x[18] + 40; ++px)
        EXPECT_EQ(at(shot, px, stepRow), engine::clWhite) << "band 18 at x " << px;
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

    // Slot 0 keeps the block: rows before averaging, the points drawn and
    // the levels they show.
    EXPECT_EQ(slot(0).l, measurement().OctBands);
    EXPECT_NEAR(slot(0).levels[18], level, 0.01);
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

    // Band 7 (900 Hz .. 1800 Hz) spans its octave on the axis, x 363 .. 429
    // of the graph, at one row: the third-octave plan has three bands there.
    const int row = slot(1).coordinates[1][7] + 40;
    EXPECT_EQ(slot(1).coordinates[0][6], 363);
    EXPECT_EQ(slot(1).coordinates[0][7], 429);
    for (int x = 363; x < 429; ++x)
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
    TfrmMain& w = create(engine::LevelReference::Dbfs);
    const int entry = w.WaveDevice->findText("Test signal: pink");
    ASSERT_GE(entry, 1);
    w.WaveDevice->setCurrentIndex(entry);
    w.WaveDeviceChange();
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 4; }, 15000));
    w.btnONOFFClick();

    // Equal power per relative bandwidth: above 200 Hz, where every band
    // holds many bins, the levels agree within a few dB, inside the axis of a
    // new store, -100 .. 0 dBFS.
    const float oneDB = measurement().OneDB;
    const float zero = measurement().ZerodBPoint;
    double lowest = 1e9;
    double highest = -1e9;
    for (int band = 12; band <= 31; ++band) {
        const double db = (zero - slot(0).l[band]) / oneDB;
        lowest = std::min(lowest, db);
        highest = std::max(highest, db);
    }
    EXPECT_GT(lowest, -100.0);
    EXPECT_LT(highest, -80.0);
    EXPECT_LT(highest - lowest, 8.0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(RtaPageTest, SlotZeroAndTheExportCarryTheAveragedCurveInDb)
{
    TfrmMain& w = create();
    setLevelFields("180", "100", "10");
    w.cboAveraging->setCurrentIndex(2); // "Langsam"
    w.cboAveragingChange();
    for (int b = 0; b < 60; ++b)
        feed(sineBlock(1000, 1000));
    feed(sineBlock(1000, 250));                   // 12 dB down: the average lags behind
    gState.memory.RTAMemRecord[0].HasData = true; // as START marks it
    const engine::LevelScale scale = engine::levelScaleOf(measurement());
    for (int j = 1; j < 32; ++j)
        ASSERT_EQ(engine::levelRow(slot(0).levels[j], scale, 385), bandRow(j)) << j;
    const double blockLevel = static_cast<double>(measurement().OctBandLevels[18]);
    EXPECT_NEAR(slot(0).levels[18], blockLevel + 0.8 * 12, 0.1);

    const QString path = dir.filePath("last.txt");
    ASSERT_TRUE(w.exportLastSpectrum(path).isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GT(lines.size(), 20);
    // Line 3 names the unit, line 4 is entry 0; entry 18 ends band 18 at 1060 Hz.
    EXPECT_TRUE(lines[2].startsWith("Bezug: dB (Rohwert); Bewertung: Z;"))
        << lines[2].toStdString();
    const QList<QByteArray> fields = lines[3 + 18].trimmed().split(',');
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[0].trimmed(), "1060");
    EXPECT_NEAR(fields[1].trimmed().toDouble(), slot(0).levels[18], 1e-9);
}

TEST_F(RtaPageTest, AStoredCurveStaysOnItsLevelAndBandsWhenTheAxesChange)
{
    TfrmMain& w = create();
    setLevelFields("180", "100", "10");
    w.pbxOctGrid->Repaint();
    feed(sineBlock(1000, 1000));
    gState.memory.RTAMemRecord[0].HasData = true;
    w.btnStore->setChecked(true);
    w.mem1Click(w.mem[1]);
    gState.memory.RTAMemRecord[1].Color = RGB(255, 0, 0);
    w.mem0->setChecked(false);
    w.mem[1]->setChecked(true);
    w.mem1Click(w.mem[1]);
    const double level = slot(1).levels[18]; // about 131 dB

    // The level axis from 80 to 200 dB, then also the frequency axis from
    // 100 Hz to 10 kHz: the curve is laid out anew on each.
    const struct {
        const char *yMin, *yMax, *xMin, *xMax;
        double min, max, fMin, fMax;
    } axes[] = {
        {"80", "200", "20", "20000", 80, 200, 20, 20000},
        {"80", "200", "100", "10000", 80, 200, 100, 10000},
    };
    for (const auto& a : axes) {
        setLevelFields(a.yMax, a.yMin, "10");
        dialog->txtXAxisMin->setText(a.xMin);
        dialog->txtXAxisMax->setText(a.xMax);
        w.pbxOctGrid->Repaint();
        const QImage shot = page();
        const double row = 425 - (level - a.min) * 385 / (a.max - a.min);
        // Band 18's columns: from 850 Hz to 1060 Hz on this frequency axis.
        const double d = 659 / (std::log10(a.fMax) - std::log10(a.fMin));
        const double x0 = std::round(-std::log10(a.fMin) * d);
        const int from = static_cast<int>(std::lround(std::log10(850.0) * d + x0)) + 40;
        const int to = static_cast<int>(std::lround(std::log10(1060.0) * d + x0)) + 40;
        int onRow = 0;
        for (int x = from + 1; x < to - 1; ++x)
            for (int y = static_cast<int>(row) - 1; y <= static_cast<int>(row) + 1; ++y)
                onRow += at(shot, x, y) == RGB(255, 0, 0);
        EXPECT_GE(onRow, to - from - 2) << a.xMin << " .. " << a.xMax << ", row " << row;
    }
}

TEST_F(RtaPageTest, ACalibratorToneGivesDbSplKeptWithTheAxisMovedAlong)
{
    capture::registerTestSignal("sine:1000:-26");
    TfrmMain& w = create(engine::LevelReference::Dbfs);
    w.WaveDevice->setCurrentIndex(w.WaveDevice->findText("Test signal: sine:1000:-26"));
    w.WaveDeviceChange();
    std::optional<engine::CalibrationResult> result;
    w.startCalibration(94.0, 1000, [&](const engine::CalibrationResult& r) { result = r; });
    ASSERT_TRUE(captest::waitUntil([&] { return result.has_value(); }, 15000));
    ASSERT_EQ(result->status, engine::CalibrationResult::Status::Done);
    EXPECT_NEAR(result->offsetDb, 120.0, 0.05);
    // dB SPL from now on, on the axis of a new store moved by the offset.
    EXPECT_EQ(dialog->levelSettings().reference, engine::LevelReference::Spl);
    EXPECT_EQ(dialog->txtYAxisMax->text(), "120");
    EXPECT_EQ(dialog->txtYAxisMin->text(), "20");
    const int before = blocks;
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= before + 2; }, 15000));
    EXPECT_NEAR(slot(0).levels[18], 94.0, 0.1);
    EXPECT_TRUE(w.levelAxisTitle().contains("dB SPL"));
    EXPECT_TRUE(w.meterStrip->readingText().contains("LZeq 94."))
        << w.meterStrip->readingText().toStdString();

    // The calibration dialog shows the kept offset.
    w.Calibrate1Click();
    ASSERT_NE(w.frmCalibration, nullptr);
    EXPECT_EQ(w.frmCalibration->txtOffset->text(), "120.00");
    if (const QString dir = qEnvironmentVariable("SPECTRION_PICTURE_DIR"); !dir.isEmpty()) {
        w.frmCalibration->showResult(*result);
        w.frmCalibration->grab().save(dir + "/calibration.png");
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(RtaPageTest, StoredCurvesAreShownInTheReferenceInForceOrNamedWhereTheyCannotBe)
{
    TfrmMain& w = create(engine::LevelReference::Dbfs);
    feed(sineBlock(1000, 8000));
    const memories::SpectrumRec& live = slot(0);
    ASSERT_EQ(live.basis, (engine::LevelBasis{engine::LevelReference::Dbfs, 0.0}));
    // The same curve as files of three days hold it: from before levels had a
    // reference (the raw unit, Hann), in dB SPL calibrated at 100 dB, and in
    // dB SPL without its calibration.
    const double raw = *engine::rtaRawMinusDbfsOfWindow(1);
    EXPECT_NEAR(raw, 161.3, 0.05);
    const struct {
        int memory;
        const char* levelsLine;
        double offset;
    } files[] = {
        {2, nullptr, raw},
        {3, "levels: Bezug: dB SPL; Bewertung: Z; Kalibriert: 100.00 dB (2026-12-08T10:00:00)",
         100},
        {4, "levels: Bezug: dB SPL; Bewertung: Z", 100},
    };
    QByteArray text = "Spectrion spectra 1\n";
    for (const auto& f : files) {
        text += "memory: " + QByteArray::number(f.memory) +
                "\ncomment: \ncolor: 0x000000FF\nstored: \nwindow: Hann\naveraging: 1\n";
        if (f.levelsLine)
            text += QByteArray(f.levelsLine) + "\n";
        text += "entries: " + QByteArray::number(live.bands) +
                "\nentry, border_Hz, level_dB, row, x, y\n";
        for (int j = 0; j < live.bands; ++j)
            text += QByteArray::number(j) + ", " + QByteArray::number(live.f[j], 'g', 17) + ", " +
                    QByteArray::number(live.levels[j] + f.offset, 'g', 17) + ", 0, 0, 0\n";
        text += "end\n";
    }
    QFile file(dir.filePath("drei.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    ASSERT_EQ(w.loadMemories(file.fileName()), "");

    // Each slot's rows as drawn now, against the live curve's.
    const auto rows = [&](int k) {
        memories::SpectrumRec& rec = gState.memory.RTAMemRecord[k];
        rec.coordinates[1].fill(-1);
        w.storeDrawnPoints(rec);
        return std::vector<int>(rec.coordinates[1].begin() + 1,
                                rec.coordinates[1].begin() + rec.bands);
    };
    const auto notes = [&] {
        QStringList n;
        for (const display::LegendEntry& e : w.rtaLegend()->entries())
            n << e.note;
        return n;
    };
    const std::vector<int> liveRows = rows(0);
    EXPECT_EQ(rows(2), liveRows) << "raw levels, 161.3 dB above dBFS";
    EXPECT_EQ(rows(3), liveRows) << "dB SPL less its calibration";
    EXPECT_EQ(rows(4), std::vector<int>(liveRows.size(), -1)) << "not drawn";
    EXPECT_EQ(notes(), QStringList({"", "", "nicht gezeigt: dB SPL nicht in dBFS umrechenbar"}));

    // In dB SPL with a calibration of 100 dB all four lie on the same rows.
    w.changeLevelSettings([](settings::LevelSettings& s) {
        s.reference = engine::LevelReference::Spl;
        s.calibrationOffsetDb = 100.0;
    });
    const std::vector<int> splRows = rows(0);
    EXPECT_NE(splRows, liveRows);
    for (int k : {2, 3, 4})
        EXPECT_EQ(rows(k), splRows) << k;
    w.pbxOctGrid->Repaint();
    EXPECT_EQ(notes(), QStringList({"", "", ""}));
}
