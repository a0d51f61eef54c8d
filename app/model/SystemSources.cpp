#include "app/model/SystemSources.h"

#include "app/devices/ControllerMappings.h"
#include "app/devices/HidrawBackend.h"
#include "app/devices/SDLBackend.h"

namespace Tessarine {

std::vector<std::shared_ptr<InputDevice>> ControllerWatcherSource::devices() const {
    std::vector<std::shared_ptr<InputDevice>> list;
    for (const auto& [instance, device] : watcher_->devices()) list.push_back(device);
    return list;
}

std::vector<std::shared_ptr<InputDevice>> ControllerWatcherSource::joysticks() const {
    std::vector<std::shared_ptr<InputDevice>> list;
    for (const auto& [instance, device] : watcher_->joysticks()) list.push_back(device);
    return list;
}

void ControllerWatcherSource::start(std::function<void()> onChange) {
    watcher_->onChange = std::move(onChange);
    watcher_->start();
}

std::vector<SkippedHID> HIDMonitorSource::skipped() const {
    std::vector<SkippedHID> list;
    for (auto& [key, skipped] : monitor_->skipped()) list.push_back(std::move(skipped));
    return list;
}

void HIDMonitorSource::start(std::function<void()> onChange) {
    monitor_->onChange = std::move(onChange);
    monitor_->start();
}

AppModel::Parts systemParts(QObject* context) {
    AppModel::Parts parts;
    parts.defaults = std::make_unique<SettingsPreferences>();
    parts.executor = std::make_shared<QueuedExecutor>(context);
    parts.activity = std::make_unique<GuiAppActivity>();
    parts.controllers = std::make_unique<ControllerWatcherSource>(std::make_unique<ControllerWatcher>(
        std::make_shared<SDLBackend>(ControllerMappings::standardFiles()), ControllerWatcher::queuedOn(context)));
    parts.hid = std::make_unique<HIDMonitorSource>(std::make_unique<HIDMonitor>(std::make_unique<HidrawBackend>()));
    return parts;
}

} // namespace Tessarine
