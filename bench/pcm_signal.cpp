// Writes a test signal as raw 16-bit signed little-endian mono PCM at 48000
// frames/s to standard output, as fast as the reader takes it, for playing a
// known signal into a sound server:
//   pcm_signal SPEC [SECONDS]      (SPEC as --test-signal; endless without SECONDS)
// Ends quietly when the reader goes away.

#include "capture/pcm_convert.h"
#include "capture/test_signal.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: pcm_signal SPEC [SECONDS]\n");
        return 2;
    }
    constexpr int kRate = 48000;
    constexpr int kChunk = 4800;
    std::string error;
    const auto params = capture::parseTestSignal(argv[1], error);
    std::unique_ptr<capture::SignalSource> source =
        params ? capture::makeTestSignal(*params, kRate, error) : nullptr;
    if (!source) {
        std::fprintf(stderr, "pcm_signal: %s\n", error.c_str());
        return 2;
    }
    long long left = argc == 3 ? std::atoll(argv[2]) * kRate : -1;
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<float> samples(kChunk);
    std::vector<std::uint8_t> bytes(2 * kChunk);
    while (left != 0) {
        const int n = left < 0 || left > kChunk ? kChunk : static_cast<int>(left);
        source->render(samples.data(), n, 1);
        capture::floatToPcm16(samples.data(), static_cast<std::size_t>(n), bytes.data());
        for (std::size_t done = 0, size = 2 * static_cast<std::size_t>(n); done < size;) {
            const ssize_t w = ::write(STDOUT_FILENO, bytes.data() + done, size - done);
            if (w <= 0)
                return 0;
            done += static_cast<std::size_t>(w);
        }
        if (left > 0)
            left -= n;
    }
    return 0;
}
