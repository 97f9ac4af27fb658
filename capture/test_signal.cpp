#include "test_signal.h"

#include "waveform.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
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

// The virtual input's source: the waveform at the level's fixed scale, the
// same value on every channel.
class WaveformSource final : public SignalSource {
public:
    WaveformSource(std::unique_ptr<Waveform> waveform, double levelDb)
        : waveform_(std::move(waveform)), scale_(waveform_->scaleFor(levelDb))
    {
    }

    bool render(float* out, int frames, int channels) noexcept override
    {
        waveform_->render(out, frames, scale_);
        // The frames spread to their channels from the last, so none is
        // overwritten before it is copied.
        for (int i = frames - 1; channels > 1 && i >= 0; --i) {
            const float v = out[i];
            std::fill_n(out + static_cast<std::ptrdiff_t>(i) * channels, channels, v);
        }
        return true;
    }

private:
    std::unique_ptr<Waveform> waveform_;
    const double scale_;
};

} // namespace

std::optional<TestSignalParams> parseTestSignal(std::string_view text, std::string& error,
                                                std::optional<double> defaultLevelDb)
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
        params.levelDb = defaultLevelDb.value_or(kDefaultToneDb);
        if (!arity(2, 3) || !readFrequency(parts[1], params.frequency, error) ||
            (parts.size() == 3 && !readLevel(parts[2], params.levelDb, error)))
            return std::nullopt;
    } else if (kind == "sweep") {
        params.kind = TestSignalParams::Kind::Sweep;
        params.levelDb = defaultLevelDb.value_or(kDefaultToneDb);
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
        params.levelDb = defaultLevelDb.value_or(kDefaultNoiseDb);
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
    auto waveform = makeWaveform(params, rate, error);
    if (!waveform)
        return nullptr;
    return std::make_unique<WaveformSource>(std::move(waveform), params.levelDb);
}

} // namespace capture
