#pragma once
// Gaussian random numbers for the noise signals: standard normal (mean 0,
// variance 1), from a seeded 64-bit generator, so a seed gives the same
// sequence everywhere. A ziggurat of 128 strips: nearly every number costs
// one 64-bit draw, a multiplication and a comparison, instead of a logarithm
// and a sine per pair, since the noise is drawn for every sample in real time.
//
// The strip table is built once, by the first constructor (on the thread that
// builds the signal); next() allocates nothing and may run on any thread,
// one thread per object.

#include <cstdint>

namespace capture {

class NormalRandom {
public:
    explicit NormalRandom(std::uint64_t seed);

    double next() noexcept;

private:
    std::uint64_t draw() noexcept;
    // Uniform in [0, 1) from the top 53 bits of a draw.
    static double unit(std::uint64_t bits) noexcept;
    // Beyond the base strip's edge, |x| > R.
    double tail(bool negative) noexcept;

    std::uint64_t state_;
};

} // namespace capture
