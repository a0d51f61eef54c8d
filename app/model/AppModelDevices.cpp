// The frame tick and the device lists of the model.
#include <algorithm>
#include <set>

#include "app/devices/Assign.h"
#include "app/devices/HIDTap.h"
#include "app/devices/RawDevice.h"
#include "app/model/AppModel.h"

namespace Tessarine {

namespace {

// Names compare without regard to letter case, beyond ASCII too.
QString folded(const std::string& name) { return QString::fromStdString(name).toLower(); }

} // namespace

// ---- tick

void AppModel::tick() { tick(parts_.clock->now()); }

void AppModel::tick(double now) {
    if (shutDown_) return;
    // The demo's readings due by now are in its buffers before anything reads them, however
    // its own playback timer fell behind this frame.
    if (demo_->isStarted()) demo_->tick(now);
    for (auto& [id, runner] : runners_)
        if (runner->hasActiveTest()) runner->tick(now);
    batch_->tick(now);
    soak_->tick(now);
    keyboard_->tick(now);
    mouse_->tick(now);
    frame_ += 1;
    // In the background the live values refresh about ten times a second.
    if (!parts_.activity->isActive() && frame_ % backgroundFrames != 0) return;
    for (const auto& device : visibleDevices()) device->update(now, trailSeconds_);
}

AppModel::Devices AppModel::allDevices() const {
    Devices list = controllerDevices_;
    list.push_back(demo_->device());
    list.insert(list.end(), hidDevices_.begin(), hidDevices_.end());
    return list;
}

AppModel::Devices AppModel::visibleDevices() const {
    Devices list;
    if (!selection_) return list;
    switch (selection_->kind) {
    case SidebarItem::Kind::device:
        if (auto d = device(selection_->deviceID)) {
            list.push_back(d);
            if (d->rawPartner()) list.push_back(d->rawPartner());
        }
        break;
    case SidebarItem::Kind::batch: {
        for (const auto& d : allDevices())
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

std::shared_ptr<InputDevice> AppModel::device(const std::string& id) const {
    if (id == demo_->raw()->id()) return demo_->raw();
    for (const auto& d : allDevices())
        if (d->id() == id) return d;
    auto it = hidByID_.find(id);
    return it == hidByID_.end() ? nullptr : it->second;
}

TestRunner& AppModel::runner(const std::shared_ptr<InputDevice>& device) {
    auto& slot = runners_[device->id()];
    if (!slot) slot = std::make_unique<TestRunner>(device, *this);
    return *slot;
}

const TestRunner* AppModel::existingRunner(const std::string& id) const {
    auto it = runners_.find(id);
    return it == runners_.end() ? nullptr : it->second.get();
}

// ---- lists

void AppModel::refreshControllers() {
    Devices list = parts_.controllers->devices();
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a->id() < b->id(); });
    controllerDevices_ = std::move(list);
    controllerFailure_ = parts_.controllers->failure();
    for (const std::string& notice : parts_.controllers->takeNotices()) appendToast(notice);
    emit controllerDevicesChanged();
    for (const auto& d : controllerDevices_) runner(d);
    if (mergeJoysticks()) {
        emit allHIDChanged();
        emit skippedHIDChanged();
    }
    pairRawPartners();
    fixSelection();
}

void AppModel::refreshHID() {
    // Copies taken under the source's lock; the taps themselves are shared objects.
    auto taps = parts_.hid->taps();
    Devices list;
    std::set<std::string> present;
    for (const auto& [key, tap] : taps) {
        const std::string id = "hid-" + std::to_string(key);
        std::shared_ptr<InputDevice> device;
        if (auto it = hidByID_.find(id); it != hidByID_.end()) {
            device = it->second;
        } else {
            device = makeRawDevice(id, tap);
            hidByID_[id] = device;
            runner(device);
        }
        present.insert(id);
        list.push_back(device);
    }
    for (auto it = hidByID_.begin(); it != hidByID_.end();) {
        if (present.count(it->first)) {
            ++it;
            continue;
        }
        it->second->setConnected(false);
        it = hidByID_.erase(it);
    }
    monitorHID_ = std::move(list);
    auto skipped = parts_.hid->skipped();
    std::sort(skipped.begin(), skipped.end(), [](const auto& a, const auto& b) { return a.title < b.title; });
    monitorSkipped_ = std::move(skipped);
    hidFailure_ = parts_.hid->failure();
    mergeJoysticks();
    emit allHIDChanged();
    emit skippedHIDChanged();

    pairRawPartners();
    fixSelection();
}

bool AppModel::mergeJoysticks() {
    // One physical device: the same hidraw node, or the same ids and serial.
    const auto same = [](const InputDevice& raw, const InputDevice& joystick) {
        if (raw.hidrawNode() && raw.hidrawNode() == joystick.hidrawNode()) return true;
        const auto& a = raw.info();
        const auto& b = joystick.info();
        return a.serial && !a.serial->empty() && a.serial == b.serial && a.vendorID == b.vendorID &&
               a.productID == b.productID;
    };
    Devices list = monitorHID_;
    std::set<std::string> standIns; // hidraw nodes a joystick is listed for
    for (const auto& joystick : parts_.controllers->joysticks()) {
        const bool readRaw = std::any_of(monitorHID_.begin(), monitorHID_.end(),
                                         [&](const auto& raw) { return same(*raw, *joystick); });
        if (readRaw) continue;
        list.push_back(joystick);
        if (joystick->hidrawNode()) standIns.insert(*joystick->hidrawNode());
        runner(joystick);
    }
    std::vector<SkippedHID> skipped;
    for (const auto& s : monitorSkipped_)
        if (!standIns.contains(s.node)) skipped.push_back(s);
    const bool devicesChanged = assign(allHID_, std::move(list));
    const bool skippedChanged = assign(skippedHID_, std::move(skipped));
    return devicesChanged || skippedChanged;
}

void AppModel::pairRawPartners() {
    std::set<std::string> taken;
    auto byID = [&](const std::string& id) -> std::shared_ptr<InputDevice> {
        for (const auto& d : allHID_)
            if (d->id() == id) return d;
        return nullptr;
    };
    for (const auto& controller : controllerDevices_) {
        std::shared_ptr<InputDevice> partner;
        if (auto choice = partnerChoice_.find(controller->id()); choice != partnerChoice_.end()) {
            // The user's choice stands on its own: no matching, and `taken` does not apply.
            if (!choice->second.empty()) partner = byID(choice->second);
        } else if (const auto& node = controller->hidrawNode()) {
            // The same device node is the same physical device; names are not consulted.
            for (const auto& d : allHID_)
                if (d->hidrawNode() == node && !taken.count(d->id())) {
                    partner = d;
                    break;
                }
        } else {
            // By name, and only when exactly one free device has it.
            const QString name = folded(controller->info().name);
            Devices candidates;
            for (const auto& d : allHID_)
                if (!taken.count(d->id()) && folded(d->info().name) == name) candidates.push_back(d);
            if (candidates.size() == 1) partner = candidates.front();
        }
        controller->setRawPartner(partner);
        if (partner)
            taken.insert(partner->id());
        else
            controller->setUseRaw(false);
    }
    Devices unpartnered;
    for (const auto& d : allHID_)
        if (!taken.count(d->id())) unpartnered.push_back(d);
    hidDevices_ = std::move(unpartnered);
    emit hidDevicesChanged();
}

void AppModel::fixSelection() {
    if (!selection_ || !selection_->isDevice() || device(selection_->deviceID)) return;
    setSelection(SidebarItem::device(controllerDevices_.empty() ? std::string("demo") : controllerDevices_.front()->id()));
}

void AppModel::setPartner(const std::optional<std::string>& hidID, const InputDevice& controller) {
    auto choice = partnerChoice_;
    choice[controller.id()] = hidID.value_or(std::string());
    if (assign(partnerChoice_, std::move(choice))) emit partnerChoiceChanged();
    pairRawPartners();
}

void AppModel::carryOver(const std::string& oldID, const std::shared_ptr<InputDevice>& device) {
    if (oldID == device->id()) return;
    if (!units_.count(device->id())) {
        if (auto it = units_.find(oldID); it != units_.end()) setUnit(device->id(), it->second);
    }
    if (auto it = runners_.find(oldID); it != runners_.end()) {
        TestRunner::Results results = it->second->results();
        runner(device).mergeResults(results);
    }
    if (selection_ && selection_->isDevice()) setSelection(SidebarItem::device(device->id()));
}

} // namespace Tessarine
