#pragma once
// What a virtual input device records: a generator or a file, rendered as
// floating-point frames (full scale is +-1.0, 1 LSB of 16 bit is 1/32768).

#include "wavein_types.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace capture {

class SignalSource {
public:
    virtual ~SignalSource() = default;
    // Writes frames * channels interleaved samples. Runs on the device's own
    // thread; must allocate nothing and call no Qt. frames never exceeds the
    // maxFrames the source was created for. Returning false makes the device
    // fail with failureText().
    virtual bool render(float* out, int frames, int channels) noexcept = 0;
    virtual const char* failureText() const noexcept { return "the virtual device failed"; }
    // Samples rendered since the last call that were not finite numbers in the source and were
    // clamped. Same thread as render().
    virtual std::size_t takeRepairedSamples() noexcept { return 0; }
    // Called on the UI thread when recording starts; false refuses the start
    // with failureText().
    virtual bool begin() { return true; }
};

// Creates a fresh source for an opened format (UI thread). On refusal returns
// null and says why in error; the device then refuses the format.
using SourceFactory = std::function<std::unique_ptr<SignalSource>(
    const WAVEFORMATEX& format, int maxFrames, std::string& error)>;

} // namespace capture
