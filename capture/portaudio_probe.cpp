#include "portaudio_probe.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace capture::portaudio {
namespace {

// Enough for the reasons; a machine without sound cards prints hundreds of lines while PortAudio
// probes, of which the last ones matter.
constexpr std::size_t kKeptBytes = 8192;

std::atomic<bool> catching{false};
std::string caught; // UI thread only, while catching

void keepTail(std::string& text)
{
    if (text.size() > kKeptBytes)
        text.erase(0, text.size() - kKeptBytes);
}

// ALSA reports its errors through this; outside a probe (while a stream runs, on the audio
// library's thread) they are dropped, as PortAudio reports what matters through its own codes.
void alsaMessage(const char* file, int line, const char* function, int error, const char* format,
                 ...)
{
    if (!catching.load(std::memory_order_acquire))
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    caught += "ALSA " + std::string(file ? file : "") + ":" + std::to_string(line) + " " +
              (function ? function : "") + ": " + text;
    if (error != 0)
        caught += std::string(": ") + snd_strerror(error);
    caught += '\n';
    keepTail(caught);
}

// The standard error stream goes to an anonymous file for the probe's duration.
class StderrCaught {
public:
    StderrCaught()
    {
        std::fflush(stderr);
        file_ = ::memfd_create("spectrion-probe", MFD_CLOEXEC);
        saved_ = ::dup(STDERR_FILENO);
        if (file_ >= 0 && saved_ >= 0)
            ::dup2(file_, STDERR_FILENO);
    }
    ~StderrCaught()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        if (file_ >= 0)
            ::close(file_);
    }
    StderrCaught(const StderrCaught&) = delete;
    StderrCaught& operator=(const StderrCaught&) = delete;

    std::string text() const
    {
        std::fflush(stderr);
        std::string text;
        if (file_ < 0)
            return text;
        const off_t size = ::lseek(file_, 0, SEEK_END);
        const off_t from = size > off_t(kKeptBytes) ? size - off_t(kKeptBytes) : 0;
        text.resize(static_cast<std::size_t>(size - from));
        const ssize_t got = ::pread(file_, text.data(), text.size(), from);
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return text;
    }

private:
    int file_ = -1;
    int saved_ = -1;
};

} // namespace

bool alsaConfigurationUsable(std::string& why)
{
    snd_lib_error_set_handler(&alsaMessage);
    // A configuration that cannot be read makes PortAudio's start-up fail with a code, which is
    // reported as such.
    if (snd_config_update() < 0 || !snd_config)
        return true;
    snd_config_t* node = nullptr;
    if (snd_config_search(snd_config, "pcm.default", &node) >= 0 ||
        snd_config_search(snd_config, "pcm.dmix", &node) >= 0)
        return true;
    const char* path = std::getenv("ALSA_CONFIG_PATH");
    why = std::string("The ALSA configuration (") + (path ? path : "/usr/share/alsa/alsa.conf") +
          ") defines no \"default\" PCM device, so the sound cards and the sound server cannot be "
          "used; PortAudio was not started.";
    return false;
}

std::string catchDiagnostics(const std::function<void()>& probe)
{
    snd_lib_error_set_handler(&alsaMessage);
    caught.clear();
    std::string printed;
    {
        const StderrCaught stream;
        catching.store(true, std::memory_order_release);
        probe();
        catching.store(false, std::memory_order_release);
        printed = stream.text();
    }
    std::string all = caught + printed;
    caught.clear();
    keepTail(all);
    return all;
}

void releaseAlsaConfiguration()
{
    snd_config_update_free_global();
}

} // namespace capture::portaudio
