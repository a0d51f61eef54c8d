#pragma once
// The system's raw HID devices: udev lists and watches the "hidraw" device nodes and tells their
// identity (from the node's HID and USB parents); the report descriptor comes from sysfs before
// opening and from the hidraw node (HIDIOCGRDESC) after; input reports are read from the node.
//
// hidraw nodes are readable by root only unless a udev rule grants access (the project ships one
// for game controllers); a node that cannot be opened is reported with the system's reason.
#include <libudev.h>

#include "app/devices/HIDMonitorBackend.h"

namespace Tessarine {

class HidrawBackend final : public HIDBackend {
public:
    HidrawBackend();
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    int start() override;
    std::vector<HIDDeviceNode> devices() override;
    std::vector<Change> changes() override;
    std::unique_ptr<HIDConnection> open(const HIDDeviceNode& device, OpenError& error) override;

    // "USB", "Bluetooth", … for a Linux bus type (BUS_USB and the others); absent for an unknown bus.
    static std::optional<std::string> transportName(int busType);

private:
    HIDDeviceNode describe(udev_device* device) const;

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};

} // namespace Tessarine
