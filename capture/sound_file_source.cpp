#include "sound_file_source.h"

#include <sndfile.h>

#include <vector>

namespace capture {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

SndfilePtr openFile(const std::string& path, SF_INFO& info, std::string& error)
{
    info = SF_INFO{};
    SndfilePtr file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = "cannot read sound file \"" + path + "\": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.frames <= 0 || info.channels <= 0) {
        error = "sound file \"" + path + "\" holds no sound";
        return nullptr;
    }
    return file;
}

class SoundFileSource final : public SignalSource {
public:
    SoundFileSource(SndfilePtr file, int fileChannels, int maxFrames)
        : file_(std::move(file)), fileChannels_(fileChannels),
          frames_(static_cast<std::size_t>(maxFrames) * static_cast<std::size_t>(fileChannels))
    {
    }

    bool render(float* out, int frames, int channels) noexcept override
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
            mix(frames_.data(), static_cast<int>(got), out + done * channels, channels);
            done += static_cast<int>(got);
        }
        return true;
    }

    const char* failureText() const noexcept override
    {
        return "the sound file could not be read any further";
    }

private:
    // Mono takes the mean of all channels; stereo takes the mean of the even
    // channels on the left and of the odd ones on the right.
    void mix(const float* in, int frames, float* out, int channels) const noexcept
    {
        const int n = fileChannels_;
        for (int f = 0; f < frames; ++f, in += n) {
            if (channels == n) {
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
    std::vector<float> frames_;
};

} // namespace

std::string checkSoundFile(const std::string& path)
{
    SF_INFO info;
    std::string error;
    openFile(path, info, error);
    return error;
}

std::unique_ptr<SignalSource> openSoundFile(const std::string& path, const WAVEFORMATEX& format,
                                            int maxFrames, std::string& error)
{
    SF_INFO info;
    SndfilePtr file = openFile(path, info, error);
    if (!file)
        return nullptr;
    if (static_cast<DWORD>(info.samplerate) != format.nSamplesPerSec) {
        error = "sound file \"" + path + "\" has " + std::to_string(info.samplerate) +
                " Hz, the input records at " + std::to_string(format.nSamplesPerSec) + " Hz";
        return nullptr;
    }
    return std::make_unique<SoundFileSource>(std::move(file), info.channels, maxFrames);
}

} // namespace capture
