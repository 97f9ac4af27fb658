#include "unattended.h"

#include "frm_generator.h"
#include "frm_main.h"
#include "message_box.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdio>

namespace app {
namespace {

// The message on one line; details after a blank line follow as they are.
void printError(const QString& text)
{
    const qsizetype split = text.indexOf(QStringLiteral("\n\n"));
    const QString head = split < 0 ? text : text.left(split);
    std::fprintf(stderr, "spectrion: %s\n", qPrintable(QString(head).replace('\n', ' ')));
    if (split >= 0)
        std::fprintf(stderr, "%s\n", qPrintable(text.mid(split + 2)));
}

// A block takes about 171 ms; the first one can take about 2 s to come from a sound server.
constexpr int kFirstBlockMs = 6000;
constexpr int kNextBlockMs = 3000;

} // namespace

bool UnattendedRun::wanted(const Options& options)
{
    return !options.screenshot.isEmpty() || !options.exportPath.isEmpty() ||
           !options.exportCsvPath.isEmpty();
}

void UnattendedRun::reportToStderr()
{
    setMessagePresenter([](QWidget*, const QString& text) { printError(text); });
}

UnattendedRun::UnattendedRun(TfrmMain& window, const Options& options,
                             std::function<QString(const QString&)> exportSpectrum)
    : window_(window), options_(options), exportSpectrum_(std::move(exportSpectrum))
{
    active_ = wanted(options);
    if (!active_)
        return;
    reportToStderr();
    window_.setSavesWindowSettings(false);
    // Nobody is there to answer: nothing is cleared or overwritten, nothing kept at quit.
    window_.memoryDialogs.confirm = [](const QString&) { return false; };
    window_.memoryDialogs.quit = [] { return TfrmMain::QuitAnswer::Discard; };
    window_.setBlockObserver([this] { blockHandled(); });
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        fail(QString("only %1 of %2 blocks arrived: the input delivers no sound")
                 .arg(blocks_)
                 .arg(options_.afterBlocks));
    });
}

void UnattendedRun::begin()
{
    if (!active_)
        return;
    if (!options_.start) {
        QTimer::singleShot(0, this, [this] { finish(); });
        return;
    }
    if (!window_.AudioIn1->Active && window_.AudioIn1->QueuedBuffers == 0) {
        // The start's own message has gone to standard error already.
        fail("the capture did not start");
        return;
    }
    if (options_.generator && !window_.frmGenerator->playing()) {
        fail("the generator did not start");
        return;
    }
    watchdog_.start(kFirstBlockMs);
}

void UnattendedRun::blockHandled()
{
    if (done_)
        return;
    if (++blocks_ < options_.afterBlocks) {
        watchdog_.start(kNextBlockMs);
        return;
    }
    // Leave the handler first: its drawing reaches the screen when it returns.
    QTimer::singleShot(0, this, [this] { finish(); });
    done_ = true;
}

void UnattendedRun::finish()
{
    watchdog_.stop();
    // A measurement of a signal that stopped on the way measures the wrong thing.
    if (options_.generator && !window_.frmGenerator->playing())
        return fail("the generator stopped playing");
    if (!options_.exportPath.isEmpty()) {
        const QString error = exportSpectrum_ ? exportSpectrum_(options_.exportPath)
                                              : QString("the export is not available");
        if (!error.isEmpty())
            return fail(error);
    }
    if (!options_.exportCsvPath.isEmpty())
        if (const QString error = window_.exportCsv(options_.exportCsvPath); !error.isEmpty())
            return fail(error);
    if (!options_.screenshot.isEmpty()) {
        QCoreApplication::processEvents();
        if (!picture().save(options_.screenshot, "PNG"))
            return fail(QString("could not write %1").arg(options_.screenshot));
    }
    // End as a user would: closing the window stops the capture.
    window_.close();
    QCoreApplication::exit(0);
}

QPixmap UnattendedRun::picture() const
{
    const QPixmap main = window_.grab();
    if (!window_.frmGenerator->isVisible())
        return main;
    // The generator's window beside the main one, so the picture says what played.
    constexpr int kGap = 8;
    const QPixmap generator = window_.frmGenerator->grab();
    QPixmap both(main.width() + kGap + generator.width(),
                 std::max(main.height(), generator.height()));
    both.fill(window_.palette().color(QPalette::Mid));
    QPainter painter(&both);
    painter.drawPixmap(0, 0, main);
    painter.drawPixmap(main.width() + kGap, 0, generator);
    return both;
}

void UnattendedRun::fail(const QString& message)
{
    done_ = true;
    watchdog_.stop();
    printError(message);
    window_.AudioIn1->StopAtOnce();
    // Queued: a failure found before the event loop runs would otherwise be lost, and the run
    // would wait for ever.
    QTimer::singleShot(0, this, [] { QCoreApplication::exit(1); });
}

} // namespace app
