#include "waveform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace capture {
namespace {

// SplitMix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in (0, 1].
    double uniform() { return (static_cast<double>(next() >> 11) + 1.0) * 0x1.0p-53; }
    // Standard normal, Box-Muller.
    double gaussian()
    {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        const double r = std::sqrt(-2.0 * std::log(uniform()));
        const double a = 2.0 * std::numbers::pi * uniform();
        spare_ = r * std::sin(a);
        hasSpare_ = true;
        return r * std::cos(a);
    }

private:
    std::uint64_t state_;
    double spare_ = 0;
    bool hasSpare_ = false;
};

constexpr std::uint64_t kSeed = 0x5EC7'2101'0000'0001ull;

double amplitude(double db)
{
    return std::pow(10.0, db / 20.0);
}

// Tones: next() is a unit sine, so the scale is the peak amplitude.
class Tone : public Waveform {
public:
    double scaleFor(double levelDb) const noexcept override { return amplitude(levelDb); }
};

class Silence final : public Waveform {
public:
    double next() noexcept override { return 0.0; }
    double scaleFor(double) const noexcept override { return 0.0; }
};

class Sine final : public Tone {
public:
    Sine(double frequency, double rate) : step_(frequency / rate) {}

    double next() noexcept override
    {
        const double v = std::sin(2.0 * std::numbers::pi * phase_);
        phase_ += step_;
        phase_ -= std::floor(phase_);
        return v;
    }

private:
    const double step_;
    double phase_ = 0; // in cycles
};

// The instantaneous frequency rises (or falls) exponentially from f1 to f2,
// then starts over at f1 with phase 0.
class Sweep final : public Tone {
public:
    Sweep(double f1, double f2, double seconds, double rate)
        : f1_(f1), logRatio_(std::log(f2 / f1)), rate_(rate),
          length_(std::max<long long>(1, std::llround(seconds * rate)))
    {
    }

    double next() noexcept override
    {
        const double v = std::sin(2.0 * std::numbers::pi * phase_);
        const double f = f1_ * std::exp(logRatio_ * static_cast<double>(n_) / length_);
        phase_ += f / rate_;
        phase_ -= std::floor(phase_);
        if (++n_ == length_) {
            n_ = 0;
            phase_ = 0;
        }
        return v;
    }

private:
    const double f1_;
    const double logRatio_;
    const double rate_;
    const long long length_;
    long long n_ = 0;
    double phase_ = 0;
};

// Gaussian noise of unit variance: the scale is the RMS.
class WhiteNoise final : public Waveform {
public:
    double next() noexcept override { return random_.gaussian(); }
    double scaleFor(double levelDb) const noexcept override { return amplitude(levelDb); }

private:
    Random random_{kSeed};
};

// The same Gaussian white noise through a parallel bank of six first-order
// low-pass sections, plus a direct and a one-sample delayed path, whose poles
// are spread so the sum falls 3 dB per octave. Computed from these
// coefficients, the magnitude response at 48 kHz stays within +-0.03 dB of
// the ideal 1/f power slope from 10 Hz to 22 kHz; at another rate the slope
// keeps its shape between rate / 4800 and 0.46 x rate. What remains of a
// third-octave band's level over a long average is the noise's own scatter.
class PinkNoise final : public Waveform {
public:
    PinkNoise() : unitRms_(unitRms()) {}

    double next() noexcept override
    {
        const double white = random_.gaussian();
        double pink = kDirect * white + delayed_;
        for (int i = 0; i < 6; ++i) {
            state_[i] = kPole[i] * state_[i] + kWeight[i] * white;
            pink += state_[i];
        }
        delayed_ = kDelayed * white;
        return pink;
    }
    // The filter's output RMS divided out, so the level is the noise's RMS.
    double scaleFor(double levelDb) const noexcept override
    {
        return amplitude(levelDb) / unitRms_;
    }

private:
    static constexpr double kPole[6] = {0.99886, 0.99332, 0.96900, 0.86650, 0.55000, -0.7616};
    static constexpr double kWeight[6] = {0.0555179, 0.0750759, 0.1538520,
                                          0.3104856, 0.5329522, -0.0168980};
    static constexpr double kDirect = 0.5362;
    static constexpr double kDelayed = 0.115926;

    // RMS of the output for white input of unit variance: the root of the sum
    // of the squared impulse response (the slowest pole has decayed by 1e-20
    // after 40000 samples).
    static double unitRms()
    {
        double sum = 0;
        for (int k = 0; k < 40000; ++k) {
            double h = k == 0 ? kDirect : (k == 1 ? kDelayed : 0.0);
            for (int i = 0; i < 6; ++i)
                h += kWeight[i] * std::pow(kPole[i], k);
            sum += h * h;
        }
        return std::sqrt(sum);
    }

    const double unitRms_;
    double state_[6] = {};
    double delayed_ = 0;
    Random random_{kSeed};
};

std::string hertz(double f)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g Hz", f);
    return text;
}

bool belowHalfTheRate(double f, double rate, std::string& error)
{
    if (f < rate / 2)
        return true;
    error = "test signal frequency " + hertz(f) + " is not below half the sample rate";
    return false;
}

} // namespace

std::unique_ptr<Waveform> makeWaveform(const TestSignalParams& params, double rate,
                                       std::string& error)
{
    switch (params.kind) {
    case TestSignalParams::Kind::Sine:
        if (!belowHalfTheRate(params.frequency, rate, error))
            return nullptr;
        return std::make_unique<Sine>(params.frequency, rate);
    case TestSignalParams::Kind::Sweep:
        if (!belowHalfTheRate(params.frequency, rate, error) ||
            !belowHalfTheRate(params.frequency2, rate, error))
            return nullptr;
        return std::make_unique<Sweep>(params.frequency, params.frequency2, params.seconds, rate);
    case TestSignalParams::Kind::Pink:
        return std::make_unique<PinkNoise>();
    case TestSignalParams::Kind::White:
        return std::make_unique<WhiteNoise>();
    case TestSignalParams::Kind::Silence:
        break;
    }
    return std::make_unique<Silence>();
}

} // namespace capture
