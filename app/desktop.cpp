#include "desktop.h"

#include <QCoreApplication>
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

namespace {

// The desktop's opener tells by its exit status whether a browser took the page; Qt's own call
// returns before it knows.
void openInBrowser(const QUrl& url, std::function<void()> noBrowser)
{
    const auto failed = [noBrowser] {
        if (noBrowser)
            noBrowser();
    };
#ifndef Q_OS_WIN
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto* process = new QProcess(QCoreApplication::instance()); // deletes itself when done
        process->setProgram(opener);
        process->setArguments({url.toString()});
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0)
                                 failed();
                             process->deleteLater();
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process, failed](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             failed();
                             process->deleteLater();
                         });
        process->start();
        return;
    }
#endif
    if (!QDesktopServices::openUrl(url))
        failed();
}

} // namespace

bool openHelpPage(const QString& helpFolder, const QString& page, std::function<void()> noBrowser)
{
    const QString path = QDir(helpFolder).filePath(page);
    if (helpFolder.isEmpty() || !QFileInfo(path).isFile())
        return false;
    openInBrowser(QUrl::fromLocalFile(path), std::move(noBrowser));
    return true;
}

QString helpTopicPage(int topic)
{
    return topic == 10 ? QStringLiteral("einfuehrung.html") : QStringLiteral("index.html");
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
