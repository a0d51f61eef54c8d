#pragma once
// The application's real sources and services: SDL game controllers, the HID monitor over
// udev and hidraw, the user's settings file and the Qt event loop.
#include "app/devices/HIDMonitor.h"

#include <memory>

#include "app/devices/ControllerSource.h"
#include "app/model/AppModel.h"
#include "app/model/DeviceSources.h"

namespace Tessarine {

class ControllerWatcherSource final : public ControllerSource {
public:
    explicit ControllerWatcherSource(std::unique_ptr<ControllerWatcher> watcher) : watcher_(std::move(watcher)) {}

    ControllerWatcher& watcher() { return *watcher_; }

    std::vector<std::shared_ptr<InputDevice>> devices() const override;
    void start(std::function<void()> onChange) override;
    void stop() override { watcher_->stop(); }
    std::string failure() const override { return watcher_->failure(); }
    std::vector<std::string> takeNotices() override { return watcher_->takeNotices(); }
    std::vector<std::shared_ptr<InputDevice>> joysticks() const override;

private:
    const std::unique_ptr<ControllerWatcher> watcher_;
};

class HIDMonitorSource final : public HIDSource {
public:
    explicit HIDMonitorSource(std::unique_ptr<HIDMonitor> monitor) : monitor_(std::move(monitor)) {}

    HIDMonitor& monitor() { return *monitor_; }

    std::map<std::uint64_t, std::shared_ptr<HIDTap>> taps() const override { return monitor_->taps(); }
    std::vector<SkippedHID> skipped() const override;
    void start(std::function<void()> onChange) override;
    void stop() override { monitor_->stop(); }
    std::string failure() const override { return monitor_->failure(); }

private:
    const std::unique_ptr<HIDMonitor> monitor_;
};

// Everything the application's model runs on; `context` is the application object, whose
// thread is the main thread and which outlives the model.
AppModel::Parts systemParts(QObject* context);

} // namespace Tessarine
