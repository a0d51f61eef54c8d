#include "app/model/DeviceLists.h"

#include <QString>

#include <algorithm>
#include <set>

#include "app/base/Assign.h"
#include "app/devices/DemoDevice.h"
#include "app/devices/HIDTap.h"
#include "app/devices/InputDevice.h"
#include "app/devices/RawDevice.h"
#include "app/model/DeviceSources.h"
#include "app/model/TestRunner.h"
#include "app/model/UserSettings.h"

namespace Tessarine {

namespace {

// Names compare without regard to letter case, beyond ASCII too.
QString folded(const std::string& name) { return QString::fromStdString(name).toLower(); }

} // namespace

DeviceLists::DeviceLists(ControllerSource& controllers, HIDSource& hid, DemoDriver& demo,
                         RunnerContext& context, const UserSettings& settings, QObject* parent)
    : QObject(parent), controllers_(controllers), hid_(hid), demo_(demo), context_(context),
      settings_(settings) {}

DeviceLists::~DeviceLists() = default;

DeviceLists::Devices DeviceLists::allDevices() const {
    Devices list = controllerDevices_;
    list.push_back(demo_.device());
    list.insert(list.end(), hidDevices_.begin(), hidDevices_.end());
    return list;
}

std::shared_ptr<InputDevice> DeviceLists::device(const std::string& id) const {
    if (id == demo_.raw()->id()) return demo_.raw();
    for (const auto& d : allDevices())
        if (d->id() == id) return d;
    auto it = hidByID_.find(id);
    return it == hidByID_.end() ? nullptr : it->second;
}

TestRunner& DeviceLists::runner(const std::shared_ptr<InputDevice>& device) {
    auto& slot = runners_[device->id()];
    if (!slot) slot = std::make_unique<TestRunner>(device, context_);
    return *slot;
}

const TestRunner* DeviceLists::existingRunner(const std::string& id) const {
    auto it = runners_.find(id);
    return it == runners_.end() ? nullptr : it->second.get();
}

// ---- unit records

UnitRecord DeviceLists::unit(const InputDevice& device) const {
    if (auto it = units_.find(device.id()); it != units_.end()) return it->second;
    return UnitRecord{.unit = device.identity().serial.value_or(std::string()),
                      .stage = stagePresets.front(),
                      .ticket = {},
                      .notes = {},
                      .technician = settings_.defaultTechnician()};
}

void DeviceLists::setUnit(const std::string& deviceID, UnitRecord record) {
    auto it = units_.find(deviceID);
    if (it != units_.end() && it->second == record) return;
    units_[deviceID] = std::move(record);
    emit unitsChanged();
}

// ---- lists

std::vector<std::string> DeviceLists::refreshControllers() {
    Devices list = controllers_.devices();
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a->id() < b->id(); });
    controllerDevices_ = std::move(list);
    controllerFailure_ = controllers_.failure();
    std::vector<std::string> notices = controllers_.takeNotices();
    emit controllerDevicesChanged();
    for (const auto& d : controllerDevices_) runner(d);
    if (mergeJoysticks()) {
        emit allHIDChanged();
        emit skippedHIDChanged();
    }
    pairRawPartners();
    return notices;
}

void DeviceLists::refreshHID() {
    // Copies taken under the source's lock; the taps themselves are shared objects.
    auto taps = hid_.taps();
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
    auto skipped = hid_.skipped();
    std::sort(skipped.begin(), skipped.end(), [](const auto& a, const auto& b) { return a.title < b.title; });
    monitorSkipped_ = std::move(skipped);
    hidFailure_ = hid_.failure();
    mergeJoysticks();
    emit allHIDChanged();
    emit skippedHIDChanged();
    pairRawPartners();
}

bool DeviceLists::mergeJoysticks() {
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
    for (const auto& joystick : controllers_.joysticks()) {
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

void DeviceLists::pairRawPartners() {
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

void DeviceLists::setPartner(const std::optional<std::string>& hidID, const InputDevice& controller) {
    auto choice = partnerChoice_;
    choice[controller.id()] = hidID.value_or(std::string());
    if (assign(partnerChoice_, std::move(choice))) emit partnerChoiceChanged();
    pairRawPartners();
}

} // namespace Tessarine
