// The main window when things go wrong or are done from the keyboard: lost blocks and a
// stalled device in the status line, Space and F1, access letters, and a desktop without a mixer
// or a browser.

#include "app/frm_main.h"
#include "app/status_line.h"

#include "capture/virtual_devices.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using app::TfrmMain;

// Sound at once, then nothing for `freezeMs` after `soundFrames` frames (a frozen sound
// server), then sound again.
class FreezingSource final : public capture::SignalSource {
public:
    FreezingSource(std::int64_t soundFrames, int freezeMs)
        : soundFrames_(soundFrames), freezeMs_(freezeMs)
    {
    }
    bool render(float* out, int frames, int channels) noexcept override
    {
        if (n_ >= soundFrames_ && !frozen_) {
            frozen_ = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(freezeMs_));
        }
        for (int i = 0; i < frames * channels; ++i)
            out[i] = 0.25f;
        n_ += frames;
        return true;
    }

private:
    std::int64_t n_ = 0;
    const std::int64_t soundFrames_;
    const int freezeMs_;
    bool frozen_ = false;
};

class RobustnessTest : public apptest::WindowTest {
protected:
    void choose(const QString& name)
    {
        ASSERT_TRUE(window->selectInputDevice(name)) << name.toStdString();
    }
};

TEST_F(RobustnessTest, BlocksLostForWantOfABufferShowInTheStatusLine)
{
    captest::registerCounting("counting");
    TfrmMain& w = create();
    choose("counting");
    // The handler holds the UI thread longer than the ring's three buffers last (512 ms).
    w.setBlockObserver([this] {
        if (++blocks == 2)
            QThread::msleep(900);
    });
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 8; }, 10000));
    w.updateStatusLine();
    EXPECT_GT(w.AudioIn1->droppedFrames(), 0u);
    const QString expected =
        QString("verloren: %1 Blöcke")
            .arg(app::droppedBlocks(w.AudioIn1->droppedFrames(), engine::kBlockSamples));
    EXPECT_TRUE(w.lblStatus->text().contains(expected)) << w.lblStatus->text().toStdString();
    EXPECT_FALSE(w.lblStatus->text().contains("verloren: 0 Blöcke"));
    EXPECT_TRUE(w.lblStatus->text().contains("48000 Hz"));
}

TEST_F(RobustnessTest, AStalledDeviceShowsAndEndsTheCaptureWithAMessage)
{
    capture::registerVirtualDevice("freezing", [](const capture::WAVEFORMATEX&, int, std::string&) {
        return std::make_unique<FreezingSource>(48000, 3000);
    });
    TfrmMain& w = create();
    choose("freezing");
    w.AudioIn1->SetStallGiveUpMs(2000);
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 2; }, 5000));
    ASSERT_TRUE(
        captest::waitUntil([&] { return w.lblStatus->text().contains("liefert nichts!"); }, 3000))
        << w.lblStatus->text().toStdString();
    ASSERT_TRUE(captest::waitUntil([&] { return w.btnONOFF->text() == "START"; }, 5000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().startsWith("Die Aufnahme wurde beendet"))
        << messages.front().toStdString();
    EXPECT_TRUE(messages.front().contains("delivered no sound for"));
}

TEST_F(RobustnessTest, SpaceStartsAndStopsAndEveryMenuEntryHasItsOwnAccessLetter)
{
    capture::registerTestSignal("pink");
    TfrmMain& w = create();
    choose("Test signal: pink");
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    // From the page tabs and from a drop-down list alike.
    w.pgcAnalyzers->tabBar()->setFocus();
    QTest::keyClick(w.pgcAnalyzers->tabBar(), Qt::Key_Space);
    ASSERT_TRUE(captest::waitUntil([&] { return w.btnONOFF->text() == "STOP"; }));
    w.cboAveraging->setFocus();
    QTest::keyClick(w.cboAveraging, Qt::Key_Space);
    ASSERT_TRUE(captest::waitUntil([&] { return w.btnONOFF->text() == "START"; }));
    // The comment takes its blanks.
    w.txtComment->setFocus();
    QTest::keyClicks(w.txtComment, "a b");
    EXPECT_EQ(w.txtComment->text(), "a b");
    EXPECT_EQ(w.btnONOFF->text(), "START");

    EXPECT_EQ(w.Help2->shortcut(), QKeySequence(Qt::Key_F1));
    QSet<QChar> titles;
    for (QAction* menu : w.menuBar()->actions()) {
        const auto letter = [](const QString& text) {
            const qsizetype at = text.indexOf('&');
            return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
        };
        ASSERT_FALSE(letter(menu->text()).isNull()) << menu->text().toStdString();
        EXPECT_FALSE(titles.contains(letter(menu->text()))) << menu->text().toStdString();
        titles.insert(letter(menu->text()));
        QSet<QChar> entries;
        for (QAction* entry : menu->menu()->actions()) {
            if (entry->isSeparator() || !entry->isVisible())
                continue;
            const QChar l = letter(entry->text());
            EXPECT_FALSE(l.isNull()) << entry->text().toStdString();
            EXPECT_FALSE(entries.contains(l)) << entry->text().toStdString();
            entries.insert(l);
        }
    }
}

TEST_F(RobustnessTest, WithoutAMixerOrABrowserAMessageSaysWhatToInstall)
{
    TfrmMain& w = create();
    w.HelpFilePath = QFileInfo(SPECTRION_EXE).dir().filePath("help"); // beside the program
    messages.clear();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit()); // no program at all
    w.InputVolumeControl1->trigger();
    w.btnVolumeControl->click();
    w.Help2->trigger();
    qputenv("PATH", path);
    ASSERT_TRUE(captest::waitUntil([&] { return messages.size() >= 3; }, 3000));
    EXPECT_TRUE(messages[0].contains("pavucontrol")) << messages[0].toStdString();
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_TRUE(messages[2].contains("xdg-utils")) << messages[2].toStdString();
    EXPECT_TRUE(messages[2].contains("index.html"));
}

} // namespace

namespace {

TEST(StatusLine, SaysWhatASoundFileInputDoesAndCountsPartBlocksAsLost)
{
    app::CaptureFacts f;
    f.device = "Sound file: cd.wav";
    f.rate = 48000;
    f.running = true;
    f.blocks = 12;
    f.droppedFrames = 8193;
    f.source.dwSourceRate = 44100;
    f.source.wSourceChannels = 4;
    f.source.wSourceChannel = 2;
    EXPECT_EQ(app::statusText(f), "Eingang: Sound file: cd.wav · Datei mit 44100 Hz, umgerechnet "
                                  "auf 48000 Hz · Kanal 2 von 4 · Block 12 · verloren: 2 Blöcke");
    f.source.wSourceChannel = 0;
    f.source.dwSourceRate = 48000;
    f.repairedSamples = 3;
    EXPECT_EQ(app::statusText(f),
              "Eingang: Sound file: cd.wav · 48000 Hz · 4 Kanäle gemischt · "
              "Block 12 · verloren: 2 Blöcke · ungültige Abtastwerte ersetzt: 3");
}

} // namespace
