#include "app/devices/PowerSupplyBattery.h"

#include <libudev.h>
#include <sys/stat.h>

#include <charconv>
#include <memory>

namespace Tessarine {

namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};
using Udev = std::unique_ptr<udev, UdevDeleter>;
using UdevDevice = std::unique_ptr<udev_device, UdevDeleter>;
using UdevEnumerate = std::unique_ptr<udev_enumerate, UdevDeleter>;

std::optional<std::string> text(const char* s) { return s ? std::optional<std::string>(s) : std::nullopt; }

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The device of a character device node, or null.
UdevDevice deviceOf(udev* u, const std::string& node) {
    struct stat st{};
    if (stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return nullptr;
    return UdevDevice(udev_device_new_from_devnum(u, 'c', st.st_rdev));
}

// The sysfs path of the first device of `subsystem` below the HID device behind `node`.
std::optional<std::string> besideHid(const std::string& node, const char* subsystem) {
    Udev u(udev_new());
    if (!u) return std::nullopt;
    auto device = deviceOf(u.get(), node);
    if (!device) return std::nullopt;
    // Owned by `device`; not to be released on its own.
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device.get(), "hid", nullptr);
    if (!hid) return std::nullopt;
    UdevEnumerate e(udev_enumerate_new(u.get()));
    if (!e) return std::nullopt;
    udev_enumerate_add_match_parent(e.get(), hid);
    udev_enumerate_add_match_subsystem(e.get(), subsystem);
    if (udev_enumerate_scan_devices(e.get()) < 0) return std::nullopt;
    udev_list_entry* first = udev_enumerate_get_list_entry(e.get());
    return first ? text(udev_list_entry_get_name(first)) : std::nullopt;
}

} // namespace

DeviceOutputs::Battery PowerSupplyBattery::parse(const std::optional<std::string>& capacity,
                                                 const std::optional<std::string>& status) {
    DeviceOutputs::Battery battery;
    if (capacity) {
        const auto t = trimmed(*capacity);
        int percent = -1;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), percent);
        if (ec == std::errc{} && end == t.data() + t.size() && !t.empty() && percent >= 0 && percent <= 100)
            battery.level = percent / 100.0;
    }
    if (status) {
        const auto s = trimmed(*status);
        if (s == "Discharging") battery.state = "On battery";
        else if (s == "Charging") battery.state = "Charging";
        else if (s == "Full") battery.state = "Full";
    }
    return battery;
}

DeviceOutputs::Battery PowerSupplyBattery::read() const {
    Udev u(udev_new());
    if (!u) return {};
    UdevDevice device(udev_device_new_from_syspath(u.get(), syspath_.c_str()));
    if (!device) return {};
    return parse(text(udev_device_get_sysattr_value(device.get(), "capacity")),
                 text(udev_device_get_sysattr_value(device.get(), "status")));
}

std::optional<std::string> PowerSupplyBattery::locate(const std::string& node) {
    return besideHid(node, "power_supply");
}

std::optional<std::string> PowerSupplyBattery::hidrawNode(const std::string& node) {
    if (node.starts_with("/dev/hidraw")) return node;
    const auto syspath = besideHid(node, "hidraw");
    if (!syspath) return std::nullopt;
    Udev u(udev_new());
    if (!u) return std::nullopt;
    UdevDevice device(udev_device_new_from_syspath(u.get(), syspath->c_str()));
    return device ? text(udev_device_get_devnode(device.get())) : std::nullopt;
}

} // namespace Tessarine
