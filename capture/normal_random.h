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

#include <cmath>
#include <cstdint>

namespace capture {

class NormalRandom {
public:
    explicit NormalRandom(std::uint64_t seed);

    double next() noexcept
    {
        // The strip from the low bits, the position from the high ones: they
        // do not overlap, so the two are independent.
        const std::uint64_t bits = draw();
        const double u = 2.0 * unit(bits) - 1.0;
        const std::size_t i = bits & (kStrips - 1);
        if (std::fabs(u) < strips_->inside[i])
            return u * strips_->x[i];
        return beyondStrip(u, i);
    }

    static constexpr std::size_t kStrips = 128;
    struct Strips {
        double x[kStrips + 1];  // strip i's right edge; x[kStrips] = 0
        double inside[kStrips]; // x[i + 1] / x[i]: below it, no test needed
    };

private:
    // SplitMix64: small, fast and the same everywhere.
    std::uint64_t draw() noexcept
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1) from the top 53 bits of a draw.
    static double unit(std::uint64_t bits) noexcept
    {
        return static_cast<double>(bits >> 11) * 0x1.0p-53;
    }
    // The rare rest: u * x[i] lies in strip i's wedge under the curve, or in
    // the tail beyond the base strip; draws again when rejected.
    double beyondStrip(double u, std::size_t i) noexcept;
    double tail(bool negative) noexcept;

    const Strips* strips_;
    std::uint64_t state_;
};

} // namespace capture
