#include "tests/support/FakeHIDBackend.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Tessarine {

namespace {

void signal(int fd) {
    if (fd < 0) return;
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void drain(int fd) {
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

} // namespace

class FakeHIDBackend::Connection final : public HIDConnection {
public:
    Connection(std::shared_ptr<Shared> shared, std::string node, int fd, std::vector<std::uint8_t> descriptor)
        : shared_(std::move(shared)), node_(std::move(node)), fd_(fd), descriptor_(std::move(descriptor)) {}

    ~Connection() override {
        std::lock_guard guard(shared_->lock);
        NodeState& state = shared_->nodes[node_];
        --state.openNow;
        if (state.fd == fd_) state.fd = -1;
        ::close(fd_);
    }

    int fd() const override { return fd_; }

    Read read(std::span<std::uint8_t> buffer, std::size_t& length) override {
        std::lock_guard guard(shared_->lock);
        NodeState& state = shared_->nodes[node_];
        if (state.cut) return Read::gone;
        if (state.reports.empty()) {
            drain(fd_); // readable again only when the next report is sent
            return Read::empty;
        }
        const auto& report = state.reports.front();
        length = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), length, buffer.begin());
        state.reports.pop_front();
        return Read::report;
    }

    std::vector<std::uint8_t> descriptor() override { return descriptor_; }
    std::optional<std::vector<std::uint8_t>> inputReport(int reportID, std::size_t bytes,
                                                         std::string& error) override {
        std::lock_guard guard(shared_->lock);
        const NodeState& state = shared_->nodes[node_];
        const auto it = state.current.find(reportID);
        if (it == state.current.end()) {
            error = "Broken pipe";
            return std::nullopt;
        }
        auto report = it->second;
        report.resize(std::min(report.size(), bytes + (reportID ? 1 : 0)));
        return report;
    }
    void completeIdentity(HIDDeviceNode&) const override {}

private:
    const std::shared_ptr<Shared> shared_;
    const std::string node_;
    const int fd_;
    const std::vector<std::uint8_t> descriptor_;
};

FakeHIDBackend::FakeHIDBackend() { shared_->changesFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

FakeHIDBackend::~FakeHIDBackend() {
    if (shared_->changesFd >= 0) ::close(shared_->changesFd);
}

void FakeHIDBackend::plug(HIDDeviceNode device) {
    std::lock_guard guard(shared_->lock);
    shared_->present[device.node] = device;
    shared_->changes.push_back(Change{true, std::move(device)});
    signal(shared_->changesFd);
}

void FakeHIDBackend::addPresent(HIDDeviceNode device) {
    std::lock_guard guard(shared_->lock);
    shared_->present[device.node] = std::move(device);
}

void FakeHIDBackend::unplug(const std::string& node) {
    std::lock_guard guard(shared_->lock);
    shared_->present.erase(node);
    Change change;
    change.device.node = node;
    shared_->changes.push_back(std::move(change));
    signal(shared_->changesFd);
}

void FakeHIDBackend::failOpen(const std::string& node, int code) {
    std::lock_guard guard(shared_->lock);
    shared_->nodes[node].failure = code;
}

void FakeHIDBackend::setOpenDescriptor(const std::string& node, std::vector<std::uint8_t> descriptor) {
    std::lock_guard guard(shared_->lock);
    shared_->nodes[node].openDescriptor = std::move(descriptor);
}

void FakeHIDBackend::send(const std::string& node, std::vector<std::uint8_t> report) {
    std::lock_guard guard(shared_->lock);
    NodeState& state = shared_->nodes[node];
    state.reports.push_back(std::move(report));
    signal(state.fd);
}

void FakeHIDBackend::answerInputReport(const std::string& node, int reportID, std::vector<std::uint8_t> report) {
    std::lock_guard guard(shared_->lock);
    shared_->nodes[node].current[reportID] = std::move(report);
}

void FakeHIDBackend::cutOff(const std::string& node) {
    std::lock_guard guard(shared_->lock);
    NodeState& state = shared_->nodes[node];
    state.cut = true;
    signal(state.fd);
}

void FakeHIDBackend::failWait(int code) {
    std::lock_guard guard(shared_->lock);
    shared_->waitFailure = code;
    signal(shared_->changesFd); // ends the wait in progress, so the next one fails
}

int FakeHIDBackend::opens(const std::string& node) const {
    std::lock_guard guard(shared_->lock);
    auto it = shared_->nodes.find(node);
    return it == shared_->nodes.end() ? 0 : it->second.opens;
}

bool FakeHIDBackend::isOpen(const std::string& node) const {
    std::lock_guard guard(shared_->lock);
    auto it = shared_->nodes.find(node);
    return it != shared_->nodes.end() && it->second.openNow > 0;
}

int FakeHIDBackend::openConnections() const {
    std::lock_guard guard(shared_->lock);
    int count = 0;
    for (const auto& [node, state] : shared_->nodes) count += state.openNow;
    return count;
}

std::size_t FakeHIDBackend::pendingReports(const std::string& node) const {
    std::lock_guard guard(shared_->lock);
    auto it = shared_->nodes.find(node);
    return it == shared_->nodes.end() ? 0 : it->second.reports.size();
}

int FakeHIDBackend::start() { return shared_->changesFd; }

int FakeHIDBackend::wait(pollfd* fds, nfds_t count, int timeoutMs) {
    {
        std::lock_guard guard(shared_->lock);
        if (shared_->waitFailure != 0) {
            errno = shared_->waitFailure;
            return -1;
        }
    }
    return HIDBackend::wait(fds, count, timeoutMs);
}

std::vector<HIDDeviceNode> FakeHIDBackend::devices() {
    std::lock_guard guard(shared_->lock);
    std::vector<HIDDeviceNode> list;
    for (const auto& [node, device] : shared_->present) list.push_back(device);
    return list;
}

std::vector<HIDBackend::Change> FakeHIDBackend::changes() {
    std::lock_guard guard(shared_->lock);
    drain(shared_->changesFd);
    std::vector<Change> list(shared_->changes.begin(), shared_->changes.end());
    shared_->changes.clear();
    return list;
}

std::unique_ptr<HIDConnection> FakeHIDBackend::open(const HIDDeviceNode& device, OpenError& error) {
    std::lock_guard guard(shared_->lock);
    NodeState& state = shared_->nodes[device.node];
    ++state.opens;
    if (state.failure != 0) {
        error = {state.failure, std::strerror(state.failure)};
        return nullptr;
    }
    const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) {
        error = {errno, std::strerror(errno)};
        return nullptr;
    }
    ++state.openNow;
    state.fd = fd;
    state.cut = false;
    if (!state.reports.empty()) signal(fd);
    auto descriptor = state.openDescriptor ? *state.openDescriptor : device.descriptor;
    return std::make_unique<Connection>(shared_, device.node, fd, std::move(descriptor));
}

} // namespace Tessarine
