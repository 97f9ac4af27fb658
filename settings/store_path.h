#pragma once
// Where the settings file lives. The command line's --settings PATH wins, then
// the environment variable SPECTRION_SETTINGS, then the desktop's per-user
// configuration folder. UI thread only.

#include <QString>

namespace settings {

// <config folder>/Drevmark/Spectrion/settings.json, e.g.
// ~/.config/Drevmark/Spectrion/settings.json.
QString defaultStorePath();

// The file the program reads and writes now, chosen by the order above.
QString storePath();

// Called for --settings PATH; an empty path drops the choice again.
void setStorePath(const QString& path);

} // namespace settings
