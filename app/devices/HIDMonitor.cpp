#include "app/devices/HIDMonitor.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "app/base/Logging.h"
#include "testkit/HIDDescriptor.h"

namespace Tessarine {

using namespace RorozErurEvo;

namespace {

// Reports read from one device before the loop turns to the others; the rest wait for the next
// round (reports).
constexpr int reportsPerRound = 256;

std::optional<HIDDescriptor> parsed(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return std::nullopt;
    try {
        return HIDDescriptor::parse(bytes);
    } catch (const HIDDescriptorError&) {
        return std::nullopt;
    }
}

DeviceInfo identity(const HIDDeviceNode& device, std::string name) {
    DeviceInfo info;
    info.name = std::move(name);
    info.vendor = device.manufacturer;
    info.vendorID = device.vendorID;
    info.productID = device.productID;
    info.serial = device.serial;
    info.transport = device.transport;
    return info;
}

void drainEventFd(int fd) {
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

} // namespace

HIDMonitor::HIDMonitor(std::unique_ptr<HIDBackend> backend, const Clock& clock, Post post)
    : backend_(std::move(backend)), clock_(clock), post_(std::move(post)),
      buffer_(HIDLimits::maxReportBytes + 1) { // a report and its id byte
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) wakeError_ = std::strerror(errno);
}

HIDMonitor::~HIDMonitor() {
    stop();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void HIDMonitor::start() {
    {
        MutexLock guard(lock_);
        if (started_) return;
        started_ = true;
    }
    // Without a wake-up descriptor the thread could never be stopped: raw HID stays off.
    if (wakeFd_ < 0) {
        qCWarning(logHID, "raw HID reading stopped: %s", wakeError_.c_str());
        MutexLock guard(lock_);
        failure_ = wakeError_;
        return;
    }
    if (!backend_) return;
    thread_ = WorkerThread([this] { run(); });
}

void HIDMonitor::stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    if (!thread_.join(stopWait))
        qCWarning(logHID, "the raw HID thread did not stop within %lld ms; it is left behind",
                  static_cast<long long>(stopWait.count()));
}

std::map<std::uint64_t, std::shared_ptr<HIDTap>> HIDMonitor::taps() const {
    MutexLock guard(lock_);
    return taps_;
}

std::map<std::uint64_t, SkippedHID> HIDMonitor::skipped() const {
    MutexLock guard(lock_);
    return skipped_;
}

std::string HIDMonitor::failure() const {
    MutexLock guard(lock_);
    return failure_;
}

void HIDMonitor::changed() {
    if (!onChange) return;
    if (post_) post_(onChange);
    else onChange();
}

void HIDMonitor::skip(std::uint64_t key, SkippedHID skipped) {
    {
        MutexLock guard(lock_);
        skipped_[key] = std::move(skipped);
    }
    changed();
}

void HIDMonitor::fail(std::string reason) {
    qCWarning(logHID, "raw HID reading stopped: %s", reason.c_str());
    // Every device closes with its connection and leaves the tables, so the application marks
    // them gone.
    open_.clear();
    keys_.clear();
    {
        MutexLock guard(lock_);
        taps_.clear();
        skipped_.clear();
        failure_ = std::move(reason);
    }
    changed();
}

void HIDMonitor::run() {
    pthread_setname_np(pthread_self(), threadName);
    int changesFd = backend_->start();
    for (auto& device : backend_->devices()) deviceMatched(std::move(device));

    std::vector<pollfd> fds;
    std::vector<std::uint64_t> polledKeys;
    while (!stopping_) {
        fds.clear();
        polledKeys.clear();
        fds.push_back(pollfd{wakeFd_, POLLIN, 0});
        if (changesFd >= 0) fds.push_back(pollfd{changesFd, POLLIN, 0});
        const std::size_t firstDevice = fds.size();
        for (const auto& [key, open] : open_) {
            fds.push_back(pollfd{open.connection->fd(), POLLIN, 0});
            polledKeys.push_back(key);
        }
        if (backend_->wait(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            fail(std::strerror(errno));
            break;
        }
        if (fds[0].revents) {
            drainEventFd(wakeFd_);
            if (stopping_) break;
        }
        if (changesFd >= 0 && fds[1].revents) {
            // A descriptor the backend closed would wake every poll: stop watching it.
            if (fds[1].revents & POLLNVAL) changesFd = -1;
            for (auto& change : backend_->changes()) {
                if (change.added) deviceMatched(std::move(change.device));
                else deviceRemoved(change.device.node);
            }
        }
        for (std::size_t i = 0; i < polledKeys.size(); ++i) {
            const short events = fds[firstDevice + i].revents;
            if (!events) continue;
            auto it = open_.find(polledKeys[i]); // a change above may have closed it
            if (it == open_.end()) continue;
            const bool gone = (events & (POLLERR | POLLHUP | POLLNVAL)) && !(events & POLLIN);
            if (gone || !readReports(it->second)) deviceRemoved(it->second.tap->node());
        }
    }

    // Every device closes with its connection; the tables empty without notice, the application is
    // shutting down.
    open_.clear();
    keys_.clear();
    MutexLock guard(lock_);
    taps_.clear();
    skipped_.clear();
}

bool HIDMonitor::readReports(Open& open) {
    for (int n = 0; n < reportsPerRound; ++n) {
        std::size_t length = 0;
        switch (open.connection->read(buffer_, length)) {
        case HIDConnection::Read::report:
            open.tap->inputReport(std::span(buffer_).first(std::min(length, buffer_.size())), clock_.now());
            break;
        case HIDConnection::Read::empty: return true;
        case HIDConnection::Read::gone: return false;
        }
    }
    return true;
}

void HIDMonitor::deviceMatched(HIDDeviceNode device) {
    if (keys_.count(device.node)) return; // already handled (listed and announced both)
    const std::string name = device.product && !device.product->empty() ? *device.product : unnamedDevice;

    // The descriptor the system lists decides before opening; a device without one readable is
    // decided after opening, from the descriptor in effect.
    const std::optional<HIDDescriptor> listed = parsed(device.descriptor);
    if (listed && !listed->isGameDevice()) return;
    const std::uint64_t key = nextKey_++;
    keys_[device.node] = key;
    const auto keyboardOrMouse = [&] {
        qCInfo(logHID, "%s left closed: %s is also a keyboard or mouse", device.node.c_str(), name.c_str());
        return skip(key, {name + keyboardOrMouseText, SkippedHID::Why::keyboardOrMouse, device.node, {}, false});
    };
    if (listed && listed->isKeyboardOrMouse()) return keyboardOrMouse();

    HIDBackend::OpenError error;
    std::unique_ptr<HIDConnection> connection = backend_->open(device, error);
    if (!connection) {
        // Common without the udev rule: shown in the device's row, so only noted here.
        qCInfo(logHID, "%s (%s) could not be opened: %s", device.node.c_str(), name.c_str(), error.reason.c_str());
        return skip(key, {name + openFailedText, SkippedHID::Why::openFailed, device.node, error.reason,
                          error.code == EACCES || error.code == EPERM});
    }
    connection->completeIdentity(device);
    std::optional<HIDDescriptor> descriptor = parsed(connection->descriptor());
    if (!descriptor) descriptor = listed;
    // A device left aside is closed before anyone hears of it.
    if (!descriptor) {
        connection.reset();
        qCWarning(logHID, "%s (%s) gives no report descriptor that can be read", device.node.c_str(), name.c_str());
        return skip(key, {name + openFailedText, SkippedHID::Why::noDescriptor, device.node, {}, false});
    }
    if (!descriptor->isGameDevice()) {
        keys_.erase(device.node);
        return;
    }
    if (descriptor->isKeyboardOrMouse()) {
        connection.reset();
        return keyboardOrMouse();
    }

    // The current input reports, so the tap starts with every value the device holds. A device
    // that does not answer one is asked no more: each request may wait out a timeout.
    std::vector<std::vector<std::uint8_t>> starting;
    for (const auto& [id, bits] : descriptor->inputReportBits) {
        std::string why;
        auto report = connection->inputReport(id, (bits + 7) / 8, why);
        if (!report) {
            qCDebug(logHID).noquote() << QString::fromStdString(name) << "gave no current input report"
                                      << id << ":" << QString::fromStdString(why);
            break;
        }
        starting.push_back(std::move(*report));
    }
    qCInfo(logHID, "%s opened: %s", device.node.c_str(), name.c_str());
    auto tap = std::make_shared<HIDTap>(key, device.node, identity(device, name), *descriptor, clock_, starting);
    open_.emplace(key, Open{std::move(connection), tap});
    {
        MutexLock guard(lock_);
        taps_[key] = std::move(tap);
    }
    changed();
}

void HIDMonitor::deviceRemoved(std::string node) {
    if (auto it = keys_.find(node); it != keys_.end()) {
        qCInfo(logHID, "%s removed", node.c_str());
        const std::uint64_t key = it->second;
        keys_.erase(it);
        open_.erase(key); // closes the device
        MutexLock guard(lock_);
        skipped_.erase(key);
        taps_.erase(key);
    }
    changed();
}

} // namespace Tessarine
