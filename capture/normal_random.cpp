#include "normal_random.h"

namespace capture {
namespace {

// The right edge of the base strip and the area of every strip (the base's
// includes the tail beyond R), for 128 strips under exp(-x^2 / 2).
constexpr double kR = 3.442619855899;
constexpr double kArea = 9.91256303526217e-3;

const NormalRandom::Strips& strips()
{
    constexpr std::size_t n = NormalRandom::kStrips;
    static const NormalRandom::Strips table = [] {
        NormalRandom::Strips s{};
        double f = std::exp(-0.5 * kR * kR);
        s.x[0] = kArea / f;
        s.x[1] = kR;
        s.x[n] = 0;
        for (std::size_t i = 2; i < n; ++i) {
            s.x[i] = std::sqrt(-2.0 * std::log(kArea / s.x[i - 1] + f));
            f = std::exp(-0.5 * s.x[i] * s.x[i]);
        }
        for (std::size_t i = 0; i < n; ++i)
            s.inside[i] = s.x[i + 1] / s.x[i];
        return s;
    }();
    return table;
}

} // namespace

NormalRandom::NormalRandom(std::uint64_t seed) : strips_(&strips()), state_(seed) {}

double NormalRandom::beyondStrip(double u, std::size_t i) noexcept
{
    const Strips& s = *strips_;
    for (;;) {
        if (i == 0)
            return tail(u < 0);
        const double x = u * s.x[i];
        const double f0 = std::exp(-0.5 * (s.x[i] * s.x[i] - x * x));
        const double f1 = std::exp(-0.5 * (s.x[i + 1] * s.x[i + 1] - x * x));
        if (f1 + unit(draw()) * (f0 - f1) < 1.0)
            return x;
        const std::uint64_t bits = draw();
        u = 2.0 * unit(bits) - 1.0;
        i = bits & (kStrips - 1);
        if (std::fabs(u) < s.inside[i])
            return u * s.x[i];
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
