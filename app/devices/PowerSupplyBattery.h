#pragma once
// A controller's battery as the kernel reports it: the power_supply device that the controller's
// driver registers below its HID device, with its "capacity" (percent) and "status" attributes,
// read through libudev. Controllers without one (wired pads, drivers that report no battery)
// have no battery.
#include <optional>
#include <string>

#include "app/devices/DeviceOutputs.h"

namespace Tessarine {

// Where a controller's battery reading comes from.
class BatteryReader {
public:
    virtual ~BatteryReader() = default;
    virtual DeviceOutputs::Battery read() const = 0;
};

class PowerSupplyBattery final : public BatteryReader {
public:
    explicit PowerSupplyBattery(std::string syspath) : syspath_(std::move(syspath)) {}

    // Reads the attributes now: a few small sysfs files, no traffic to the controller. Absent
    // values when the device has gone or reports nonsense.
    DeviceOutputs::Battery read() const override;
    const std::string& syspath() const { return syspath_; }

    // The level and state from the attributes' texts: capacity 0 … 100 becomes 0 … 1, status
    // "Discharging" reads "On battery", "Charging" and "Full" read as themselves, anything else
    // (such as "Not charging" or "Unknown") gives no state.
    static DeviceOutputs::Battery parse(const std::optional<std::string>& capacity,
                                        const std::optional<std::string>& status);

    // The power_supply device (sysfs path) of the HID device behind a device node such as
    // "/dev/hidraw3" or "/dev/input/event7"; absent when there is none.
    static std::optional<std::string> locate(const std::string& node);
    // The hidraw node of the HID device behind a device node; the node itself when it is one.
    static std::optional<std::string> hidrawNode(const std::string& node);

private:
    std::string syspath_;
};

} // namespace Tessarine
