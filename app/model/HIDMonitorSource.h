#pragma once
// The HID monitor as the model's source of raw HID devices.
#include <memory>

#include "app/devices/HIDMonitor.h"
#include "app/model/DeviceSources.h"

namespace Tessarine {

class HIDMonitorSource final : public HIDSource {
public:
    explicit HIDMonitorSource(std::unique_ptr<HIDMonitor> monitor) : monitor_(std::move(monitor)) {}

    HIDMonitor& monitor() { return *monitor_; }

    std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps() const override { return monitor_->taps(); }
    std::vector<std::string> skipped() const override;
    void start(std::function<void()> onChange) override;
    void stop() override { monitor_->stop(); }

private:
    const std::unique_ptr<HIDMonitor> monitor_;
};

} // namespace Tessarine
