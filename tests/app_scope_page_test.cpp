#include "app/frm_main.h"
#include "app/message_box.h"

#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "engine/scope_time_base.h"
#include "settings/store_path.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <vector>

using app::TfrmMain;

namespace {

using apptest::gState;

constexpr QRgb kTrace = qRgb(0, 255, 0);
constexpr QRgb kGridLine = qRgb(0, 128, 0);
constexpr QRgb kCell = qRgb(0, 0, 0);

class ScopePageTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        capture::registerTestSignal("sine:1000");
        create();
    }

    // The oscilloscope page, shown as the user sees it.
    TfrmMain& scopePage()
    {
        window->show();
        window->Oscilloscope1Click();
        captest::spin(20);
        return *window;
    }

    void deliver(std::vector<std::int16_t> samples) { feed(std::move(samples)); }

    // What the screen box shows, once the block's drawing has been flushed.
    QImage shownScope()
    {
        captest::spin(20);
        return window->pbxScope->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

QString micro(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

bool hasColour(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST_F(ScopePageTest, ControlsHaveTheirPlacesRangesAndTexts)
{
    TfrmMain& w = scopePage();
    EXPECT_EQ(w.Shape1->geometry(), QRect(68, 3, 417, 418));
    EXPECT_EQ(w.pbxScope->geometry(), QRect(76, 12, 401, 401));
    EXPECT_EQ(w.GroupBox3->geometry(), QRect(497, 12, 222, 160));
    EXPECT_EQ(w.GroupBox3->title(), " Scale && Position ");
    EXPECT_EQ(w.GroupBox3->parentWidget(), w.tabScope);

    const struct {
        QSlider* slider;
        QRect place;
        Qt::Orientation orientation;
        int minimum, maximum, position, tick;
        bool shown;
    } sliders[] = {
        {w.tbTDiv, QRect(13, 36, 106, 32), Qt::Horizontal, 1, 10, 3, 1, true},
        {w.tbZoom, QRect(133, 33, 30, 95), Qt::Vertical, 0, 15, 15, 1, true},
        {w.tbZoomPosition, QRect(179, 33, 30, 95), Qt::Vertical, -100, 100, 0, 20, false},
        {w.tbTimePosition, QRect(13, 81, 106, 28), Qt::Horizontal, 0, 100, 50, 10, false},
    };
    for (const auto& s : sliders) {
        SCOPED_TRACE(s.place.x());
        EXPECT_EQ(s.slider->parentWidget(), w.GroupBox3);
        EXPECT_EQ(s.slider->geometry(), s.place);
        EXPECT_EQ(s.slider->orientation(), s.orientation);
        EXPECT_EQ(s.slider->minimum(), s.minimum);
        EXPECT_EQ(s.slider->maximum(), s.maximum);
        EXPECT_EQ(s.slider->value(), s.position);
        EXPECT_EQ(s.slider->tickInterval(), s.tick);
        EXPECT_EQ(s.slider->isVisible(), s.shown);
    }
    EXPECT_EQ(w.tbTDiv->tickPosition(), QSlider::TicksBelow);
    EXPECT_EQ(w.tbZoom->tickPosition(), QSlider::TicksLeft);

    const struct {
        QWidget* label;
        QString text;
        QPoint place;
        bool shown;
    } labels[] = {
        {w.Label21, "X", {62, 16}, true},
        {w.Label22, "Y", {169, 16}, true},
        {w.lbltDiv, micro("500µs/div"), {46, 68}, true},
        {w.Label24, "Position", {176, 127}, false},
        {w.Label23, "Position", {49, 110}, false},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(static_cast<QLabel*>(l.label)->text(), l.text);
        EXPECT_EQ(l.label->pos(), l.place) << l.text.toStdString();
        EXPECT_EQ(l.label->isVisible(), l.shown) << l.text.toStdString();
    }
    EXPECT_EQ(w.lblZoom->text(), "1x Zoom"); // until the zoom first moves
    EXPECT_EQ(w.lblZoom->y(), 127);
    // Centred as designed, widened for the font if need be.
    EXPECT_NEAR(w.lblZoom->x() * 2 + w.lblZoom->width(), 2 * 135 + 27, 1);
    EXPECT_EQ(w.btnOscDefault->text(), "Default");
    EXPECT_EQ(w.btnOscDefault->geometry(), QRect(22, 129, 67, 21));
}

TEST_F(ScopePageTest, TimeBaseSetsItsLabelAndTheSamplesAcrossTheScreen)
{
    TfrmMain& w = scopePage();
    const struct {
        int position;
        const char* label;
        int samples;
    } cases[] = {
        {1, "100µs/div", 48},  {2, "200µs/div", 96},   {4, "1ms/div", 480},
        {5, "2ms/div", 960},   {6, "5ms/div", 2400},   {7, "10ms/div", 4800},
        {8, "20ms/div", 9600}, {9, "50ms/div", 24000}, {10, "100ms/div", 48000},
        {3, "500µs/div", 240},
    };
    for (const auto& c : cases) {
        w.tbTDiv->setValue(c.position);
        EXPECT_EQ(w.lbltDiv->text(), micro(c.label));
        EXPECT_EQ(gState.measurement.ScopeBuffersize, c.samples) << c.label;
        EXPECT_EQ(gState.measurement.CurrtDiv,
                  static_cast<double>(engine::TimeBase[c.position - 1]));
        EXPECT_GE(w.lbltDiv->width(), w.lbltDiv->fontMetrics().horizontalAdvance(micro(c.label)));
    }
    // The slider stops at 100 ms/div, also for the keyboard.
    w.tbTDiv->setValue(10);
    w.tbTDiv->setFocus();
    QTest::keyClick(w.tbTDiv, Qt::Key_Right);
    w.tbTDiv->setValue(14);
    EXPECT_EQ(w.tbTDiv->value(), 10);
    EXPECT_EQ(w.lbltDiv->text(), "100ms/div");
    EXPECT_EQ(gState.measurement.ScopeBuffersize, 48000);
}

TEST_F(ScopePageTest, ZoomLabelShowsTheGainAndTheSliderRisesTowardsHighZoom)
{
    TfrmMain& w = scopePage();
    const struct {
        int position;
        const char* label;
    } cases[] = {{14, "2x"}, {10, "32x"}, {1, "16384x"}, {0, "32768x"}, {15, "1x"}};
    for (const auto& c : cases) {
        w.tbZoom->setValue(c.position);
        EXPECT_EQ(w.lblZoom->text(), c.label);
        EXPECT_GE(w.lblZoom->width(), w.lblZoom->fontMetrics().horizontalAdvance(c.label));
    }
    // The minimum (the highest zoom) is at the top: the Up key moves the thumb up.
    w.tbZoom->setFocus();
    QTest::keyClick(w.tbZoom, Qt::Key_Up);
    EXPECT_EQ(w.tbZoom->value(), 14);
    EXPECT_EQ(w.lblZoom->text(), "2x");
    EXPECT_TRUE(w.tbZoom->invertedAppearance());
}

TEST_F(ScopePageTest, DefaultRecomputesOnlyWhatMoves)
{
    TfrmMain& w = scopePage();
    // Nothing moves: no label and no value is touched.
    w.lbltDiv->setText("untouched");
    gState.measurement.ScopeBuffersize = 12345;
    w.btnOscDefault->click();
    EXPECT_EQ(w.lbltDiv->text(), "untouched");
    EXPECT_EQ(w.lblZoom->text(), "1x Zoom");
    EXPECT_EQ(gState.measurement.ScopeBuffersize, 12345);

    // Only the zoom moved: the time base stays as it is.
    w.tbZoom->setValue(0);
    w.btnOscDefault->click();
    EXPECT_EQ(w.tbZoom->value(), 15);
    EXPECT_EQ(w.lblZoom->text(), "1x");
    EXPECT_EQ(gState.measurement.ScopeBuffersize, 12345);

    w.tbTDiv->setValue(10);
    w.tbZoom->setValue(4);
    w.btnOscDefault->click();
    EXPECT_EQ(w.tbTDiv->value(), 3);
    EXPECT_EQ(w.tbZoomPosition->value(), 0);
    EXPECT_EQ(w.lbltDiv->text(), micro("500µs/div"));
    EXPECT_EQ(w.lblZoom->text(), "1x");
    EXPECT_EQ(gState.measurement.ScopeBuffersize, 240);
}

TEST_F(ScopePageTest, ActivationClearsTheRingAndARepaintShowsTheBareGrid)
{
    TfrmMain& w = *window;
    std::fill(gState.measurement.ScopeBuffer.begin(), gState.measurement.ScopeBuffer.end(), 77);
    gState.measurement.ScopeBufferCounter = 5'000'000'000;
    scopePage();
    EXPECT_EQ(gState.measurement.ScopeBufferCounter, 0);
    EXPECT_TRUE(std::all_of(gState.measurement.ScopeBuffer.begin(),
                            gState.measurement.ScopeBuffer.end(), [](int v) { return v == 0; }));
    const QImage grid = w.imgPhantomScopeGrid.image();
    ASSERT_EQ(grid.size(), QSize(401, 401));
    EXPECT_EQ(shownScope(), grid);

    // Blocks on another page leave the ring alone.
    w.FFTAnalysis1Click();
    deliver(std::vector<std::int16_t>(8192, 1000));
    EXPECT_EQ(gState.measurement.ScopeBufferCounter, 0);

    w.Oscilloscope1Click();
    captest::spin(20); // the page's first paint shows the grid
    deliver(std::vector<std::int16_t>(8192, 1000));
    EXPECT_EQ(gState.measurement.ScopeBufferCounter, 8192);
    EXPECT_TRUE(hasColour(shownScope(), kTrace));
    w.pbxScope->Repaint();
    EXPECT_EQ(shownScope(), grid);

    // A block too short to hold a sample appends nothing but draws the ring again.
    std::int16_t odd = 0;
    int size = 1;
    w.AudioIn1BufferFilled(reinterpret_cast<std::uint8_t*>(&odd), size);
    EXPECT_EQ(gState.measurement.ScopeBufferCounter, 8192);
    const QImage redrawn = shownScope();
    EXPECT_EQ(redrawn.pixel(100, 194), kTrace); // 200 - 1000 * 200 / 32768
}

TEST_F(ScopePageTest, ASineAt500usPerDivIsDrawnOnItsRowsOverTheGrid)
{
    TfrmMain& w = scopePage();
    ASSERT_EQ(w.tbTDiv->value(), 3);
    // The last block's trace lies on row 0; the new one must wipe it.
    deliver(std::vector<std::int16_t>(8192, 32767));
    ASSERT_EQ(shownScope().pixel(100, 0), kTrace);

    // 1 kHz at half scale: 48 samples a period, five periods on the screen.
    std::vector<std::int16_t> sine(8192);
    for (std::size_t n = 0; n < sine.size(); ++n)
        sine[n] = static_cast<std::int16_t>(
            std::lround(16384 * std::sin(2 * std::numbers::pi * 1000.0 * double(n) / 48000)));
    deliver(sine);
    const QImage shown = shownScope();

    auto rowOf = [&](long n) {
        return static_cast<int>(std::nearbyint(200.0 - 200.0 / 32768 * sine[std::size_t(n)]));
    };
    const long first = 8192 - 240; // the window ends with the newest sample
    for (int x = 0; x < 398; ++x) {
        // Column x shows one sample of the 0.6 that fall on each column.
        const long n = first + std::lround(x * 0.6);
        std::set<int> rows;
        for (long m = n - 1; m <= n + 1; ++m)
            rows.insert(rowOf(m));
        bool onARow = false;
        for (int y : rows)
            onARow = onARow || shown.pixel(x, y) == kTrace;
        EXPECT_TRUE(onARow) << "column " << x;
        for (int y = 0; y < 401; ++y) {
            const QRgb p = shown.pixel(x, y);
            EXPECT_TRUE(p == kCell || p == kGridLine || p == kTrace) << x << "," << y;
            if (p == kTrace) {
                EXPECT_TRUE(y >= 100 && y <= 300) << x << "," << y;
            }
        }
    }
    // The grid stays where no trace runs.
    EXPECT_EQ(shown.pixel(40, 30), kGridLine);
    EXPECT_EQ(shown.pixel(241, 380), kGridLine);
    EXPECT_EQ(shown.pixel(30, 40), kGridLine);
}

TEST_F(ScopePageTest, ALiveCaptureOnThePageDrawsTheTrace)
{
    TfrmMain& w = scopePage();
    ASSERT_GE(w.WaveDevice->findText("Test signal: sine:1000"), 1);
    w.WaveDevice->setCurrentIndex(w.WaveDevice->findText("Test signal: sine:1000"));
    w.WaveDeviceChange();
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 2; }, 8000));
    EXPECT_GE(gState.measurement.ScopeBufferCounter, 2 * 8192);
    const QImage shown = shownScope();
    // A -6 dBFS sine swings between rows 100 and 300.
    int top = 401, bottom = -1;
    for (int y = 0; y < 401; ++y)
        for (int x = 0; x < 398; ++x)
            if (shown.pixel(x, y) == kTrace) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_NEAR(top, 100, 1);
    EXPECT_NEAR(bottom, 300, 1);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(ScopePageTest, AfterATimeBaseChangeNoOlderTraceRemainsAndTheLastColumnIsTheNewest)
{
    TfrmMain& w = scopePage();
    // 2 ms/div: a full-scale block lies on row 0 across the whole screen.
    w.tbTDiv->setValue(5);
    deliver(std::vector<std::int16_t>(8192, 32767));
    const QImage full = shownScope();
    for (int x = 0; x < 401; ++x)
        ASSERT_EQ(full.pixel(x, 0), kTrace) << x;

    // Silence at the fastest and the slowest time base (six blocks fill its
    // window): the centre line reaches the right edge, and nothing of the
    // old trace is left.
    for (int position : {1, 10}) {
        w.tbTDiv->setValue(position);
        for (int b = 0; b < (position == 1 ? 1 : 6); ++b)
            deliver(std::vector<std::int16_t>(8192, 0));
        const QImage shown = shownScope();
        for (int x = 0; x < 401; ++x) {
            for (int y = 0; y < 401; ++y) {
                if (y != 200) {
                    ASSERT_NE(shown.pixel(x, y), kTrace) << position << ": " << x << "," << y;
                }
            }
            ASSERT_EQ(shown.pixel(x, 200), kTrace) << position << ": column " << x;
        }
    }

    // The last column shows the newest sample, not the oldest of the ring.
    w.tbTDiv->setValue(5);
    std::vector<std::int16_t> rise(8192, 0);
    rise.back() = 32767;
    deliver(rise);
    const QImage shown = shownScope();
    EXPECT_EQ(shown.pixel(400, 0), kTrace);
    EXPECT_EQ(shown.pixel(400, 100), kTrace);
    EXPECT_NE(shown.pixel(399, 0), kTrace);
    EXPECT_NE(shown.pixel(399, 100), kTrace);
}

TEST_F(ScopePageTest, ANormalTriggerHoldsASineStillAndMarksItsLevel)
{
    TfrmMain& w = scopePage();
    // 1 kHz: 170 2/3 periods a block, so a free trace moves from block to
    // block; a period of exactly 48 samples lets the triggered one stand
    // still to the pixel.
    auto block = [](int b) {
        std::vector<std::int16_t> s(8192);
        for (int i = 0; i < 8192; ++i)
            s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(
                20000 * std::sin(2 * std::numbers::pi * 1000.0 * (8192.0 * b + i) / 48000)));
        return s;
    };
    deliver(block(0));
    deliver(block(1));
    const QImage free1 = shownScope();
    deliver(block(2));
    EXPECT_NE(shownScope(), free1);

    app::ScopePageSettings s = w.scopePageSettings();
    s.trigger.mode = engine::TriggerMode::Normal;
    s.trigger.levelPercent = 30;
    w.applyScopePageSettings(s);
    deliver(block(3));
    const QImage triggered = shownScope();
    for (int b = 4; b < 8; ++b) {
        deliver(block(b));
        EXPECT_EQ(shownScope(), triggered) << b;
    }
    // The level mark on the left edge, at 30 % of full scale above the centre.
    const int row = 200 - static_cast<int>(std::lround(0.3 * 200));
    EXPECT_EQ(triggered.pixel(0, row), qRgb(255, 255, 0));
    // Silence brings no trigger: after the last one of the sine's tail,
    // whose screen the first silent block completes, the trace stays.
    deliver(std::vector<std::int16_t>(8192, 0));
    const QImage last = shownScope();
    deliver(std::vector<std::int16_t>(8192, 0));
    EXPECT_EQ(shownScope(), last);
    EXPECT_TRUE(hasColour(last, kTrace));
}
