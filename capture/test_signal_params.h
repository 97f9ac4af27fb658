#pragma once
// The parameters of a test or generator signal, as the text syntax of
// test_signal.h describes them.

namespace capture {

struct TestSignalParams {
    enum class Kind { Sine, Sweep, Pink, White, Silence };
    Kind kind = Kind::Silence;
    double frequency = 0;  // Hz: the sine's, the sweep's start
    double frequency2 = 0; // Hz: the sweep's end
    double seconds = 0;    // the sweep's duration
    double levelDb = 0;    // dBFS, an RMS against a full-scale sine's (waveform.h)
};

} // namespace capture
