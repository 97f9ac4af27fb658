#include "virtual_devices.h"

#include "device_list.h"
#include "paced_device.h"
#include "sound_file_source.h"
#include "test_signal.h"

#include <QFileInfo>

namespace capture {

QString registerInputFile(const QString& path, int channel, bool paced)
{
    const std::string file = QFile::encodeName(path).toStdString();
    SoundFileInfo info;
    if (const std::string error = checkSoundFile(file, channel, &info); !error.empty())
        return QString::fromStdString(error);
    WAVEINCAPS source{};
    source.dwSourceRate = static_cast<DWORD>(info.rate);
    source.wSourceChannels = static_cast<WORD>(info.channels);
    source.wSourceChannel = static_cast<WORD>(channel);
    registerVirtualDevice(
        QStringLiteral("Sound file: ") + QFileInfo(path).fileName(),
        [file, channel](const WAVEFORMATEX& format, int maxFrames, std::string& error) {
            return openSoundFile(file, channel, format, maxFrames, error);
        },
        paced, source);
    return {};
}

QString registerTestSignal(const QString& description)
{
    std::string error;
    const auto parsed = parseTestSignal(description.toStdString(), error);
    if (!parsed)
        return QStringLiteral("Invalid test signal: ") + QString::fromStdString(error);
    registerVirtualDevice(QStringLiteral("Test signal: ") + description,
                          [signal = *parsed](const WAVEFORMATEX& format, int, std::string& error) {
                              return makeTestSignal(signal, format.nSamplesPerSec, error);
                          });
    return {};
}

void registerVirtualDevice(const QString& name, SourceFactory factory, bool paced,
                           const WAVEINCAPS& source)
{
    DeviceList::instance().addVirtual(
        std::make_unique<PacedDevice>(name.toStdString(), std::move(factory), paced, source));
}

void clearVirtualDevices()
{
    DeviceList::instance().clearVirtual();
}

} // namespace capture
