#include "desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace app {

QString findHelpFolder(const QString& executableDir)
{
    const QDir dir(executableDir);
    for (const QString& candidate :
         {dir.filePath("help"), dir.filePath("../share/spectrion/help")}) {
        if (QFileInfo(candidate + "/index.html").isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

bool openHelpPage(const QString& helpFolder, const QString& page)
{
    const QString path = QDir(helpFolder).filePath(page);
    if (helpFolder.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return true;
}

bool openHelpTopic(const QString& helpFolder, int topic)
{
    return openHelpPage(helpFolder, topic == 10 ? "einfuehrung.html" : "index.html");
}

bool startRecordingMixer()
{
#ifdef Q_OS_WIN
    return QProcess::startDetached("sndvol32.exe", {"/r"});
#else
    // Tab 4 of the PulseAudio volume control lists the input devices.
    const struct {
        const char* program;
        QStringList arguments;
    } mixers[] = {{"pavucontrol", {"--tab=4"}}, {"pavucontrol-qt", {"--tab=4"}}};
    for (const auto& m : mixers) {
        const QString exe = QStandardPaths::findExecutable(m.program);
        if (!exe.isEmpty() && QProcess::startDetached(exe, m.arguments))
            return true;
    }
    return false;
#endif
}

} // namespace app
