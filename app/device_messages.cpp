#include "device_messages.h"

#include "string_table.h"

namespace app {

QString withTechnicalDetail(const QString& sentence, const QString& technical)
{
    if (technical.isEmpty())
        return sentence;
    return sentence + QLatin1Char('\n') + LoadStr(sTechnicalDetail).arg(technical);
}

QString startFailureText(capture::MMRESULT code, const QString& technical)
{
    StringId sentence = sStartFailed;
    switch (code) {
    case capture::MMSYSERR_BADDEVICEID:
        sentence = sStartNoDevice;
        break;
    case capture::MMSYSERR_ALLOCATED:
        sentence = sStartDeviceBusy;
        break;
    case capture::MMSYSERR_NODRIVER:
        sentence = sStartDeviceUnavailable;
        break;
    case capture::WAVERR_BADFORMAT:
        sentence = sStartBadFormat;
        break;
    case capture::MMSYSERR_NOMEM:
        sentence = sStartNoMemory;
        break;
    default:
        break;
    }
    return withTechnicalDetail(LoadStr(sentence), technical);
}

} // namespace app
