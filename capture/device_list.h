#pragma once
// The input devices the wave-input service offers: every PortAudio device with
// input channels, in PortAudio's order, then the virtual devices in the order
// they were registered. UI thread only, apart from the scan ahead's own thread.

#include "input_device.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace capture {

class DeviceList {
public:
    static DeviceList& instance();

    // Starts the first scan on a thread of its own, so that PortAudio's
    // start-up (it probes every configured device, about a tenth of a second)
    // runs while the window is built; whatever needs the list first waits for
    // it. Call once at most, before anything else uses the list or PortAudio.
    // While it runs, the standard error stream is caught (see scan()).
    void scanAhead();

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
    ~DeviceList();
    void rescanIfDue();
    // Takes the result of scanAhead(), if one is under way.
    void awaitScanAhead();

    std::vector<std::unique_ptr<InputDevice>> real_;
    std::vector<std::unique_ptr<InputDevice>> virtual_;
    int defaultReal_ = -1;
    bool scanned_ = false;
    long long lastScanMs_ = 0;
    // Writes real_ and defaultReal_ until joined.
    std::thread ahead_;
};

} // namespace capture
