#pragma once
// The virtual sound-file input: any file libsndfile reads, looped, mixed to the
// opened channel count. The file must have the opened sample rate.

#include "signal_source.h"

#include <memory>
#include <string>

namespace capture {

// Checks that the file can be read and holds sound; an empty string on
// success, else a one-line reason.
std::string checkSoundFile(const std::string& path);

// A source playing the file from its start, looped. Null with a reason when the
// file cannot be opened or its rate differs from the format's.
std::unique_ptr<SignalSource> openSoundFile(const std::string& path, const WAVEFORMATEX& format,
                                            int maxFrames, std::string& error);

} // namespace capture
