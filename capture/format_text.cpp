#include "format_text.h"

namespace capture {

std::string describeFormat(const WAVEFORMATEX& format)
{
    return std::to_string(format.wBitsPerSample) + "-bit, " + std::to_string(format.nChannels) +
           (format.nChannels == 1 ? " channel, " : " channels, ") +
           std::to_string(format.nSamplesPerSec) + " Hz";
}

} // namespace capture
