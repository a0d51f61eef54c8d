#include "app/devices/HidrawBackend.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <iterator>

namespace Tessarine {

namespace {

// Longest report descriptor the kernel hands out (HID_MAX_DESCRIPTOR_SIZE), bytes.
constexpr std::size_t maxDescriptorBytes = 4096;
// Room for a device's name or unique id string, bytes.
constexpr std::size_t maxStringBytes = 256;

std::optional<std::string> nonEmpty(const char* text) {
    if (!text || !*text) return std::nullopt;
    return std::string(text);
}

// A udev HID_ID of the form "0003:0000045E:000002EA": bus, vendor and product in hexadecimal.
struct HidID {
    int bus = 0;
    int vendor = 0;
    int product = 0;
};

std::optional<HidID> parseHidID(const char* text) {
    if (!text) return std::nullopt;
    unsigned bus = 0, vendor = 0, product = 0;
    char tail = 0;
    if (std::sscanf(text, "%x:%x:%x%c", &bus, &vendor, &product, &tail) != 3) return std::nullopt;
    if (vendor > 0xFFFF || product > 0xFFFF) return std::nullopt;
    return HidID{static_cast<int>(bus), static_cast<int>(vendor), static_cast<int>(product)};
}

std::vector<std::uint8_t> readFile(const std::string& path, std::size_t limit) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::vector<std::uint8_t> bytes;
    char chunk[512];
    while (file && bytes.size() <= limit) {
        file.read(chunk, sizeof chunk);
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
    }
    if (bytes.size() > limit) return {}; // not a descriptor the kernel would hand out
    return bytes;
}

// A string ioctl (HIDIOCGRAWNAME, HIDIOCGRAWUNIQ): absent when it fails or is empty.
std::optional<std::string> ioctlString(int fd, unsigned long request) {
    char text[maxStringBytes] = {};
    const int length = ::ioctl(fd, request, text);
    if (length <= 0) return std::nullopt;
    text[sizeof text - 1] = 0;
    return nonEmpty(text);
}

class HidrawConnection final : public HIDConnection {
public:
    explicit HidrawConnection(int fd) : fd_(fd) {}
    ~HidrawConnection() override { ::close(fd_); }
    HidrawConnection(const HidrawConnection&) = delete;
    HidrawConnection& operator=(const HidrawConnection&) = delete;

    int fd() const override { return fd_; }

    Read read(std::span<std::uint8_t> buffer, std::size_t& length) override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
            if (n >= 0) {
                length = static_cast<std::size_t>(n);
                return Read::report;
            }
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return Read::empty;
            return Read::gone; // ENODEV, EIO: the device went away
        }
    }

    std::vector<std::uint8_t> descriptor() override {
        int size = 0;
        if (::ioctl(fd_, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 ||
            static_cast<std::size_t>(size) > maxDescriptorBytes)
            return {};
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<__u32>(size);
        if (::ioctl(fd_, HIDIOCGRDESC, &descriptor) < 0) return {};
        return std::vector<std::uint8_t>(descriptor.value, descriptor.value + size);
    }

    std::optional<std::vector<std::uint8_t>> inputReport(int reportID, std::size_t bytes,
                                                         std::string& error) override {
        // The id byte, then the report; the request's size field holds at most 16,383 bytes.
        if (reportID < 0 || reportID > 255 || bytes == 0 || bytes >= 16383) return std::nullopt;
        std::vector<std::uint8_t> report(bytes + 1, 0);
        report[0] = static_cast<std::uint8_t>(reportID);
        const int length = ::ioctl(fd_, HIDIOCGINPUT(report.size()), report.data());
        if (length <= 0) {
            error = length < 0 ? std::strerror(errno) : "an empty answer";
            return std::nullopt;
        }
        report.resize(std::min(static_cast<std::size_t>(length), report.size()));
        // An unnumbered report comes back behind a 0 in the id's place, which read() leaves out.
        if (reportID == 0) report.erase(report.begin());
        return report;
    }

    void completeIdentity(HIDDeviceNode& device) const override {
        hidraw_devinfo info{};
        if (::ioctl(fd_, HIDIOCGRAWINFO, &info) == 0) {
            if (!device.vendorID) device.vendorID = static_cast<std::uint16_t>(info.vendor);
            if (!device.productID) device.productID = static_cast<std::uint16_t>(info.product);
            if (!device.transport) device.transport = HidrawBackend::transportName(static_cast<int>(info.bustype));
        }
        if (!device.product) device.product = ioctlString(fd_, HIDIOCGRAWNAME(maxStringBytes));
        if (!device.serial) device.serial = ioctlString(fd_, HIDIOCGRAWUNIQ(maxStringBytes));
    }

private:
    const int fd_;
};

} // namespace

HidrawBackend::HidrawBackend() : udev_(udev_new()) {}

HidrawBackend::~HidrawBackend() {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

std::optional<std::string> HidrawBackend::transportName(int busType) {
    switch (busType) {
    case BUS_USB: return "USB";
    case BUS_BLUETOOTH: return "Bluetooth";
    case BUS_I2C: return "I2C";
    case BUS_SPI: return "SPI";
    case BUS_VIRTUAL: return "Virtual";
    default: return std::nullopt;
    }
}

int HidrawBackend::start() {
    if (!udev_ || monitor_) return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_) return -1;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return -1;
    }
    return udev_monitor_get_fd(monitor_);
}

HIDDeviceNode HidrawBackend::describe(udev_device* device) const {
    HIDDeviceNode node;
    node.node = udev_device_get_devnode(device) ? udev_device_get_devnode(device) : "";
    // Parents belong to the child device: no unref.
    if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
        if (auto id = parseHidID(udev_device_get_property_value(hid, "HID_ID"))) {
            node.vendorID = id->vendor;
            node.productID = id->product;
            node.transport = transportName(id->bus);
        }
        node.product = nonEmpty(udev_device_get_property_value(hid, "HID_NAME"));
        node.serial = nonEmpty(udev_device_get_property_value(hid, "HID_UNIQ"));
        if (const char* path = udev_device_get_syspath(hid))
            node.descriptor = readFile(std::string(path) + "/report_descriptor", maxDescriptorBytes);
    }
    // A USB device names its product and maker apart; HID_NAME joins them.
    if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        if (auto product = nonEmpty(udev_device_get_sysattr_value(usb, "product"))) node.product = product;
        node.manufacturer = nonEmpty(udev_device_get_sysattr_value(usb, "manufacturer"));
        if (auto serial = nonEmpty(udev_device_get_sysattr_value(usb, "serial"))) node.serial = serial;
    }
    return node;
}

std::vector<HIDDeviceNode> HidrawBackend::devices() {
    std::vector<HIDDeviceNode> nodes;
    if (!udev_) return nodes;
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (!enumerate) return nodes;
    if (udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 && udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
            if (!device) continue;
            HIDDeviceNode node = describe(device);
            udev_device_unref(device);
            if (!node.node.empty()) nodes.push_back(std::move(node));
        }
    }
    udev_enumerate_unref(enumerate);
    return nodes;
}

std::vector<HIDBackend::Change> HidrawBackend::changes() {
    std::vector<Change> list;
    if (!monitor_) return list;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const std::string action = udev_device_get_action(device) ? udev_device_get_action(device) : "";
        const char* devnode = udev_device_get_devnode(device);
        if (devnode && action == "add") {
            list.push_back(Change{true, describe(device)});
        } else if (devnode && action == "remove") {
            Change change;
            change.device.node = devnode;
            list.push_back(std::move(change));
        }
        udev_device_unref(device);
    }
    return list;
}

std::unique_ptr<HIDConnection> HidrawBackend::open(const HIDDeviceNode& device, OpenError& error) {
    const int fd = ::open(device.node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = {errno, std::strerror(errno)};
        return nullptr;
    }
    return std::make_unique<HidrawConnection>(fd);
}

} // namespace Tessarine
