#pragma once
// The input devices the wave-input service offers: every PortAudio device with
// input channels, in PortAudio's order, then the virtual devices in the order
// they were registered. UI thread only.

#include "input_device.h"

#include <memory>
#include <string>
#include <vector>

namespace capture {

class DeviceList {
public:
    static DeviceList& instance();

    // Number of devices. Rescans PortAudio's devices when no PortAudio stream
    // is open and the last scan is older than a second, so a device plugged
    // in since shows up while a burst of calls scans only once.
    int count();
    // Device id of the current list, or null when out of range.
    InputDevice* at(std::size_t id);
    // The system's default input; null with a reason when there is none.
    InputDevice* defaultInput(std::string& detail);

    void addVirtual(std::unique_ptr<InputDevice> device);
    void clearVirtual();

private:
    DeviceList() = default;
    void rescanIfDue();

    std::vector<std::unique_ptr<InputDevice>> real_;
    std::vector<std::unique_ptr<InputDevice>> virtual_;
    int defaultReal_ = -1;
    bool scanned_ = false;
    long long lastScanMs_ = 0;
};

} // namespace capture
