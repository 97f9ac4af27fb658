#include "wavein.h"

#include "device_list.h"
#include "format_text.h"
#include "portaudio_device.h"
#include "wavein_stream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace capture {
namespace {

// The open inputs; a handle not in here is refused rather than dereferenced.
std::unordered_map<HWAVEIN, std::unique_ptr<WaveInStream>>& streams()
{
    static std::unordered_map<HWAVEIN, std::unique_ptr<WaveInStream>> map;
    return map;
}

MMRESULT lastCode = MMSYSERR_NOERROR;
std::string lastDetail;

MMRESULT failed(MMRESULT code, std::string detail = {})
{
    lastCode = code;
    lastDetail = std::move(detail);
    return code;
}

WaveInStream* find(HWAVEIN hwi)
{
    auto it = streams().find(hwi);
    return it == streams().end() ? nullptr : it->second.get();
}

bool isSupportedPcm(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec > 0 &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

const char* baseText(MMRESULT code)
{
    switch (code) {
    case MMSYSERR_NOERROR:
        return "No error";
    case MMSYSERR_ERROR:
        return "The audio device reported an error";
    case MMSYSERR_BADDEVICEID:
        return "There is no input device with this identifier";
    case MMSYSERR_ALLOCATED:
        return "The input device is in use by another program";
    case MMSYSERR_INVALHANDLE:
        return "The input handle is not open";
    case MMSYSERR_NODRIVER:
        return "The input device is no longer available";
    case MMSYSERR_NOMEM:
        return "Not enough memory for the input device";
    case MMSYSERR_INVALFLAG:
        return "Invalid flags for the input device";
    case MMSYSERR_INVALPARAM:
        return "Invalid parameter for the input device";
    case WAVERR_BADFORMAT:
        return "The input device cannot record in this format";
    case WAVERR_STILLPLAYING:
        return "Buffers are still queued on the input device";
    case WAVERR_UNPREPARED:
        return "The buffer header has not been prepared";
    default:
        return nullptr;
    }
}

// The device an identifier names (WAVE_MAPPER: the system default), or null
// with the reason in detail.
InputDevice* findDevice(UINT id, std::string& detail)
{
    InputDevice* device = id == WAVE_MAPPER ? DeviceList::instance().defaultInput(detail)
                                            : DeviceList::instance().at(id);
    if (!device && detail.empty())
        detail = "device " + std::to_string(id) + " requested, " +
                 std::to_string(DeviceList::instance().count()) + " present";
    return device;
}

} // namespace

UINT waveInGetNumDevs()
{
    return static_cast<UINT>(DeviceList::instance().count());
}

MMRESULT waveInGetDevCaps(UINT uDeviceID, WAVEINCAPS* pwic)
{
    if (!pwic)
        return failed(MMSYSERR_INVALPARAM);
    std::string detail;
    InputDevice* device = findDevice(uDeviceID, detail);
    if (!device)
        return failed(MMSYSERR_BADDEVICEID, detail);
    *pwic = WAVEINCAPS{};
    pwic->szPname = device->name();
    pwic->wChannels = static_cast<WORD>(std::clamp(device->maxInputChannels(), 0, 0xFFFF));
    device->describeSource(*pwic);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInOpen(HWAVEIN* phwi, UINT uDeviceID, const WAVEFORMATEX* pwfx, QObject* dwCallback,
                    DWORD_PTR, DWORD fdwOpen, DWORD cbBlock)
{
    if (!phwi || !pwfx)
        return failed(MMSYSERR_INVALPARAM);
    if (fdwOpen & ~(CALLBACK_WINDOW | WAVE_ALLOWSYNC))
        return failed(MMSYSERR_INVALFLAG);
    if (!isSupportedPcm(*pwfx))
        return failed(WAVERR_BADFORMAT,
                      "only 8- or 16-bit PCM with 1 or 2 channels (" + describeFormat(*pwfx) + ")");
    std::string detail;
    InputDevice* device = findDevice(uDeviceID, detail);
    if (!device)
        return failed(MMSYSERR_BADDEVICEID, detail);
    if (pwfx->nChannels > device->maxInputChannels())
        return failed(WAVERR_BADFORMAT, device->name() + " has " +
                                            std::to_string(device->maxInputChannels()) +
                                            " input channels (" + describeFormat(*pwfx) + ")");
    auto stream =
        std::make_unique<WaveInStream>((fdwOpen & CALLBACK_WINDOW) ? dwCallback : nullptr, *pwfx);
    const MMRESULT result = stream->open(*device, cbBlock / pwfx->nBlockAlign, detail);
    if (result != MMSYSERR_NOERROR)
        return failed(result, detail);
    *phwi = stream.get();
    streams().emplace(stream.get(), std::move(stream));
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh)
{
    if (!find(hwi))
        return failed(MMSYSERR_INVALHANDLE);
    if (!pwh || cbwh != sizeof(WAVEHDR) || !pwh->lpData)
        return failed(MMSYSERR_INVALPARAM);
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    if (!pwh || cbwh != sizeof(WAVEHDR))
        return failed(MMSYSERR_INVALPARAM);
    if ((pwh->dwFlags & WHDR_INQUEUE) && stream->isQueued(pwh))
        return failed(WAVERR_STILLPLAYING);
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, UINT cbwh)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    if (cbwh != sizeof(WAVEHDR))
        return failed(MMSYSERR_INVALPARAM);
    std::string detail;
    const MMRESULT result = stream->addBuffer(pwh, detail);
    return result == MMSYSERR_NOERROR ? result : failed(result, detail);
}

MMRESULT waveInStart(HWAVEIN hwi)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    std::string detail;
    const MMRESULT result = stream->start(detail);
    return result == MMSYSERR_NOERROR ? result : failed(result, detail);
}

MMRESULT waveInReset(HWAVEIN hwi)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    stream->reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN hwi)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    const MMRESULT result = stream->close();
    if (result != MMSYSERR_NOERROR)
        return failed(result);
    streams().erase(hwi);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetErrorText(MMRESULT mmrError, char* pszText, UINT cchText)
{
    if (!pszText || cchText == 0)
        return MMSYSERR_INVALPARAM;
    const char* base = baseText(mmrError);
    if (!base) {
        pszText[0] = '\0';
        return MMSYSERR_BADERRNUM;
    }
    std::string text = base;
    if (mmrError == lastCode && !lastDetail.empty())
        text += ": " + lastDetail;
    const std::size_t n = std::min<std::size_t>(text.size(), cchText - 1);
    std::memcpy(pszText, text.data(), n);
    pszText[n] = '\0';
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetStatistics(HWAVEIN hwi, WaveInStatistics* statistics)
{
    WaveInStream* stream = find(hwi);
    if (!stream)
        return failed(MMSYSERR_INVALHANDLE);
    if (!statistics)
        return failed(MMSYSERR_INVALPARAM);
    *statistics = stream->statistics();
    return MMSYSERR_NOERROR;
}

} // namespace capture

namespace capture {

std::string waveInGetDiagnostics()
{
    DeviceList::instance().count(); // scans if none was made yet
    return portaudio::diagnostics();
}

} // namespace capture
