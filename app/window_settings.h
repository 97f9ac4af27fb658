#pragma once
// What the main window keeps between runs, beside the settings dialog's values: the input
// device the user chose (by its name, which survives other devices coming and going), the
// averaging, the band resolution, the page and the window's position, size and maximised
// state. One typed value each in the settings key; a value missing, of another type or out of range
// gives the default. UI thread only.

#include "settings/control_store.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace app {

struct WindowSettings {
    QString inputDevice;            // empty: the system default
    int averaging = 0;              // item of cboAveraging, 0 .. 3
    int resolution = 1;             // item of cboOctaveType, 0 .. 3
    int page = 0;                   // 0 RTA, 1 FFT, 2 oscilloscope
    std::optional<QPoint> position; // top-left corner of the frame; none: the screen's corner
    // The window's size when not maximised (menu bar and status line included),
    // within the sizes --size takes; none: the form's default.
    std::optional<QSize> size;
    bool maximized = false;

    bool operator==(const WindowSettings&) const = default;
};

WindowSettings loadWindowSettings(const settings::StoreKey& key);

// Writes the values of `now` that differ from `before` (what was loaded), all in one
// replacement of the file, and nothing when none differs. Returns an empty string, or the
// store's technical reason when a changed value could not be saved.
QString saveWindowSettings(const settings::StoreKey& key, const WindowSettings& before,
                           const WindowSettings& now);

} // namespace app
