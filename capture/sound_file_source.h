#pragma once
// The virtual sound-file input: any file libsndfile reads, looped, at the capture's rate
// (resampled with libsamplerate's best sinc converter when the file has another one), mixed to
// the opened channel count or read from one chosen channel. Samples that are not finite numbers
// are clamped (NaN to 0, infinities to full scale) and counted.

#include "signal_source.h"

#include <memory>
#include <string>

namespace capture {

struct SoundFileInfo {
    int rate = 0;     // frames per second of the file
    int channels = 0; // channels of the file
};

// Checks that `path` is a regular file libsndfile can read, that it holds sound and that it has
// `channel` (1 for the first; 0 mixes all). An empty string on success, else a one-line reason.
// A FIFO or a device is refused before it is opened: reading one could block for ever.
std::string checkSoundFile(const std::string& path, int channel, SoundFileInfo* info = nullptr);

// A source playing the file from its start, looped, at the format's rate and channel count.
// Null with a reason when the file cannot be opened or resampled.
std::unique_ptr<SignalSource> openSoundFile(const std::string& path, int channel,
                                            const WAVEFORMATEX& format, int maxFrames,
                                            std::string& error);

} // namespace capture
