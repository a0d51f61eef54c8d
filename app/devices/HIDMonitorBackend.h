#pragma once
// What the HID monitor needs of the system's raw HID devices, behind an interface: the real
// one reads udev and hidraw (HidrawBackend), the fake one plays scripted devices in tests
// (FakeHIDBackend). Every descriptor handed out here is owned by the backend or connection and
// closed by it.
#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Tessarine {

// One raw HID device node as the system lists it, with what is known before opening it.
struct HIDDeviceNode {
    std::string node;                         // "/dev/hidraw3": the device while it is connected
    std::optional<std::string> product;
    std::optional<std::string> manufacturer;
    std::optional<int> vendorID;
    std::optional<int> productID;
    std::optional<std::string> serial;
    std::optional<std::string> transport;     // "USB", "Bluetooth", …
    std::vector<std::uint8_t> descriptor;     // report descriptor; empty when unknown before opening

    friend bool operator==(const HIDDeviceNode&, const HIDDeviceNode&) = default;
};

// An open device node from which input reports are read.
class HIDConnection {
public:
    enum class Read { report, empty, gone };

    virtual ~HIDConnection() = default;
    // Polled for input; owned by the connection.
    virtual int fd() const = 0;
    // One pending report into `buffer` (its length in `length`): `report`; `empty` when none is
    // pending; `gone` when the device went away or can no longer be read.
    virtual Read read(std::span<std::uint8_t> buffer, std::size_t& length) = 0;
    // The report descriptor in effect for this device (after any fix-up by the system's driver);
    // empty when it cannot be read.
    virtual std::vector<std::uint8_t> descriptor() = 0;
    // Fills the identity facts the node lacked before opening.
    virtual void completeIdentity(HIDDeviceNode& device) const = 0;
    // Asks the device for its current input report with this id (0 when it does not number its
    // reports), `bytes` long after the id: the report as read() gives it, or absent when the
    // device does not answer, with the system's reason in `error`. May wait for the device.
    virtual std::optional<std::vector<std::uint8_t>> inputReport(int reportID, std::size_t bytes,
                                                                 std::string& error) {
        (void)reportID;
        (void)bytes;
        error = "not supported";
        return std::nullopt;
    }
};

class HIDBackend {
public:
    struct Change {
        bool added = false;   // false: removed; then only device.node is known
        HIDDeviceNode device;
    };

    virtual ~HIDBackend() = default;
    // Starts watching devices come and go. Returns a descriptor that becomes readable when changes
    // are pending, or −1 when the system gives no such notice.
    virtual int start() = 0;
    // The devices present now.
    virtual std::vector<HIDDeviceNode> devices() = 0;
    // The pending changes, oldest first; drains them.
    virtual std::vector<Change> changes() = 0;
    // Why opening failed: the system's error number and its words.
    struct OpenError {
        int code = 0;
        std::string reason;
    };
    // Opens a device for reading input reports; nullptr with the system's reason in `error`.
    virtual std::unique_ptr<HIDConnection> open(const HIDDeviceNode& device, OpenError& error) = 0;
    // Waits for the descriptors as poll(2) does, with its result and errno.
    virtual int wait(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }
};

} // namespace Tessarine
