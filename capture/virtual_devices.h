#pragma once
// Registration of virtual input devices, listed after the real ones in the
// order registered. Each records in real time (unless registered unpaced),
// paced by its own thread, and behaves like a real device at every
// wave-input call. UI thread only.

#include "signal_source.h"

#include <QString>

namespace capture {

// A sound file (anything libsndfile reads), looped. Returns an empty string,
// or a one-line reason when the file cannot be read or holds no sound. A file
// whose rate differs from the capture's is refused when the capture opens.
// Unpaced, it delivers as fast as the capture takes its buffers.
QString registerInputFile(const QString& path, bool paced = true);

// A test signal (see test_signal.h for the syntax). Returns an empty string,
// or a one-line reason when the text is not a valid signal.
QString registerTestSignal(const QString& description);

// Any source, for tests and benchmarks.
void registerVirtualDevice(const QString& name, SourceFactory factory, bool paced = true);

// Removes every virtual device; inputs already open keep recording.
void clearVirtualDevices();

} // namespace capture
