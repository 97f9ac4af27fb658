// The generator window as a user meets it, on the private PulseAudio of
// scripts/with-pulseaudio: opened from the main window, playing, stopped by
// closing, remembering its settings, and reporting a lost output.

#include "app_test_support.h"

#include "app/frm_generator.h"
#include "app/string_table.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include <csignal>

namespace {

using GeneratorWindowTest = apptest::WindowTest;

TEST_F(GeneratorWindowTest, OpensBesideStartPlaysStopsOnCloseAndReportsALostOutput)
{
    ASSERT_NE(std::getenv("SPECTRION_PULSE_SINK"), nullptr)
        << "run through scripts/with-pulseaudio";
    app::TfrmMain& w = create();
    app::TfrmGenerator& g = *w.frmGenerator;
    EXPECT_EQ(w.Generator1->text(), "&Generator …");
    EXPECT_FALSE(g.isVisible());
    EXPECT_EQ(g.cboSignal->currentText(), "Rosa Rauschen");
    EXPECT_EQ(g.sldLevel->maximum(), 0);
    EXPECT_EQ(g.current().levelDb, -20);

    w.btnGenerator->click();
    EXPECT_TRUE(g.isVisible());
    EXPECT_TRUE(w.btnGenerator->isChecked());
    const int pulse = g.cboOutput->findText("pulse");
    ASSERT_GT(pulse, 0) << "PortAudio lists no \"pulse\" output";
    g.cboOutput->setCurrentIndex(pulse);
    g.btnStartStop->click();
    ASSERT_TRUE(g.playing()) << messages.join('\n').toStdString();
    EXPECT_EQ(g.btnStartStop->text(), "Stop");
    g.sldLevel->setValue(-300); // a level change ramps; it does not restart
    EXPECT_TRUE(g.playing());
    EXPECT_EQ(g.current().levelDb, -30);

    // The toggle closes the window, which stops the output and keeps the choice.
    w.btnGenerator->click();
    EXPECT_FALSE(g.isVisible());
    EXPECT_FALSE(g.playing());
    const app::GeneratorSettings kept = app::loadGeneratorSettings(
        settings::settingsKey(app::LoadStr(app::sMaker), app::LoadStr(app::sProduct)));
    EXPECT_EQ(kept.outputDevice, "pulse");
    EXPECT_EQ(kept.levelDb, -30);

    // Quitting stops it too.
    w.Generator1->trigger();
    g.btnStartStop->click();
    ASSERT_TRUE(g.playing());
    w.close();
    EXPECT_FALSE(g.playing());
    EXPECT_FALSE(w.btnGenerator->isChecked());

    // The sound server taken away under the output ends it with a message.
    w.Generator1->trigger();
    g.btnStartStop->click();
    ASSERT_TRUE(g.playing());
    ASSERT_TRUE(captest::waitUntil([&] { return g.output().framesPlayed() > 0; }, 5000));
    QFile pidFile(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    ASSERT_EQ(::kill(static_cast<pid_t>(pidFile.readAll().trimmed().toLong()), SIGKILL), 0);
    EXPECT_TRUE(captest::waitUntil([&] { return !g.playing(); }, 10000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(
        "Der Generator wurde beendet, weil das Ausgabegerät nicht mehr spielt:\n"))
        << messages[0].toStdString();
    EXPECT_EQ(g.btnStartStop->text(), "Start");
}

} // namespace
