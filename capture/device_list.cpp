#include "device_list.h"

#include "portaudio_device.h"

#include <chrono>

namespace capture {
namespace {

// A burst of calls (building a list asks for the count more than once) scans
// once; PortAudio's start-up takes tens of milliseconds.
constexpr long long kRescanIntervalMs = 1000;

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

DeviceList& DeviceList::instance()
{
    static DeviceList list;
    return list;
}

DeviceList::~DeviceList()
{
    if (ahead_.joinable())
        ahead_.join();
}

void DeviceList::scanAhead()
{
    if (scanned_ || ahead_.joinable())
        return;
    ahead_ = std::thread([this] { portaudio::scan(real_, defaultReal_); });
}

void DeviceList::awaitScanAhead()
{
    if (!ahead_.joinable())
        return;
    ahead_.join();
    scanned_ = true;
    lastScanMs_ = nowMs();
}

void DeviceList::rescanIfDue()
{
    awaitScanAhead();
    if (scanned_ && nowMs() - lastScanMs_ < kRescanIntervalMs)
        return;
    if (portaudio::openStreams() > 0 && scanned_)
        return;
    if (portaudio::scan(real_, defaultReal_) || !scanned_) {
        scanned_ = true;
        lastScanMs_ = nowMs();
    }
}

int DeviceList::count()
{
    rescanIfDue();
    return static_cast<int>(real_.size() + virtual_.size());
}

InputDevice* DeviceList::at(std::size_t id)
{
    awaitScanAhead();
    if (!scanned_)
        rescanIfDue();
    if (id < real_.size())
        return real_[id].get();
    id -= real_.size();
    return id < virtual_.size() ? virtual_[id].get() : nullptr;
}

InputDevice* DeviceList::defaultInput(std::string& detail)
{
    awaitScanAhead();
    if (!scanned_)
        rescanIfDue();
    if (defaultReal_ >= 0 && static_cast<std::size_t>(defaultReal_) < real_.size())
        return real_[static_cast<std::size_t>(defaultReal_)].get();
    detail = "the system has no default input device";
    return nullptr;
}

void DeviceList::addVirtual(std::unique_ptr<InputDevice> device)
{
    virtual_.push_back(std::move(device));
}

void DeviceList::clearVirtual()
{
    virtual_.clear();
}

} // namespace capture
