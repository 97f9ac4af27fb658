#include "app/form_layout.h"
#include "app/frm_main.h"
#include "app/message_box.h"

#include "capture/virtual_devices.h"
#include "capture/wavein.h"
#include "display/colour_map.h"
#include "settings/store_path.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

using app::TfrmMain;

namespace {

using apptest::gState;

class MainWindowTest : public apptest::WindowTest {
protected:
    static bool waitFor(const std::function<bool()>& done, int ms = 8000)
    {
        return captest::waitUntil(done, ms);
    }

    // Picks the list entry of a virtual device by its name.
    void choose(const QString& name)
    {
        const int entry = window->WaveDevice->findText(name);
        ASSERT_GE(entry, 1) << name.toStdString();
        window->WaveDevice->setCurrentIndex(entry);
        window->WaveDeviceChange();
    }
};

engine::TColor fillOf(const display::Shape* s)
{
    return s->brushColor();
}

} // namespace

TEST_F(MainWindowTest, StartsOnTheRtaPageWithGermanTextsAndNoMemory)
{
    TfrmMain& w = create();
    EXPECT_EQ(w.pgcAnalyzers->currentIndex(), 0);
    EXPECT_EQ(w.pgcAnalyzers->tabText(0), " Oktavanalyse ");
    EXPECT_EQ(w.cboAveraging->currentText(), "Keine");
    EXPECT_EQ(w.cboAveraging->count(), 4);
    EXPECT_EQ(w.cboAveraging->itemText(3), "Sehr Langsam");
    EXPECT_EQ(w.cboOctaveType->currentText(), "1/3 Octave");
    EXPECT_EQ(w.grpMemory->title(), "Speicher RTA");
    for (QToolButton* b : w.mem)
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    // Loading the buttons from the empty slots releases the form's "L".
    EXPECT_FALSE(w.mem0->isChecked());
    EXPECT_EQ(w.btnONOFF->text(), "START");
    EXPECT_EQ(fillOf(w.shpOnOFF), engine::RGB(255, 0, 0));
    EXPECT_EQ(w.File1->title(), "&Datei");
    EXPECT_EQ(w.Exit1->text(), "&Beenden");
    EXPECT_EQ(w.Help2->text(), "&Hilfe");
    EXPECT_TRUE(w.SaveSpectrum1->isVisible());
    EXPECT_EQ(w.centralWidget()->width(), 747);

    EXPECT_EQ(w.windowTitle(), "Spectrion");
    w.show();
    // The pages hold the old layout's paint boxes whole.
    EXPECT_GE(w.tabOctave->width(), 739);
    EXPECT_GE(w.tabOctave->height(), 465);
    EXPECT_GE(w.pgcAnalyzers->widget(1)->height(), 467);
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(waitFor([&] { return w.windowTitle() == "Spectrion 1.2"; }, 2000));
}

TEST_F(MainWindowTest, ShortcutsSwitchPagesAndTheRtaControlsFollow)
{
    TfrmMain& w = create();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    QTest::keySequence(&w, QKeySequence("Ctrl+F"));
    EXPECT_EQ(w.pgcAnalyzers->currentIndex(), 1);
    EXPECT_FALSE(w.cboOctaveType->isVisible());
    EXPECT_FALSE(w.cboAveraging->isVisible());
    EXPECT_FALSE(w.lblAvgSpeed->isVisible());
    // The FFT page has memories of its own; the oscilloscope has none.
    EXPECT_TRUE(w.grpMemory->isVisible());
    EXPECT_EQ(w.grpMemory->title(), "Speicher FFT");

    QTest::keySequence(&w, QKeySequence("Ctrl+O"));
    EXPECT_EQ(w.pgcAnalyzers->currentIndex(), 2);
    EXPECT_FALSE(w.grpMemory->isVisible());
    EXPECT_EQ(w.grpMemory->title(), "Speicher Oszilloskop");

    QTest::keySequence(&w, QKeySequence("Ctrl+R"));
    EXPECT_EQ(w.pgcAnalyzers->currentIndex(), 0);
    EXPECT_TRUE(w.cboOctaveType->isVisible());
    EXPECT_TRUE(w.lblOctaveBW->isVisible());
    EXPECT_TRUE(w.grpMemory->isVisible());
    EXPECT_EQ(w.grpMemory->title(), "Speicher RTA");
}

TEST_F(MainWindowTest, StartAndStopFollowTheDevice)
{
    capture::registerTestSignal("sine:1000");
    TfrmMain& w = create();
    choose("Test signal: sine:1000");
    w.btnONOFFClick();
    ASSERT_TRUE(waitFor([&] { return w.btnONOFF->text() == "STOP"; }));
    EXPECT_EQ(fillOf(w.shpOnOFF), engine::RGB(0, 224, 0));
    EXPECT_TRUE(w.mem0->isChecked());
    EXPECT_TRUE(gState.memory.RTAMemRecord[0].HasData);
    EXPECT_TRUE(gState.memory.RTAMemRecord[0].DrawMe);
    ASSERT_TRUE(waitFor([&] { return blocks >= 2; }));

    w.btnONOFFClick();
    ASSERT_TRUE(waitFor([&] { return w.btnONOFF->text() == "START"; }));
    EXPECT_EQ(fillOf(w.shpOnOFF), engine::RGB(255, 0, 0));
    EXPECT_TRUE(w.mem0->isEnabled());
    EXPECT_FALSE(w.AudioIn1->Active);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(MainWindowTest, AFailedStartShowsTheComponentsTextAndStaysStopped)
{
    capture::registerTestSignal("white");
    TfrmMain& w = create();
    messages.clear();
    w.AudioIn1->SetWaveDevice(capture::waveInGetNumDevs() + 5);
    w.btnONOFFClick();
    ASSERT_EQ(messages.size(), 1);
    // A German sentence, then the device layer's own text.
    EXPECT_TRUE(messages.front().startsWith(
        "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät ist nicht vorhanden.\n"
        "Technische Angabe: There is no input device"))
        << messages.front().toStdString();
    EXPECT_TRUE(messages.front().contains(w.AudioIn1->ErrorMessage));
    EXPECT_EQ(w.btnONOFF->text(), "START");
    EXPECT_FALSE(w.AudioIn1->Active);

    // The window stays usable: a good device starts.
    choose("Test signal: white");
    w.btnONOFFClick();
    EXPECT_TRUE(waitFor([&] { return w.btnONOFF->text() == "STOP"; }));
}

TEST_F(MainWindowTest, AFailingDeviceEndsTheCaptureWithAMessageAndStartsAgain)
{
    captest::registerCounting("failing", 48000 / 2); // half a second of sound
    TfrmMain& w = create();
    choose("failing");
    messages.clear();
    w.btnONOFFClick();
    ASSERT_TRUE(waitFor([&] { return w.btnONOFF->text() == "STOP"; }));
    ASSERT_TRUE(waitFor([&] { return w.btnONOFF->text() == "START"; }));
    EXPECT_EQ(fillOf(w.shpOnOFF), engine::RGB(255, 0, 0));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("test device unplugged"))
        << messages.front().toStdString();

    w.btnONOFFClick();
    EXPECT_TRUE(waitFor([&] { return w.btnONOFF->text() == "STOP"; }));
}

TEST_F(MainWindowTest, DeviceListOffersTheVirtualDevicesAfterTheSystemDefault)
{
    capture::registerTestSignal("sine:440");
    capture::registerTestSignal("pink");
    TfrmMain& w = create();
    const int n = w.WaveDevice->count();
    ASSERT_GE(n, 3);
    EXPECT_EQ(w.WaveDevice->itemText(0), "Windows-Standard");
    EXPECT_EQ(w.WaveDevice->itemText(n - 2), "Test signal: sine:440");
    EXPECT_EQ(w.WaveDevice->itemText(n - 1), "Test signal: pink");
    EXPECT_EQ(w.WaveDevice->currentIndex(), 0);
    EXPECT_FALSE(w.WaveDevice->isHidden());
    EXPECT_TRUE(w.btnRecheck->isHidden());

    w.WaveDevice->setCurrentIndex(n - 1);
    w.WaveDeviceChange();
    EXPECT_EQ(w.AudioIn1->WaveDevice(), static_cast<capture::UINT>(n - 2));
    w.WaveDevice->setCurrentIndex(0);
    w.WaveDeviceChange();
    EXPECT_EQ(w.AudioIn1->WaveDevice(), capture::WAVE_MAPPER);

    // Refreshing keeps the device in use, and the list shows it.
    choose("Test signal: sine:440");
    w.RecheckInputDevice1->trigger();
    EXPECT_EQ(w.WaveDevice->currentText(), "Test signal: sine:440");
    EXPECT_EQ(w.AudioIn1->WaveDevice(), static_cast<capture::UINT>(n - 3));
}

TEST_F(MainWindowTest, TheDeviceShownIsTheDeviceUsedAcrossStarts)
{
    capture::registerTestSignal("sine:440");
    capture::registerTestSignal("pink");
    {
        TfrmMain& w = create();
        // A first start: the system default, shown and used.
        EXPECT_EQ(w.WaveDevice->currentIndex(), 0);
        EXPECT_EQ(w.AudioIn1->WaveDevice(), capture::WAVE_MAPPER);
        choose("Test signal: pink");
        w.cboAveraging->setCurrentIndex(2);
        w.cboOctaveType->setCurrentIndex(3);
        w.FFTAnalysis1->trigger();
        w.close();
    }
    // The next start records from the device chosen, found by its name although the list has
    // changed, and keeps the averaging, the resolution and the page.
    capture::clearVirtualDevices();
    capture::registerTestSignal("white");
    capture::registerTestSignal("pink");
    TfrmMain& w = create();
    EXPECT_EQ(w.WaveDevice->currentText(), "Test signal: pink");
    capture::WAVEINCAPS caps{};
    ASSERT_EQ(capture::waveInGetDevCaps(w.AudioIn1->WaveDevice(), &caps),
              capture::MMSYSERR_NOERROR);
    EXPECT_EQ(caps.szPname, "Test signal: pink");
    EXPECT_EQ(w.cboAveraging->currentIndex(), 2);
    EXPECT_EQ(w.cboOctaveType->currentIndex(), 3);
    EXPECT_EQ(w.pgcAnalyzers->currentIndex(), 1);
    EXPECT_TRUE(w.lblStatus->text().startsWith("Eingang: Test signal: pink"))
        << w.lblStatus->text().toStdString();

    // A device that has gone: the system default, with a notice.
    w.close();
    window.reset();
    capture::clearVirtualDevices();
    capture::registerTestSignal("white");
    TfrmMain& again = create();
    EXPECT_EQ(again.WaveDevice->currentIndex(), 0);
    EXPECT_EQ(again.AudioIn1->WaveDevice(), capture::WAVE_MAPPER);
    EXPECT_TRUE(
        again.statusBar()->currentMessage().contains("„Test signal: pink“ ist nicht vorhanden"))
        << again.statusBar()->currentMessage().toStdString();
}

TEST_F(MainWindowTest, TheWindowOpensAsItWasLeftResizedOrMaximised)
{
    {
        TfrmMain& w = create();
        w.openAtSize(std::nullopt, false);
        EXPECT_EQ(w.centralWidget()->size(), app::kDefaultClient);
        w.resize(w.size() + QSize(40, 30));
        w.close();
    }
    const QSize resized = app::formLayout(app::kDefaultClient).client + QSize(40, 30);
    window.reset();
    {
        TfrmMain& w = create();
        w.openAtSize(std::nullopt, false);
        EXPECT_EQ(w.centralWidget()->size(), resized);
        EXPECT_FALSE(w.isMaximized());
        w.showMaximized();
        w.close();
    }
    window.reset();
    TfrmMain& w = create();
    w.openAtSize(std::nullopt, false);
    EXPECT_TRUE(w.isMaximized());
    // A size asked for wins over the one kept.
    window.reset();
    TfrmMain& asked = create();
    asked.openAtSize(QSize(900, 700), false);
    EXPECT_EQ(asked.size(), QSize(900, 700));
    EXPECT_FALSE(asked.isMaximized());
}

TEST_F(MainWindowTest, NoInputShowsTheCheckButtonAndTheMessage)
{
    if (capture::waveInGetNumDevs() != 0)
        GTEST_SKIP() << "this machine has input devices of its own";
    TfrmMain& w = create();
    EXPECT_TRUE(w.WaveDevice->isHidden());
    EXPECT_EQ(w.WaveDevice->count(), 0);
    EXPECT_FALSE(w.btnRecheck->isHidden());
    EXPECT_EQ(w.btnRecheck->text(), "Soundeingang testen");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().startsWith("Es wurde keine Soundkarte gefunden!"));

    // A device appears; the button brings the list back with entry 0 chosen.
    capture::registerTestSignal("silence");
    w.btnRecheck->click();
    EXPECT_FALSE(w.WaveDevice->isHidden());
    EXPECT_TRUE(w.btnRecheck->isHidden());
    EXPECT_EQ(w.WaveDevice->currentIndex(), 0);
    EXPECT_EQ(messages.size(), 1);
}

// The program itself, as a script would run it.
TEST(Program, RejectsBadArgumentsWithStatusTwo)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.wav");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QStringList& args :
         {QStringList{"--bogus"}, QStringList{"--page", "bode"},
          QStringList{"--test-signal", "hum"}, QStringList{"--input-file", "/no/such/file.wav"},
          QStringList{"--input-file", fifo}, QStringList{"--input-file", "/dev/zero"},
          QStringList{"--test-signal", "sweep:20-20000:1e300"},
          QStringList{"--start", "--screenshot", "a.png", "--after-blocks", "4294968"}}) {
        QProcess p;
        p.start(SPECTRION_EXE, args);
        ASSERT_TRUE(p.waitForFinished(20000)) << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        // One line of ours, then the usage (Qt may print warnings of its own first).
        const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split('\n');
        const auto ours = std::find_if(lines.begin(), lines.end(), [](const QString& l) {
            return l.startsWith("spectrion: ");
        });
        ASSERT_NE(ours, lines.end()) << lines.join('\n').toStdString();
        ASSERT_NE(ours + 1, lines.end());
        EXPECT_TRUE((ours + 1)->startsWith("Usage:")) << lines.join('\n').toStdString();
    }
}

TEST(Program, WritesAScreenshotAfterTheRequestedBlocks)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("out.png");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SPECTRION_SETTINGS", dir.filePath("settings.json"));
    p.setProcessEnvironment(env);
    p.start(SPECTRION_EXE,
            {"--test-signal", "pink", "--start", "--screenshot", png, "--after-blocks", "2"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QImage shot(png);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.width(), 747);
    EXPECT_GT(shot.height(), 626);
    // The running look: the indicator around START/STOP (below the menu bar) is green.
    bool green = false;
    for (int y = 0; y < 100 && !green; ++y)
        green = shot.pixelColor(9, y) == QColor(0, 224, 0);
    EXPECT_TRUE(green);
}
