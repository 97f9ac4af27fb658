#pragma once
// What the program hands to the desktop: its help pages, opened in the
// browser, and the recording mixer. Failures are not reported, except a help
// folder that is missing altogether.

#include <QString>

namespace app {

// The folder of the HTML help: "help" beside the executable, or the installed
// copy under share/spectrion/help; empty when neither exists.
QString findHelpFolder(const QString& executableDir);

// Help topic 1 is the main page, 10 the introduction. Returns false when the
// page does not exist.
bool openHelpTopic(const QString& helpFolder, int topic);

// Opens one page of the help folder by file name.
bool openHelpPage(const QString& helpFolder, const QString& page);

// Starts the desktop's recording mixer where one is installed (sndvol32.exe /r
// on Windows, the PulseAudio volume control's input page on Linux); does
// nothing where none is. Returns whether a program was started.
bool startRecordingMixer();

} // namespace app
