#include "normal_random.h"

#include <array>
#include <cmath>

namespace capture {
namespace {

constexpr int kStrips = 128;
// The right edge of the base strip and the area of every strip (the base's
// includes the tail beyond R), for 128 strips under exp(-x^2 / 2).
constexpr double kR = 3.442619855899;
constexpr double kArea = 9.91256303526217e-3;

struct Strips {
    std::array<double, kStrips + 1> x;  // x[i]: strip i's right edge; x[128] = 0
    std::array<double, kStrips> inside; // x[i + 1] / x[i]: below it, no test needed
};

const Strips& strips()
{
    static const Strips table = [] {
        Strips s{};
        double f = std::exp(-0.5 * kR * kR);
        s.x[0] = kArea / f;
        s.x[1] = kR;
        s.x[kStrips] = 0;
        for (int i = 2; i < kStrips; ++i) {
            s.x[i] = std::sqrt(-2.0 * std::log(kArea / s.x[i - 1] + f));
            f = std::exp(-0.5 * s.x[i] * s.x[i]);
        }
        for (int i = 0; i < kStrips; ++i)
            s.inside[i] = s.x[i + 1] / s.x[i];
        return s;
    }();
    return table;
}

} // namespace

NormalRandom::NormalRandom(std::uint64_t seed) : state_(seed)
{
    strips();
}

// SplitMix64: small, fast and the same everywhere.
std::uint64_t NormalRandom::draw() noexcept
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double NormalRandom::unit(std::uint64_t bits) noexcept
{
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

double NormalRandom::next() noexcept
{
    const Strips& s = strips();
    for (;;) {
        // The strip from the low bits, the position from the high ones: they
        // do not overlap, so the two are independent.
        const std::uint64_t bits = draw();
        const double u = 2.0 * unit(bits) - 1.0;
        const auto i = static_cast<std::size_t>(bits & (kStrips - 1));
        if (std::fabs(u) < s.inside[i])
            return u * s.x[i];
        if (i == 0)
            return tail(u < 0);
        // In the wedge between the strip and the curve: accept under the curve.
        const double x = u * s.x[i];
        const double f0 = std::exp(-0.5 * (s.x[i] * s.x[i] - x * x));
        const double f1 = std::exp(-0.5 * (s.x[i + 1] * s.x[i + 1] - x * x));
        if (f1 + unit(draw()) * (f0 - f1) < 1.0)
            return x;
    }
}

double NormalRandom::tail(bool negative) noexcept
{
    double a = 0;
    double b = 0;
    do {
        // Open at 0, so that the logarithms stay finite.
        a = std::log(1.0 - unit(draw())) / kR;
        b = std::log(1.0 - unit(draw()));
    } while (-2.0 * b < a * a);
    return negative ? a - kR : kR - a;
}

} // namespace capture
