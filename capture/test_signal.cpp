#include "test_signal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace capture {
namespace {

constexpr double kDefaultToneDb = -6.0;
constexpr double kDefaultNoiseDb = -80.0;

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<double> number(std::string_view text)
{
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// What a signal may ask for: below 0.1 Hz a tone is no tone within a measurement, a sweep
// longer than an hour never shows as one, and below -200 dBFS every sample is 0.
constexpr double kMinFrequencyHz = 0.1;
constexpr double kMaxFrequencyHz = 1e6;
constexpr double kMinSweepSeconds = 0.1;
constexpr double kMaxSweepSeconds = 3600;
constexpr double kMinLevelDb = -200;

bool readFrequency(std::string_view text, double& value, std::string& error)
{
    const auto v = number(text);
    if (!v || *v < kMinFrequencyHz || *v > kMaxFrequencyHz) {
        error = "frequency must be a number of hertz from 0.1 to 1000000, not \"" +
                std::string(text) + "\"";
        return false;
    }
    value = *v;
    return true;
}

bool readLevel(std::string_view text, double& value, std::string& error)
{
    const auto v = number(text);
    if (!v || *v > 0 || *v < kMinLevelDb) {
        error = "level must be a number of dBFS from -200 to 0, not \"" + std::string(text) + "\"";
        return false;
    }
    value = *v;
    return true;
}

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

// A mono generator written to every channel.
class MonoSource : public SignalSource {
public:
    bool render(float* out, int frames, int channels) noexcept override
    {
        for (int i = 0; i < frames; ++i) {
            const auto v = static_cast<float>(next());
            for (int c = 0; c < channels; ++c)
                *out++ = v;
        }
        return true;
    }

protected:
    virtual double next() noexcept = 0;
};

class Silence final : public MonoSource {
    double next() noexcept override { return 0.0; }
};

class Sine final : public MonoSource {
public:
    Sine(double frequency, double amplitude, double rate)
        : step_(frequency / rate), amplitude_(amplitude)
    {
    }

private:
    double next() noexcept override
    {
        const double v = amplitude_ * std::sin(2.0 * std::numbers::pi * phase_);
        phase_ += step_;
        phase_ -= std::floor(phase_);
        return v;
    }
    const double step_;
    const double amplitude_;
    double phase_ = 0; // in cycles
};

// The instantaneous frequency rises (or falls) exponentially from f1 to f2.
class Sweep final : public MonoSource {
public:
    Sweep(double f1, double f2, double seconds, double amplitude, double rate)
        : f1_(f1), logRatio_(std::log(f2 / f1)), rate_(rate),
          length_(std::max<long long>(1, std::llround(seconds * rate))), amplitude_(amplitude)
    {
    }

private:
    double next() noexcept override
    {
        const double v = amplitude_ * std::sin(2.0 * std::numbers::pi * phase_);
        const double f = f1_ * std::exp(logRatio_ * static_cast<double>(n_) / length_);
        phase_ += f / rate_;
        phase_ -= std::floor(phase_);
        if (++n_ == length_) {
            n_ = 0;
            phase_ = 0;
        }
        return v;
    }
    const double f1_;
    const double logRatio_;
    const double rate_;
    const long long length_;
    const double amplitude_;
    long long n_ = 0;
    double phase_ = 0;
};

class WhiteNoise final : public MonoSource {
public:
    explicit WhiteNoise(double rms) : rms_(rms) {}

private:
    double next() noexcept override { return rms_ * random_.gaussian(); }
    const double rms_;
    Random random_{kSeed};
};

// White noise through a sum of first-order sections whose poles are spread so
// the response falls 3 dB per octave across the audio band.
class PinkNoise final : public MonoSource {
public:
    explicit PinkNoise(double rms) : gain_(rms / unitRms()) {}

private:
    static constexpr double kPole[6] = {0.99886, 0.99332, 0.96900, 0.86650, 0.55000, -0.7616};
    static constexpr double kWeight[6] = {0.0555179, 0.0750759, 0.1538520,
                                          0.3104856, 0.5329522, -0.0168980};
    static constexpr double kDirect = 0.5362;
    static constexpr double kDelayed = 0.115926;

    // RMS of the output for white input of unit variance: the root of the sum
    // of the squared impulse response.
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

    double next() noexcept override
    {
        const double white = random_.gaussian();
        double pink = kDirect * white + delayed_;
        for (int i = 0; i < 6; ++i) {
            state_[i] = kPole[i] * state_[i] + kWeight[i] * white;
            pink += state_[i];
        }
        delayed_ = kDelayed * white;
        return gain_ * pink;
    }

    const double gain_;
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

double amplitude(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace

std::optional<TestSignalParams> parseTestSignal(std::string_view text, std::string& error)
{
    const auto parts = split(text, ':');
    const std::string_view kind = parts[0];
    TestSignalParams params;
    const auto arity = [&](std::size_t least, std::size_t most) {
        if (parts.size() >= least && parts.size() <= most)
            return true;
        error = "wrong number of fields in \"" + std::string(text) + "\"";
        return false;
    };
    if (kind == "sine") {
        params.kind = TestSignalParams::Kind::Sine;
        params.levelDb = kDefaultToneDb;
        if (!arity(2, 3) || !readFrequency(parts[1], params.frequency, error) ||
            (parts.size() == 3 && !readLevel(parts[2], params.levelDb, error)))
            return std::nullopt;
    } else if (kind == "sweep") {
        params.kind = TestSignalParams::Kind::Sweep;
        params.levelDb = kDefaultToneDb;
        if (!arity(3, 4))
            return std::nullopt;
        const auto range = split(parts[1], '-');
        if (range.size() != 2) {
            error = "sweep range must read F1-F2, not \"" + std::string(parts[1]) + "\"";
            return std::nullopt;
        }
        if (!readFrequency(range[0], params.frequency, error) ||
            !readFrequency(range[1], params.frequency2, error))
            return std::nullopt;
        const auto seconds = number(parts[2]);
        if (!seconds || *seconds < kMinSweepSeconds || *seconds > kMaxSweepSeconds) {
            error = "sweep duration must be a number of seconds from 0.1 to 3600, not \"" +
                    std::string(parts[2]) + "\"";
            return std::nullopt;
        }
        params.seconds = *seconds;
        if (parts.size() == 4 && !readLevel(parts[3], params.levelDb, error))
            return std::nullopt;
    } else if (kind == "pink" || kind == "white") {
        params.kind = kind == "pink" ? TestSignalParams::Kind::Pink : TestSignalParams::Kind::White;
        params.levelDb = kDefaultNoiseDb;
        if (!arity(1, 2) || (parts.size() == 2 && !readLevel(parts[1], params.levelDb, error)))
            return std::nullopt;
    } else if (kind == "silence") {
        params.kind = TestSignalParams::Kind::Silence;
        if (!arity(1, 1))
            return std::nullopt;
    } else {
        error = "unknown test signal \"" + std::string(kind) +
                "\" (sine, sweep, pink, white or silence)";
        return std::nullopt;
    }
    return params;
}

std::unique_ptr<SignalSource> makeTestSignal(const TestSignalParams& params, double rate,
                                             std::string& error)
{
    const double nyquist = rate / 2;
    const bool tone = params.kind == TestSignalParams::Kind::Sine;
    const bool sweep = params.kind == TestSignalParams::Kind::Sweep;
    if ((tone || sweep) && params.frequency >= nyquist) {
        error = "test signal frequency " + hertz(params.frequency) +
                " is not below half the sample rate";
        return nullptr;
    }
    if (sweep && params.frequency2 >= nyquist) {
        error = "test signal frequency " + hertz(params.frequency2) +
                " is not below half the sample rate";
        return nullptr;
    }
    switch (params.kind) {
    case TestSignalParams::Kind::Sine:
        return std::make_unique<Sine>(params.frequency, amplitude(params.levelDb), rate);
    case TestSignalParams::Kind::Sweep:
        return std::make_unique<Sweep>(params.frequency, params.frequency2, params.seconds,
                                       amplitude(params.levelDb), rate);
    case TestSignalParams::Kind::Pink:
        return std::make_unique<PinkNoise>(amplitude(params.levelDb));
    case TestSignalParams::Kind::White:
        return std::make_unique<WhiteNoise>(amplitude(params.levelDb));
    case TestSignalParams::Kind::Silence:
        break;
    }
    return std::make_unique<Silence>();
}

} // namespace capture
