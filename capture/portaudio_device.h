#pragma once
// Input devices backed by PortAudio, and the library's process-wide session.
// UI thread only, except the stream callbacks inside the implementation.

#include "input_device.h"

#include <memory>
#include <string>
#include <vector>

namespace capture::portaudio {

// Re-initialises PortAudio (its device list is a snapshot taken then) and
// returns its input devices in its order; defaultIndex receives the position
// of the default input in that list, or -1. Returns false, leaving the lists
// empty, while a PortAudio stream is open or when PortAudio cannot start.
// What the probed libraries print meanwhile is caught (diagnostics()). It
// may run on another thread than the UI's while nothing else uses PortAudio
// or ALSA (DeviceList::scanAhead).
bool scan(std::vector<std::unique_ptr<InputDevice>>& devices, int& defaultIndex);

// PortAudio's text for an error code (a PaError), with the host's own
// message for an unanticipated host error.
std::string errorText(int error);

// Whether the last scan started PortAudio, so its device list can be read.
bool started();

// PortAudio streams open now, inputs and outputs: a scan would end them, so
// none happens while one is open. Every opened stream notes its opening and
// closing.
int openStreams();
void noteStreamOpened();
void noteStreamClosed();

// What PortAudio and the libraries below it printed during the last scan, and why it could not
// start (if so); empty when they had nothing to say.
const std::string& diagnostics();

} // namespace capture::portaudio
