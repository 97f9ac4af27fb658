// The status line and the level meter strip repaint only the words a new
// text changes: what reaches the window after many such partial repaints
// must be what a whole paint of the last text draws.

#include "display/level_meter_strip.h"
#include "display/text_line.h"
#include "qt_events.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The widget's pixels as the window holds them after the partial repaints,
// against a whole paint of the widget now.
void expectShownAsPainted(QWidget& widget, const char* step)
{
    settle();
    QBackingStore* store = widget.window()->backingStore();
    ASSERT_NE(store, nullptr);
    const auto* shown = dynamic_cast<const QImage*>(store->paintDevice());
    ASSERT_NE(shown, nullptr);
    const QRect at(widget.mapTo(widget.window(), QPoint()), widget.size());
    const QImage painted = widget.grab().toImage().convertToFormat(shown->format());
    const QImage window = shown->copy(at);
    int differing = 0;
    for (int y = 0; y < at.height(); ++y)
        for (int x = 0; x < at.width(); ++x)
            differing += window.pixel(x, y) != painted.pixel(x, y);
    EXPECT_EQ(differing, 0) << step;
}

} // namespace

TEST(TextWidgets, PartialRepaintsLeaveWhatAWholePaintDraws)
{
    QWidget window;
    window.resize(640, 90);
    auto* line = new display::TextLine(&window);
    line->setGeometry(0, 0, 640, 22);
    auto* strip = new display::LevelMeterStrip(&window);
    strip->setGeometry(0, 30, 640, 40);
    window.show();
    settle();

    // Counts that change width, a word that changes, and back.
    const char* const texts[] = {
        "Eingang: Test · 48000 Hz · Block 9 · verloren: 0 Blöcke",
        "Eingang: Test · 48000 Hz · Block 10 · verloren: 0 Blöcke",
        "Eingang: Test · 48000 Hz · Block 11 · verloren: 12 Blöcke",
        "Eingang: Mikrofon · 44100 Hz · Block 11 · verloren: 1 Blöcke · angehalten",
        "Eingang: Test · 48000 Hz · Block 7 · verloren: 0 Blöcke",
    };
    for (const char* text : texts) {
        line->setText(QString::fromUtf8(text));
        expectShownAsPainted(*line, text);
    }

    const double inf = std::numeric_limits<double>::infinity();
    display::MeterStripValues v;
    v.rangeTopDb = 0;
    v.weighting = "A";
    v.unit = "dBFS";
    v.peakLabel = "Spitze";
    const double readings[][5] = {
        {-20.1, -22.4, -21.0, -18.7, -9.8},
        {-9.9, -22.3, -21.0, -9.9, -1.2},
        {-100.4, -35.0, -21.7, -9.9, -1.2},
        {-inf, -inf, -inf, -inf, -inf},
        {-5.0, -6.0, -7.0, -4.0, 0.0},
    };
    for (const auto& r : readings) {
        v.fastDb = r[0];
        v.slowDb = r[1];
        v.leqDb = r[2];
        v.maxFastDb = r[3];
        v.peakDbfs = r[4];
        strip->setValues(v);
        expectShownAsPainted(*strip, "meter readings");
    }

    // Values taken while hidden show when it is shown again.
    strip->hide();
    settle();
    v.fastDb = -33.3;
    v.weighting = "C";
    strip->setValues(v);
    strip->show();
    expectShownAsPainted(*strip, "shown again");
    auto* fresh = new display::LevelMeterStrip(&window);
    fresh->setGeometry(strip->geometry());
    fresh->show();
    fresh->setValues(v);
    settle();
    EXPECT_EQ(strip->grab().toImage(), fresh->grab().toImage());
}
