// The readouts under the mouse and the pinned markers on the three pages, the
// FFT page's drag zoom, a saved page picture, and a capture that keeps every
// block while the window is resized.

#include "app/frm_main.h"

#include "capture/virtual_devices.h"
#include "engine/fft_block.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using app::TfrmMain;

namespace {

using apptest::gState;
using apptest::sineBlock;

// The first number after `key` in `text`.
double numberAfter(const QString& text, const QString& key)
{
    const auto m =
        QRegularExpression(QRegularExpression::escape(key) + R"(\s*(-?[0-9.]+))").match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

class ReadoutTest : public apptest::WindowTest {
protected:
    TfrmMain& openPage(int page)
    {
        create();
        window->show();
        window->pgcAnalyzers->setCurrentIndex(page);
        engine::onCaptureStart(gState.measurement);
        return *window;
    }
};

} // namespace

TEST_F(ReadoutTest, AToneOnTheFftPageReadsItsPeakAndAMarkerKeepsIt)
{
    TfrmMain& w = openPage(1);
    // 997 Hz at -6 dBFS: between bins 170 and 171.
    for (int i = 0; i < 4; ++i)
        feed(sineBlock(997, 16384));
    const int column = static_cast<int>(std::lround(1003.0 * w.pbxFFTGraph->width() / 24000));
    const QString text = w.readingAt(1, QPoint(column, 100)).text;
    EXPECT_NEAR(numberAfter(text, "Spitze"), 997.0, 0.5) << text.toStdString();
    EXPECT_NEAR(numberAfter(text.section("Spitze", 1), "Hz,"), -6.02, 0.1) << text.toStdString();
    // The mouse's own frequency comes first.
    EXPECT_NEAR(text.section(' ', 0, 0).toDouble(), 1003, 30) << text.toStdString();

    w.graphClicked(1, QPoint(column, 100));
    ASSERT_TRUE(w.pinnedMarker(1));
    feed(sineBlock(997, 16384));
    EXPECT_TRUE(w.lblCursor->text().startsWith("Marke: Spitze 997."))
        << w.lblCursor->text().toStdString();
    w.graphClicked(1, QPoint(10, 10));
    EXPECT_FALSE(w.pinnedMarker(1));
}

TEST_F(ReadoutTest, TheRtaReadsTheBandAndTheOscilloscopeTheSample)
{
    TfrmMain& w = openPage(0);
    // As START does: the page set up with the band plan built.
    w.pgcAnalyzersChange();
    gState.memory.RTAMemRecord[0].HasData = true;
    gState.memory.RTAMemRecord[0].DrawMe = true;
    for (int i = 0; i < 3; ++i)
        feed(sineBlock(1000, 16384));
    // The 1/3-octave band from 850 to 1060 Hz holds the tone at -6 dBFS.
    int x = 0;
    while (x < w.pbxOctaveGraph->width() &&
           !w.readingAt(0, QPoint(x, 50)).text.startsWith("950 Hz"))
        ++x;
    const TfrmMain::Reading r = w.readingAt(0, QPoint(x, 50));
    EXPECT_TRUE(r.text.startsWith("950 Hz (850 – 1060 Hz)")) << r.text.toStdString();
    constexpr std::size_t band = 18; // 850 .. 1060 Hz
    EXPECT_EQ(numberAfter(r.text, "L"),
              std::round(gState.memory.RTAMemRecord[0].levels[band] * 10) / 10);
    ASSERT_TRUE(r.point);
    // A shown memory reads its own level there.
    memories::SpectrumRec& stored = gState.memory.RTAMemRecord[3];
    stored = gState.memory.RTAMemRecord[0];
    stored.levels[band] = 63.5;
    const QString withMemory = w.readingAt(0, QPoint(x, 50)).text;
    EXPECT_EQ(numberAfter(withMemory, "   3"), 63.5) << withMemory.toStdString();
    stored.HasData = false;

    w.pgcAnalyzers->setCurrentIndex(2);
    feed(std::vector<std::int16_t>(8192, -8192));
    const QString scope = w.readingAt(2, QPoint(200, 10)).text;
    EXPECT_TRUE(scope.contains("-12.0 dBFS (-8192)")) << scope.toStdString();
    EXPECT_TRUE(scope.startsWith("t = ")) << scope.toStdString();
}

TEST_F(ReadoutTest, ADragZoomsTheFftRangeAClickPinsAndADoubleClickShowsItAll)
{
    TfrmMain& w = openPage(1);
    for (const char* axis : {"Linear", "Logarithmisch"}) {
        app::FftPageSettings s = w.fftPageSettings();
        s.view.scale = std::string(axis) == "Linear" ? engine::FftAxisScale::Linear
                                                     : engine::FftAxisScale::Log;
        w.applyFftPageSettings(s);
        w.fftFullRange();
        const QString from = w.txtFftFrom->text();
        const int width = w.pbxFFTGraph->width();
        QTest::mousePress(w.pbxFFTGraph, Qt::LeftButton, {}, QPoint(width / 4, 100));
        QTest::mouseMove(w.pbxFFTGraph, QPoint(width / 2, 120));
        QTest::mouseRelease(w.pbxFFTGraph, Qt::LeftButton, {}, QPoint(width / 2, 120));
        const double lo = w.txtFftFrom->text().toDouble();
        const double hi = w.txtFftTo->text().toDouble();
        if (std::string(axis) == "Linear") {
            EXPECT_NEAR(lo, 6000, 50);
            EXPECT_NEAR(hi, 12000, 50);
        } else {
            // A quarter and half of the three decades from 20 Hz.
            EXPECT_NEAR(lo, 20 * std::pow(1200.0, 0.25), 2);
            EXPECT_NEAR(hi, 20 * std::pow(1200.0, 0.5), 5);
        }
        EXPECT_FALSE(w.pinnedMarker(1)) << "a drag pins nothing";
        QTest::mouseClick(w.pbxFFTGraph, Qt::LeftButton, {}, QPoint(50, 50));
        EXPECT_TRUE(w.pinnedMarker(1));
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseDClick(w.pbxFFTGraph, Qt::LeftButton, {}, QPoint(60, 50));
        EXPECT_EQ(w.txtFftFrom->text(), from);
        EXPECT_EQ(w.txtFftTo->text(), "24000");
        EXPECT_TRUE(w.pinnedMarker(1)) << "a double click leaves the marker";
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        w.graphClicked(1, {});
    }
}

TEST_F(ReadoutTest, ASavedPagePictureHoldsTheGraph)
{
    TfrmMain& w = openPage(1);
    feed(sineBlock(1000, 16384));
    QApplication::processEvents();
    const QString path = dir.filePath("page.png");
    w.pictureFile = [&](const QString& proposed) {
        EXPECT_TRUE(proposed.contains("FFT_")) << proposed.toStdString();
        return dir.filePath("page");
    };
    w.SavePicture1Click();
    const QImage shot(path);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), w.tabFFT->size());
    // The grid's grey lines, the black curve and the readout's text.
    const QPoint graph = w.pbxFFTGraph->pos();
    int grey = 0, black = 0;
    for (int y = graph.y(); y < graph.y() + w.pbxFFTGraph->height(); ++y)
        for (int x = graph.x(); x < graph.x() + w.pbxFFTGraph->width(); ++x) {
            grey += shot.pixel(x, y) == 0xFF808080;
            black += shot.pixel(x, y) == 0xFF000000;
        }
    EXPECT_GT(grey, 1000);
    EXPECT_GT(black, 200);
    EXPECT_FALSE(w.lblCursor->text().isEmpty());
}

TEST_F(ReadoutTest, ResizingDuringACaptureKeepsEveryBlock)
{
    capture::registerTestSignal("pink");
    TfrmMain& w = openPage(1);
    w.WaveDevice->setCurrentIndex(w.WaveDevice->findText("Test signal: pink"));
    w.WaveDeviceChange();
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 1; }, 10000));
    const int first = blocks;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; clock.elapsed() < 2500; ++i) {
        w.resize(i % 2 ? QSize(1400, 900) : QSize(700, 560));
        QTest::qWait(60);
        if (i == 20)
            w.pgcAnalyzers->setCurrentIndex(0);
    }
    const int got = blocks - first;
    EXPECT_GE(got, static_cast<int>(clock.elapsed() / 171) - 2);
    EXPECT_EQ(w.AudioIn1->droppedFrames(), 0u);
}
