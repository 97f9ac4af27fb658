#pragma once
// What the user reads when a capture cannot start: a German sentence chosen by the device
// layer's result code, then the layer's own technical text. UI thread only.

#include "capture/wavein_types.h"

#include <QString>

namespace app {

// The German sentence for a failed start with this code, and the technical text below it.
QString startFailureText(capture::MMRESULT code, const QString& technical);

// The technical text after a German sentence, on a line of its own.
QString withTechnicalDetail(const QString& sentence, const QString& technical);

} // namespace app
