#pragma once
// Unattended runs: take the screenshot and/or write the export once the
// requested number of blocks has been handled, then quit. Messages go to
// standard error instead of waiting for a person, and a run whose blocks never
// arrive ends with an error instead of hanging.

#include "command_line.h"

#include <QObject>
#include <QPixmap>
#include <QTimer>

#include <functional>

namespace app {

class TfrmMain;

class UnattendedRun : public QObject {
    Q_OBJECT

public:
    // Does nothing unless the options ask for a screenshot or an export.
    // `exportSpectrum` writes the export to a path, returning an error text.
    UnattendedRun(TfrmMain& window, const Options& options,
                  std::function<QString(const QString&)> exportSpectrum);

    // Whether the options ask for an unattended run. Call before the window is
    // created: its start-up may already have something to say.
    static bool wanted(const Options& options);
    // Sends messages to standard error from now on.
    static void reportToStderr();

    bool active() const { return active_; }
    // Call once the window is shown and, with --start, the capture started.
    void begin();

private:
    void blockHandled();
    void finish();
    void fail(const QString& message);
    // The main window, with the generator's beside it while that is open.
    QPixmap picture() const;

    TfrmMain& window_;
    Options options_;
    std::function<QString(const QString&)> exportSpectrum_;
    bool active_ = false;
    bool done_ = false;
    int blocks_ = 0;
    QTimer watchdog_;
};

} // namespace app
