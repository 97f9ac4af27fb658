#pragma once
// Asking the user for a colour. The dialog's "Ändern" button calls a ColourChooser; tests and
// unattended runs put in their own.

#include "engine/colour.h"

#include <functional>
#include <optional>

class QWidget;

namespace settings {

// The colour the user confirmed, or nothing when the user cancelled.
using ColourChooser = std::function<std::optional<engine::TColor>()>;

// The desktop's colour dialog, modal over parent. It opens with the colour last confirmed in it
// (black the first time), not with the colour being changed, and returns RGB values only. Once
// parent is gone the dialog opens without one. UI thread only.
ColourChooser desktopColourChooser(QWidget* parent);

} // namespace settings
