#include "waveform.h"

#include "normal_random.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace capture {
namespace {

constexpr std::uint64_t kSeed = 0x5EC7'2101'0000'0001ull;

double amplitude(double db)
{
    return std::pow(10.0, db / 20.0);
}

// A level in dBFS is an RMS against that of a full-scale sine, as the meter
// reads it: a noise of L dBFS has an RMS of amplitude(L) / sqrt(2).
constexpr double kFullScaleSineRms = std::numbers::sqrt2 / 2;

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
    double next() noexcept override { return random_.next(); }
    void render(float* out, int count, double scale) noexcept override
    {
        NormalRandom random = random_; // in registers, as PinkNoise's
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(scale * random.next());
        random_ = random;
    }
    double scaleFor(double levelDb) const noexcept override
    {
        return amplitude(levelDb) * kFullScaleSineRms;
    }

private:
    NormalRandom random_{kSeed};
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

    double next() noexcept override { return step(random_, state_, delayed_); }
    void render(float* out, int count, double scale) noexcept override
    {
        // On copies, which the compiler keeps in registers: the members
        // might alias the random generator's table.
        NormalRandom random = random_;
        std::array<double, 6> state = state_;
        double delayed = delayed_;
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(scale * step(random, state, delayed));
        random_ = random;
        state_ = state;
        delayed_ = delayed;
    }
    // The filter's output RMS divided out, so the level is the noise's RMS.
    double scaleFor(double levelDb) const noexcept override
    {
        return amplitude(levelDb) * kFullScaleSineRms / unitRms_;
    }

private:
    static double step(NormalRandom& random, std::array<double, 6>& state, double& delayed) noexcept
    {
        const double white = random.next();
        // Unrolled, so that render() keeps the sections in registers.
        state[0] = kPole[0] * state[0] + kWeight[0] * white;
        state[1] = kPole[1] * state[1] + kWeight[1] * white;
        state[2] = kPole[2] * state[2] + kWeight[2] * white;
        state[3] = kPole[3] * state[3] + kWeight[3] * white;
        state[4] = kPole[4] * state[4] + kWeight[4] * white;
        state[5] = kPole[5] * state[5] + kWeight[5] * white;
        // Summed in pairs: the sections do not wait for each other.
        const double pink = (kDirect * white + delayed) +
                            ((state[0] + state[1]) + (state[2] + state[3]) + (state[4] + state[5]));
        delayed = kDelayed * white;
        return pink;
    }

    static constexpr double kPole[6] = {0.99886, 0.99332, 0.96900, 0.86650, 0.55000, -0.7616};
    static constexpr double kWeight[6] = {0.0555179, 0.0750759, 0.1538520,
                                          0.3104856, 0.5329522, -0.0168980};
    static constexpr double kDirect = 0.5362;
    static constexpr double kDelayed = 0.115926;

    // RMS of the output for white input of unit variance: the root of the sum
    // of the squared impulse response h, h[k] = direct (k = 0) + delayed
    // (k = 1) + sum of w[i] p[i]^k, summed in closed form over all k.
    static double unitRms()
    {
        double h0 = kDirect;
        double h1 = kDelayed;
        for (int i = 0; i < 6; ++i) {
            h0 += kWeight[i];
            h1 += kWeight[i] * kPole[i];
        }
        // From k = 2 on, only the sections: sum of w[i] w[j] (p[i] p[j])^k.
        double rest = 0;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) {
                const double pp = kPole[i] * kPole[j];
                rest += kWeight[i] * kWeight[j] * pp * pp / (1.0 - pp);
            }
        return std::sqrt(h0 * h0 + h1 * h1 + rest);
    }

    const double unitRms_;
    std::array<double, 6> state_{};
    double delayed_ = 0;
    NormalRandom random_{kSeed};
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

void Waveform::render(float* out, int count, double scale) noexcept
{
    for (int i = 0; i < count; ++i)
        out[i] = renderSample(*this, scale);
}

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
