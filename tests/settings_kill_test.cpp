// The settings file when the program is killed while the dialog closes, over and over: every
// time it holds either the values of one close or those of the one before, never a mixture, and
// the temporary files killed writes leave go at the next write.

#include "settings_dialog_support.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <optional>

using settings_test::DialogTest;

namespace {

constexpr auto kChildVariable = "SPECTRION_SETTINGS_KILL_CHILD";

// Every value of the store, derived from one generation number, so a file holding two
// generations shows.
void setGeneration(settings::TfrmSettings& dialog, settings::ColourTable& colours, int k)
{
    dialog.txtYAxisMin->setText(QString::number(k % 50));
    dialog.txtYAxisMax->setText(QString::number(k % 50 + 60));
    dialog.txtYAxisStep->setText(QString::number(k % 9 + 1));
    dialog.txtXAxisMin->setText(QString::number(k % 50 + 20));
    dialog.txtXAxisMax->setText(QString::number(20000 - k % 50));
    for (int n = 1; n <= 16; ++n)
        colours.GraphColors[std::size_t(n)] = engine::TColor(16 * k + n);
}

// The generation the key holds, or nothing when its values are not all of one.
std::optional<int> generationOf(const QJsonObject& key)
{
    // The dialog's 22 values and the six of the calibrated levels, written in the same replacement.
    if (key.size() != 28 || key["WaveDevice1"].toInteger(0) != -1)
        return std::nullopt;
    const int k = int((key["Color1"].toInteger() - 1) / 16);
    for (int n = 1; n <= 16; ++n)
        if (key[QStringLiteral("Color%1").arg(n)].toInteger() != 16 * k + n)
            return std::nullopt;
    const QString expected[][2] = {
        {"txtYAxisMin", QString::number(k % 50)},
        {"txtYAxisMax", QString::number(k % 50 + 60)},
        {"txtYAxisStep", QString::number(k % 9 + 1)},
        {"txtXAxisMin", QString::number(k % 50 + 20)},
        {"txtXAxisMax", QString::number(20000 - k % 50)},
    };
    for (const auto& [name, text] : expected)
        if (key[name].toString() != text)
            return std::nullopt;
    return k;
}

using SettingsKill = DialogTest;

// The child: closes the dialog with a new generation of values until it is killed.
TEST_F(SettingsKill, ChildClosesTheDialogUntilKilled)
{
    const QString target = qEnvironmentVariable(kChildVariable);
    if (target.isEmpty())
        GTEST_SKIP() << "run by KilledClosesLeaveOneGenerationOfValues";
    settings::setStorePath(target);
    const auto dialog = create();
    for (int k = QRandomGenerator::global()->bounded(1000);; ++k) {
        setGeneration(*dialog, colours, k);
        dialog->close();
    }
}

TEST_F(SettingsKill, KilledClosesLeaveOneGenerationOfValues)
{
    constexpr int kKills = 15;
    for (int round = 0; round < kKills; ++round) {
        SCOPED_TRACE(round);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildVariable), file());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=SettingsKill.ChildClosesTheDialogUntilKilled")});
        ASSERT_TRUE(child.waitForStarted(10000));
        // From the first round's first close on, the file is always there.
        for (int waited = 0; !QFile::exists(file()) && waited < 30000; waited += 5)
            QThread::msleep(5);
        QThread::msleep(QRandomGenerator::global()->bounded(1, 40));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_TRUE(generationOf(storedKey())) << fileBytes().toStdString();
    }

    // A close of our own replaces the file and takes what the killed writes left with it.
    const auto dialog = create();
    setGeneration(*dialog, colours, 7);
    dialog->close();
    EXPECT_EQ(generationOf(storedKey()), 7);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.json")});
}

} // namespace
