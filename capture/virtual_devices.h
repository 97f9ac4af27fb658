#pragma once
// Registration of virtual input devices, listed after the real ones in the
// order registered. Each records in real time (unless registered unpaced),
// paced by its own thread, and behaves like a real device at every
// wave-input call. UI thread only.

#include "signal_source.h"

#include <QString>

namespace capture {

// A sound file (anything libsndfile reads), looped, resampled to the
// capture's rate where it has another, its channels mixed or one of them read
// (`channel` 1 for the first, 0 for the mix). Returns an empty string, or a
// one-line reason when the path is no regular file, the file cannot be read,
// holds no sound or lacks the channel. Unpaced, it delivers as fast as the
// capture takes its buffers.
QString registerInputFile(const QString& path, int channel = 0, bool paced = true);

// A test signal (see test_signal.h for the syntax). Returns an empty string,
// or a one-line reason when the text is not a valid signal.
QString registerTestSignal(const QString& description);

// Any source, for tests and benchmarks; `source` as waveInGetDevCaps reports it.
void registerVirtualDevice(const QString& name, SourceFactory factory, bool paced = true,
                           const WAVEINCAPS& source = {});

// Removes every virtual device; inputs already open keep recording.
void clearVirtualDevices();

} // namespace capture
