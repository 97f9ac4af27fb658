#pragma once
// What stands around PortAudio's start-up: whether the ALSA configuration lets it start at all,
// and what it and the libraries below it print while it looks for devices, kept for the details
// of a message instead of being lost. On the thread that scans for devices (the UI's, or the
// scan ahead's while the window is built), one call at a time.

#include <functional>
#include <string>

namespace capture::portaudio {

// PortAudio's ALSA layer aborts the program (an assertion in its device-list code) unless the
// ALSA configuration defines a "default" or a "dmix" PCM, as an empty, missing or comment-only
// configuration does not. False, with the reason in `why`, when PortAudio must not be started.
bool alsaConfigurationUsable(std::string& why);

// Runs `probe` with the standard error stream and ALSA's error messages caught, and returns what
// they received (the last few KiB). The JACK client library, for one, writes its failed
// connection attempts straight to the stream and offers no hook to stop it.
std::string catchDiagnostics(const std::function<void()>& probe);

// PortAudio's start-up opens every configured device, loading each plugin's library and all it
// links (codecs, other sound servers' clients: some ten megabytes), and ALSA's configuration
// cache alone keeps them loaded once the devices are closed. Freed, they unload; a stream opened
// later reads the configuration again and loads only what it uses. Call after the probe, while
// no stream is open.
void releaseAlsaConfiguration();

} // namespace capture::portaudio
