// The frame tick and the device lists of the model.
#include "app/model/AppModel.h"

namespace Tessarine {

// ---- tick

void AppModel::tick() { tick(parts_.clock->now()); }

void AppModel::tick(double now) {
    if (shutDown_) return;
    // The demo's readings due by now are in its buffers before anything reads them, however
    // its own playback timer fell behind this frame.
    if (demo_->isStarted()) demo_->tick(now);
    for (auto& [id, runner] : lists_->runners())
        if (runner->hasActiveTest()) runner->tick(now);
    batch_->tick(now);
    soak_->tick(now);
    keyboard_->tick(now);
    mouse_->tick(now);
    showExportProgress(now);
    frame_ += 1;
    // In the background the live values refresh about ten times a second.
    if (!parts_.activity->isActive() && frame_ % backgroundFrames != 0) return;
    for (const auto& device : visibleDevices()) device->update(now, settings_->trailSeconds());
}

AppModel::Devices AppModel::visibleDevices() const {
    Devices list;
    const auto& selection = navigation_->selection();
    if (!selection) return list;
    switch (selection->kind) {
    case SidebarItem::Kind::device:
        if (auto d = device(selection->deviceID)) {
            list.push_back(d);
            if (d->rawPartner()) list.push_back(d->rawPartner());
        }
        break;
    case SidebarItem::Kind::batch: {
        for (const auto& d : lists_->allDevices())
            if (d->connected()) list.push_back(d);
        const std::size_t connected = list.size();
        for (std::size_t i = 0; i < connected; ++i)
            if (list[i]->rawPartner()) list.push_back(list[i]->rawPartner());
        break;
    }
    default:
        break;
    }
    return list;
}

// ---- lists

void AppModel::refreshControllers() {
    for (const std::string& notice : lists_->refreshControllers()) appendToast(notice);
    fixSelection();
}

void AppModel::refreshHID() {
    lists_->refreshHID();
    fixSelection();
}

void AppModel::fixSelection() {
    const auto& selection = navigation_->selection();
    if (!selection || !selection->isDevice() || device(selection->deviceID)) return;
    const Devices& controllers = lists_->controllerDevices();
    navigation_->setSelection(
        SidebarItem::device(controllers.empty() ? std::string("demo") : controllers.front()->id()));
}

void AppModel::carryOver(const std::string& oldID, const std::shared_ptr<InputDevice>& device) {
    if (oldID == device->id()) return;
    const auto& units = lists_->units();
    if (!units.count(device->id())) {
        if (auto it = units.find(oldID); it != units.end()) lists_->setUnit(device->id(), it->second);
    }
    if (const TestRunner* old = lists_->existingRunner(oldID)) {
        TestRunner::Results results = old->results();
        runner(device).mergeResults(results);
    }
    const auto& selection = navigation_->selection();
    if (selection && selection->isDevice()) navigation_->setSelection(SidebarItem::device(device->id()));
}

} // namespace Tessarine
