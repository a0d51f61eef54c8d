#pragma once
// A scripted stand-in for the system's raw HID devices, of equal standing with HidrawBackend:
// tests plug and unplug devices, send reports, make opening fail and cut devices off, from any
// thread, while the monitor reads it on its own. Its descriptors are eventfds, so the monitor's
// poll loop runs exactly as it does over udev and hidraw.
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/HIDMonitorBackend.h"

namespace Tessarine {

class FakeHIDBackend final : public HIDBackend {
public:
    FakeHIDBackend();
    ~FakeHIDBackend() override;
    FakeHIDBackend(const FakeHIDBackend&) = delete;
    FakeHIDBackend& operator=(const FakeHIDBackend&) = delete;

    // Scripting (any thread). A device plugged before start() is both listed and announced, as
    // udev may do for a device that arrives while the monitor starts.
    void plug(HIDDeviceNode device);
    // Lists a device without announcing it.
    void addPresent(HIDDeviceNode device);
    void unplug(const std::string& node);
    // Opening the node fails with this error number (EACCES, ENOENT…) until cleared with 0.
    void failOpen(const std::string& node, int code);
    // The descriptor the open node reports (by default the listed one).
    void setOpenDescriptor(const std::string& node, std::vector<std::uint8_t> descriptor);
    void send(const std::string& node, std::vector<std::uint8_t> report);
    // The open node answers a request for its current input report with this id; unanswered ids
    // fail as a device that does not support the request.
    void answerInputReport(const std::string& node, int reportID, std::vector<std::uint8_t> report);
    // The open node fails its next read, as a device pulled out before udev says so.
    void cutOff(const std::string& node);
    // The monitor's next wait on its descriptors fails with this error number.
    void failWait(int code);

    // Inspection (any thread).
    int opens(const std::string& node) const;      // how often the node was opened
    bool isOpen(const std::string& node) const;
    int openConnections() const;                  // connections not yet closed
    std::size_t pendingReports(const std::string& node) const;

    int start() override;
    std::vector<HIDDeviceNode> devices() override;
    std::vector<Change> changes() override;
    std::unique_ptr<HIDConnection> open(const HIDDeviceNode& device, OpenError& error) override;
    int wait(pollfd* fds, nfds_t count, int timeoutMs) override;

private:
    struct NodeState {
        int opens = 0;
        int openNow = 0;
        int failure = 0;
        std::optional<std::vector<std::uint8_t>> openDescriptor;
        std::deque<std::vector<std::uint8_t>> reports;
        std::map<int, std::vector<std::uint8_t>> current; // answers to input report requests
        bool cut = false;
        int fd = -1; // the open connection's eventfd
    };
    struct Shared {
        mutable std::mutex lock;
        std::map<std::string, HIDDeviceNode> present;
        std::map<std::string, NodeState> nodes;
        std::deque<Change> changes;
        int changesFd = -1;
        int waitFailure = 0;
    };
    class Connection;

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

} // namespace Tessarine
