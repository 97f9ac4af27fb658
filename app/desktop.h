#pragma once
// What the program hands to the desktop: its help pages, opened in the
// browser, and the recording mixer. Where the desktop has no browser or mixer
// to start, the callers are told, so they can say what to install.

#include <QString>

#include <functional>

namespace app {

// The folder of the HTML help: "help" beside the executable, or the installed
// copy under share/spectrion/help; empty when neither exists.
QString findHelpFolder(const QString& executableDir);

// The page of a help topic: 1 is the main page, 10 the introduction.
QString helpTopicPage(int topic);

// Opens one page of the help folder by file name. Returns false when the page
// does not exist. `noBrowser` runs (on the UI thread, perhaps later) when no
// browser could be started for it.
bool openHelpPage(const QString& helpFolder, const QString& page,
                  std::function<void()> noBrowser = {});

// Starts the desktop's recording mixer where one is installed (sndvol32.exe /r
// on Windows, the PulseAudio volume control's input page on Linux); does
// nothing where none is. Returns whether a program was started.
bool startRecordingMixer();

} // namespace app
