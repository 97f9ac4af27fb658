#pragma once
// Turns stored colour values (engine::TColor) into Qt colours and back.
// A value 0xFF000000 + n names system colour n and is looked up in the
// application palette at the time of the call; any other value is taken as
// 0x??BBGGRR with red in the low byte (the top byte is ignored).
// System colours, by number: 0 scroll bar -> Midlight, 1 desktop -> Dark,
// 2 active caption -> Highlight, 3 inactive caption -> Mid, 4 menu -> Window,
// 5 window -> Base, 6 window frame -> Shadow, 7 menu text -> WindowText,
// 8 window text -> WindowText, 9 caption text -> HighlightedText,
// 10/11 borders -> Button, 12 workspace -> Dark, 13 highlight -> Highlight,
// 14 highlighted text -> HighlightedText, 15 button face -> Button,
// 16 button shadow -> Dark, 17 grey text -> disabled WindowText,
// 18 button text -> ButtonText, 19 inactive caption text -> Light,
// 20 button highlight -> Light, 21 3-D dark shadow -> Shadow,
// 22 3-D light -> Midlight, 23 tooltip text -> ToolTipText,
// 24 tooltip background -> ToolTipBase, 26 hot item -> Link,
// 27 caption gradient -> Highlight, 28 inactive caption gradient -> Mid,
// 29 menu highlight -> Highlight, 30 menu bar -> Window; any other number is
// black. UI thread only.

#include "engine/colour.h"

#include <QColor>

namespace display {

// 0xFFRRGGBB, opaque.
QRgb toQRgb(engine::TColor colour);
QColor toQColor(engine::TColor colour);

// The colour the live curve is drawn in over a graph background: white on a
// dark one, black on a light one (relative luminance above one half).
engine::TColor liveCurveColour(engine::TColor background);

// The colour's RGB value as 0x00BBGGRR (never a system colour).
engine::TColor fromQColor(const QColor& colour);

} // namespace display
