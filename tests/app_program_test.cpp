// The program itself, as a script or a user without a sound system would run it: unattended runs
// that end, options without a display, an ALSA configuration that defines no device, and a
// settings file that a run leaves as it found it.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    qint64 ms = 0;
};

Outcome runProgram(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess p;
    p.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    p.start(SPECTRION_EXE, arguments);
    Outcome r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.err = "did not end";
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.ms = clock.elapsed();
    return r;
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("SPECTRION_SETTINGS", dir.filePath("settings.json"));
    }
    QTemporaryDir dir;
    QProcessEnvironment env;
};

TEST_F(ProgramRun, AnUnattendedRunWhoseStartFailsEndsWithStatusOneInSeconds)
{
    // The tone is above half the rate: the device refuses to open.
    const Outcome r = runProgram(
        {"--test-signal", "sine:30000", "--start", "--screenshot", dir.filePath("x.png")}, env);
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_LT(r.ms, 20000);
    EXPECT_TRUE(r.err.contains("spectrion: Die Aufnahme konnte nicht beginnen"))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}

TEST_F(ProgramRun, HelpAndVersionNeedNoDisplay)
{
    QProcessEnvironment bare = env;
    bare.insert("QT_QPA_PLATFORM", "xcb");
    bare.remove("DISPLAY");
    bare.remove("WAYLAND_DISPLAY");
    const Outcome help = runProgram({"--help"}, bare);
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage:")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--channel"));
    const Outcome version = runProgram({"--version"}, bare);
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, "Spectrion 1.2\n");
}

TEST_F(ProgramRun, AnAlsaConfigurationWithoutDevicesIsReportedAndTheVirtualInputsWork)
{
    for (const QByteArray& config : {QByteArray(), QByteArray("# nothing but a comment\n")}) {
        QFile f(dir.filePath("asound.conf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(config);
        f.close();
        QProcessEnvironment alsa = env;
        alsa.insert("ALSA_CONFIG_PATH", f.fileName());

        const Outcome none =
            runProgram({"--start", "--screenshot", dir.filePath("none.png")}, alsa);
        EXPECT_EQ(none.status, 1) << none.err.toStdString();
        EXPECT_TRUE(none.err.contains("spectrion: Es wurde keine Soundkarte gefunden!"))
            << none.err.toStdString();
        EXPECT_TRUE(none.err.contains("defines no \"default\" PCM")) << none.err.toStdString();

        const Outcome pink = runProgram({"--test-signal", "pink", "--start", "--screenshot",
                                         dir.filePath("pink.png"), "--after-blocks", "2"},
                                        alsa);
        EXPECT_EQ(pink.status, 0) << pink.err.toStdString();
        EXPECT_TRUE(QFile::exists(dir.filePath("pink.png")));
    }
}

TEST_F(ProgramRun, ARunLeavesASettingsFileWithValuesOfOtherTypesAsItWas)
{
    const QByteArray settings =
        R"({"HKEY_LOCAL_MACHINE":{"Software":{"Drevmark":{"Spectrion":{"WaveDevice1":-1,)"
        R"("txtXAxisMin":"20","txtXAxisMax":"20000","txtYAxisMin":"20","txtYAxisMax":"100",)"
        R"("txtYAxisStep":"10","Color1":255,"Color2":65535,"Color3":65280,"Color4":16711680,)"
        R"("Color5":16711935,"Color6":16777215,"Color7":16744576,"Color8":8421376,)"
        R"("Color9":16711680,"Color10":128,"Color11":0,"Color12":65280,"Color13":32768,)"
        R"("Color14":16777215,"Color15":0,"Color16":16777215,"Gain":3.5,"Calibrated":true,)"
        R"("Serial":5000000000}}}}})";
    QFile f(dir.filePath("settings.json"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(settings);
    f.close();
    const Outcome r = runProgram({"--test-signal", "pink", "--page", "fft", "--start",
                                  "--screenshot", dir.filePath("x.png")},
                                 env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), settings);
}

} // namespace
