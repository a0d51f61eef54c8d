#include "app/devices/InputDevice.h"

#include <algorithm>
#include <set>

#include "app/base/Assign.h"
#include "testkit/NaturalOrder.h"

using namespace RorozErurEvo;

namespace Tessarine {

using RorozErurEvo::AxisRole;
using RorozErurEvo::DeviceInfo;

InputDevice::InputDevice(std::string id, Kind kind, DeviceInfo info, std::vector<ElementInfo> elements,
                         std::shared_ptr<CaptureBuffer> capture, std::shared_ptr<DeviceOutputs> outputs,
                         QObject* parent)
    : QObject(parent),
      id_(std::move(id)),
      kind_(kind),
      info_(std::move(info)),
      elements_(std::move(elements)),
      capture_(capture ? std::move(capture) : std::make_shared<CaptureBuffer>()),
      outputs_(std::move(outputs)) {}

// ---- setters

void InputDevice::setInfo(DeviceInfo value) {
    if (assign(info_, std::move(value))) emit infoChanged();
}
void InputDevice::setElements(std::vector<ElementInfo> value) {
    if (assign(elements_, std::move(value))) emit elementsChanged();
}
void InputDevice::setCapabilities(Capabilities value) {
    if (assign(capabilities_, std::move(value))) emit capabilitiesChanged();
}
void InputDevice::setConnected(bool value) {
    if (assign(connected_, value)) emit connectedChanged();
}
void InputDevice::setRawPartner(std::shared_ptr<InputDevice> value) {
    if (assign(rawPartner_, std::move(value))) emit rawPartnerChanged();
}
void InputDevice::setUseRaw(bool value) {
    if (assign(useRaw_, value)) emit useRawChanged();
}
void InputDevice::setAxisRoles(std::map<std::string, AxisRole> value) {
    if (assign(axisRoles_, std::move(value))) emit axisRolesChanged();
}
void InputDevice::setLightColor(std::optional<std::array<double, 3>> value) {
    if (assign(lightColor_, value)) emit lightColorChanged();
}
void InputDevice::setPlayerLight(std::optional<int> value) {
    if (assign(playerLight_, value)) emit playerLightChanged();
}

// ---- element lists

bool InputDevice::displayOrder(const ElementInfo& a, const ElementInfo& b) {
    // Every role is in the table; an out-of-range value counts as the end of the list.
    auto position = [](ElementInfo::Role role) {
        const int index = RorozErurEvo::caseIndex(role);
        return index < 0 ? 99 : index;
    };
    const int pa = position(a.role), pb = position(b.role);
    if (pa != pb) return pa < pb;
    return RorozErurEvo::NaturalOrder::less(a.name, b.name);
}

std::vector<ElementInfo> InputDevice::ofKinds(std::initializer_list<ElementInfo::Kind> kinds, bool sorted) const {
    std::vector<ElementInfo> result;
    for (const auto& e : elements_)
        if (std::find(kinds.begin(), kinds.end(), e.kind) != kinds.end()) result.push_back(e);
    if (sorted) std::stable_sort(result.begin(), result.end(), displayOrder);
    return result;
}

std::vector<ElementInfo> InputDevice::sticks() const { return ofKinds({ElementInfo::Kind::stick}, true); }
std::vector<ElementInfo> InputDevice::buttons() const {
    return ofKinds({ElementInfo::Kind::button, ElementInfo::Kind::trigger}, true);
}
std::vector<ElementInfo> InputDevice::triggers() const { return ofKinds({ElementInfo::Kind::trigger}, true); }
std::vector<ElementInfo> InputDevice::dpads() const { return ofKinds({ElementInfo::Kind::dpad}, false); }
std::vector<ElementInfo> InputDevice::touchpads() const { return ofKinds({ElementInfo::Kind::touchpad}, false); }
std::vector<ElementInfo> InputDevice::axes() const { return ofKinds({ElementInfo::Kind::axis}, false); }

std::vector<ElementInfo> InputDevice::analogAxes() const {
    std::vector<ElementInfo> result;
    for (const auto& e : elements_)
        if ((e.kind == ElementInfo::Kind::axis || e.kind == ElementInfo::Kind::trigger) && e.page && !e.isHat)
            result.push_back(e);
    return result;
}

std::optional<ElementInfo> InputDevice::element(const std::string& id) const {
    for (const auto& e : elements_)
        if (e.id == id) return e;
    return std::nullopt;
}

std::optional<ElementInfo> InputDevice::rawCounterpart(const ElementInfo& element) const {
    if (!rawPartner_) return std::nullopt;
    const auto partnerSticks = rawPartner_->sticks();
    for (const auto& stick : partnerSticks)
        if (stick.role == element.role) return stick;
    if (element.role == ElementInfo::Role::leftStick && !partnerSticks.empty()) return partnerSticks.front();
    return std::nullopt;
}

DeviceInfo InputDevice::identity() const {
    DeviceInfo result = info_;
    if (!rawPartner_) return result;
    const DeviceInfo& partner = rawPartner_->info();
    if (!result.vendorID) result.vendorID = partner.vendorID;
    if (!result.productID) result.productID = partner.productID;
    if (!result.serial) result.serial = partner.serial;
    if (!result.transport) result.transport = partner.transport;
    return result;
}

InputDevice& InputDevice::testTarget() { return (useRaw_ && rawPartner_) ? *rawPartner_ : *this; }

// ---- per-frame refresh

void InputDevice::update(double now, double trailSeconds) {
    // Each trail moves forward with its log; a trail whose element is gone goes with it.
    bool trailsMoved = false;
    std::set<std::string> trailKeys;
    for (const auto& e : elements_)
        if (e.kind == ElementInfo::Kind::stick || e.kind == ElementInfo::Kind::dpad) trailKeys.insert(e.id);
    for (auto it = trails_.begin(); it != trails_.end();) {
        if (trailKeys.contains(it->first)) {
            ++it;
            continue;
        }
        trailCursors_.erase(it->first);
        it = trails_.erase(it);
        trailsMoved = true;
    }
    for (const auto& key : trailKeys) {
        auto [trail, added] = trails_.try_emplace(key);
        trailsMoved |= added;
        trailsMoved |= capture_->followTrail(key, trailSeconds, now, trail->second, trailCursors_[key]);
    }
    // The live snapshot is handed out every frame, changed or not, once the trails have moved:
    // a view that draws both refreshes once a frame, on liveChanged, and sees this frame's trail.
    live_ = capture_->snapshot();
    emit liveChanged();
    if (trailsMoved) emit trailsChanged();

    if (kind_ == Kind::hid || kind_ == Kind::demoRaw) {
        if (assign(rawLive_, capture_->rawLive(now, stampResolution_))) emit rawLiveChanged();
    }

    if (now - lastBatteryCheck_ > batteryInterval && outputs_) {
        lastBatteryCheck_ = now;
        const auto reading = outputs_->battery();
        if (assign(batteryLevel_, reading.level)) emit batteryLevelChanged();
        if (assign(batteryState_, reading.state)) emit batteryStateChanged();
        DeviceInfo withBattery = info_;
        withBattery.batteryLevel = reading.level;
        withBattery.batteryState = reading.state;
        setInfo(std::move(withBattery));
    }
}

// ---- pairs and roles

void InputDevice::applyPairs(std::vector<StickPair> pairs) {
    if (assign(stickPairs_, pairs)) emit stickPairsChanged();
    std::vector<ElementInfo> next;
    next.reserve(elements_.size() + pairs.size());
    for (const auto& e : elements_)
        if (!e.id.starts_with("pair-")) next.push_back(e);
    for (const auto& pair : pairs) {
        ElementInfo stick;
        stick.id = pair.id;
        stick.kind = ElementInfo::Kind::stick;
        stick.role = pair.role;
        stick.name = pair.name;
        stick.analog = true;
        next.push_back(std::move(stick));
    }
    setElements(std::move(next));
    if (onPairsChanged) onPairsChanged(pairs);
}

void InputDevice::assignAxisRoles() {
    auto roles = axisRoles_;
    for (const auto& e : analogAxes()) {
        if (roles.contains(e.id)) continue;
        if (auto role = RorozErurEvo::AxisRoles::suggest(e.page, e.usage, info_.name)) roles.emplace(e.id, *role);
    }
    setAxisRoles(std::move(roles));
}

} // namespace Tessarine
