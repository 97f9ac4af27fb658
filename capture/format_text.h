#pragma once
// Readable description of a capture format, for error texts.

#include "wavein_types.h"

#include <string>

namespace capture {

// For example "16-bit, 1 channel, 48000 Hz".
std::string describeFormat(const WAVEFORMATEX& format);

} // namespace capture
