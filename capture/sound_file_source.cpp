#include "sound_file_source.h"

#include <samplerate.h>
#include <sndfile.h>

#include <cmath>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace capture {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

struct ResamplerDeleter {
    void operator()(SRC_STATE* state) const { src_delete(state); }
};
using ResamplerPtr = std::unique_ptr<SRC_STATE, ResamplerDeleter>;

// Frames handed to the resampler at a time.
constexpr int kSupplyFrames = 1024;

SndfilePtr openFile(const std::string& path, int channel, SF_INFO& info, std::string& error)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        error = "\"" + path +
                "\" is not a regular file (a FIFO, a device or a folder is no sound file)";
        return nullptr;
    }
    info = SF_INFO{};
    SndfilePtr file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = "cannot read sound file \"" + path + "\": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) {
        error = "sound file \"" + path + "\" holds no sound";
        return nullptr;
    }
    if (channel < 0 || channel > info.channels) {
        error = "sound file \"" + path + "\" has " + std::to_string(info.channels) +
                " channel(s), not a channel " + std::to_string(channel);
        return nullptr;
    }
    return file;
}

// The file's frames, looped, as the capture's channels: one chosen channel, or a mix.
class FileReader {
public:
    FileReader(SndfilePtr file, int fileChannels, int channel, int outChannels, int maxFrames)
        : file_(std::move(file)), fileChannels_(fileChannels), channel_(channel),
          outChannels_(outChannels),
          frames_(static_cast<std::size_t>(maxFrames) * static_cast<std::size_t>(fileChannels))
    {
    }

    // Writes `frames` (at most maxFrames) frames; false when the file cannot be read further.
    bool read(float* out, int frames) noexcept
    {
        int done = 0;
        bool rewound = false;
        while (done < frames) {
            const sf_count_t got = sf_readf_float(file_.get(), frames_.data(), frames - done);
            if (got <= 0) {
                // At the end: loop. A file that gives nothing right after a rewind is broken.
                if (rewound || sf_seek(file_.get(), 0, SEEK_SET) < 0)
                    return false;
                rewound = true;
                continue;
            }
            rewound = false;
            repair(frames_.data(), static_cast<std::size_t>(got) * std::size_t(fileChannels_));
            mix(frames_.data(), static_cast<int>(got), out + done * outChannels_);
            done += static_cast<int>(got);
        }
        return true;
    }

    std::size_t takeRepaired() noexcept { return std::exchange(repaired_, 0); }

private:
    // A float file may hold NaN or infinities, which no later step could turn into a sample.
    void repair(float* samples, std::size_t count) noexcept
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (std::isfinite(samples[i]))
                continue;
            samples[i] = std::isnan(samples[i]) ? 0.0f : (samples[i] > 0 ? 1.0f : -1.0f);
            ++repaired_;
        }
    }

    // A chosen channel goes to every output channel. Otherwise mono takes the mean of all
    // channels, stereo the mean of the even channels on the left and of the odd ones on the
    // right.
    void mix(const float* in, int frames, float* out) const noexcept
    {
        const int n = fileChannels_;
        const int channels = outChannels_;
        for (int f = 0; f < frames; ++f, in += n) {
            if (channel_ > 0) {
                for (int c = 0; c < channels; ++c)
                    *out++ = in[channel_ - 1];
            } else if (channels == n) {
                for (int c = 0; c < n; ++c)
                    *out++ = in[c];
            } else if (channels == 1) {
                double sum = 0;
                for (int c = 0; c < n; ++c)
                    sum += in[c];
                *out++ = static_cast<float>(sum / n);
            } else if (n == 1) {
                *out++ = in[0];
                *out++ = in[0];
            } else {
                double left = 0, right = 0;
                for (int c = 0; c < n; ++c)
                    (c % 2 == 0 ? left : right) += in[c];
                *out++ = static_cast<float>(left / ((n + 1) / 2));
                *out++ = static_cast<float>(right / (n / 2));
            }
        }
    }

    SndfilePtr file_;
    const int fileChannels_;
    const int channel_;
    const int outChannels_;
    std::vector<float> frames_;
    std::size_t repaired_ = 0;
};

constexpr const char* kReadFailure = "the sound file could not be read any further";

class SoundFileSource final : public SignalSource {
public:
    explicit SoundFileSource(FileReader reader) : reader_(std::move(reader)) {}

    bool render(float* out, int frames, int) noexcept override { return reader_.read(out, frames); }
    const char* failureText() const noexcept override { return kReadFailure; }
    std::size_t takeRepairedSamples() noexcept override { return reader_.takeRepaired(); }

private:
    FileReader reader_;
};

// The file at the capture's rate. libsamplerate pulls the file's frames through supply() as it
// needs them and allocates nothing once created.
class ResampledSource final : public SignalSource {
public:
    ResampledSource(FileReader reader, double ratio, int channels)
        : reader_(std::move(reader)), ratio_(ratio),
          supply_(static_cast<std::size_t>(kSupplyFrames) * static_cast<std::size_t>(channels))
    {
    }

    bool create(int channels, std::string& error)
    {
        int code = 0;
        state_.reset(src_callback_new(&ResampledSource::supply, SRC_SINC_BEST_QUALITY, channels,
                                      &code, this));
        if (!state_)
            error = std::string("cannot resample the sound file: ") + src_strerror(code);
        return state_ != nullptr;
    }

    bool render(float* out, int frames, int) noexcept override
    {
        const long got = src_callback_read(state_.get(), ratio_, frames, out);
        return got == frames && !failed_;
    }
    const char* failureText() const noexcept override { return kReadFailure; }
    std::size_t takeRepairedSamples() noexcept override { return reader_.takeRepaired(); }

private:
    static long supply(void* user, float** data)
    {
        auto* self = static_cast<ResampledSource*>(user);
        if (!self->reader_.read(self->supply_.data(), kSupplyFrames)) {
            self->failed_ = true;
            return 0;
        }
        *data = self->supply_.data();
        return kSupplyFrames;
    }

    FileReader reader_;
    const double ratio_;
    std::vector<float> supply_;
    ResamplerPtr state_;
    bool failed_ = false;
};

} // namespace

std::string checkSoundFile(const std::string& path, int channel, SoundFileInfo* info)
{
    SF_INFO sf;
    std::string error;
    if (openFile(path, channel, sf, error) && info)
        *info = {sf.samplerate, sf.channels};
    return error;
}

std::unique_ptr<SignalSource> openSoundFile(const std::string& path, int channel,
                                            const WAVEFORMATEX& format, int maxFrames,
                                            std::string& error)
{
    SF_INFO info;
    SndfilePtr file = openFile(path, channel, info, error);
    if (!file)
        return nullptr;
    const int channels = format.nChannels;
    if (static_cast<DWORD>(info.samplerate) == format.nSamplesPerSec)
        return std::make_unique<SoundFileSource>(
            FileReader(std::move(file), info.channels, channel, channels, maxFrames));
    auto source = std::make_unique<ResampledSource>(
        FileReader(std::move(file), info.channels, channel, channels, kSupplyFrames),
        double(format.nSamplesPerSec) / info.samplerate, channels);
    if (!source->create(channels, error))
        return nullptr;
    return source;
}

} // namespace capture
