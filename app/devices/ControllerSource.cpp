#include "app/devices/ControllerSource.h"

#include <QMetaObject>
#include <QObject>

#include "app/devices/ControllerCatalogue.h"
#include "app/devices/ControllerOutputs.h"
#include "app/base/Logging.h"
#include "app/devices/PowerSupplyBattery.h"
#include "app/devices/RawDevice.h"
#include "testkit/Fmt.h"

namespace Tessarine {

ControllerWatcher::ControllerWatcher(std::shared_ptr<ControllerBackend> backend, Post post, const Clock& clock)
    : backend_(std::move(backend)), post_(std::move(post)), clock_(clock) {}

ControllerWatcher::~ControllerWatcher() {
    backend_->stop();
    alive_.reset();
}

ControllerWatcher::Post ControllerWatcher::queuedOn(QObject* context) {
    return [context](std::function<void()> work) {
        QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
    };
}

void ControllerWatcher::start() {
    if (started_) return;
    started_ = true;
    backend_->start(*this);
}

void ControllerWatcher::stop() { backend_->stop(); }

void ControllerWatcher::onMain(std::function<void()> work) {
    if (!post_) {
        work();
        return;
    }
    post_([alive = std::weak_ptr<int>(alive_), work = std::move(work)] {
        if (alive.lock()) work();
    });
}

std::vector<ControllerWatcher::Described> ControllerWatcher::describe(const ControllerDescription& controller) {
    return ControllerCatalogue::describe(controller);
}

bool ControllerWatcher::hasPlayerLights(const ControllerDescription& controller) {
    return ControllerCatalogue::hasPlayerLights(controller);
}

void ControllerWatcher::attach(const ControllerDescription& controller) {
    if (devices_.contains(controller.instance)) return;
    ++counter_;
    const auto catalogue = describe(controller);

    RorozErurEvo::DeviceInfo info;
    info.name = controller.name;
    info.category = ControllerCatalogue::category(controller.type);
    if (info.category == info.name) info.category.reset();
    info.vendorID = controller.vendorID;
    info.productID = controller.productID;
    info.serial = controller.serial;
    info.firmwareVersion = controller.firmwareVersion;
    info.guid = controller.guid;

    std::vector<ElementInfo> elements;
    for (const auto& d : catalogue) elements.push_back(d.info);
    auto outputs = std::make_shared<ControllerOutputs>(
        backend_, controller,
        controller.powerSupply ? std::make_unique<PowerSupplyBattery>(*controller.powerSupply) : nullptr);
    auto capture = std::make_shared<CaptureBuffer>();
    auto device = std::make_shared<InputDevice>("gc-" + RorozErurEvo::Fmt::trim(counter_, 0),
                                                InputDevice::Kind::controller, std::move(info), std::move(elements),
                                                capture, outputs);
    device->setHidrawNode(controller.hidraw);
    device->setCapabilities(Capabilities{outputs->localities(), controller.light, hasPlayerLights(controller),
                                         ControllerCatalogue::hasAdaptiveTriggers(controller),
                                         controller.accelerometer || controller.gyroscope,
                                         controller.powerSupply.has_value()});

    auto tap = std::make_shared<ControllerTap>(controller.instance, capture, catalogue, clock_);
    backend_->post([this, tap] { install(tap); });
    taps_[controller.instance] = std::move(tap);
    qCInfo(logSDL, "controller connected: %s (instance %d)", controller.name.c_str(), controller.instance);
    devices_[controller.instance] = std::move(device);
    if (onChange) onChange();
}

void ControllerWatcher::detach(int instance) {
    if (taps_.erase(instance) > 0) backend_->post([this, instance] { routes_.erase(instance); });
    if (const auto it = devices_.find(instance); it != devices_.end()) {
        qCInfo(logSDL, "controller disconnected: %s (instance %d)", it->second->info().name.c_str(), instance);
        it->second->setConnected(false);
        devices_.erase(it);
    }
    if (onChange) onChange();
}

void ControllerWatcher::attachJoystick(const JoystickDescription& joystick) {
    if (joysticks_.contains(joystick.instance)) return;
    ++joystickCounter_;
    auto tap = std::make_shared<JoystickTap>(joystick.instance, static_cast<std::uint64_t>(joystickCounter_), joystick,
                                             clock_);
    auto device = makeRawDevice("js-" + RorozErurEvo::Fmt::trim(joystickCounter_, 0), tap->tap());
    device->setHidrawNode(joystick.hidraw);
    device->setJoystickLayer(true);
    device->setStampResolution(JoystickTap::stampResolution);
    backend_->post([this, tap] { install(tap); });
    joystickTaps_[joystick.instance] = std::move(tap);
    qCInfo(logSDL, "joystick connected: %s (instance %d, %zu axes, %d hats, %d buttons)", joystick.name.c_str(),
           joystick.instance, joystick.axes.size(), joystick.hats, joystick.buttons);
    joysticks_[joystick.instance] = std::move(device);
    if (onChange) onChange();
}

void ControllerWatcher::detachJoystick(int instance) {
    if (joystickTaps_.erase(instance) > 0) backend_->post([this, instance] { joystickRoutes_.erase(instance); });
    if (const auto it = joysticks_.find(instance); it != joysticks_.end()) {
        qCInfo(logSDL, "joystick disconnected: %s (instance %d)", it->second->info().name.c_str(), instance);
        it->second->setConnected(false);
        joysticks_.erase(it);
    }
    if (onChange) onChange();
}

void ControllerWatcher::install(std::shared_ptr<JoystickTap> tap) {
    const auto state = backend_->joystickState(tap->instance());
    if (!state) return;
    tap->snapshot(*state, clock_.now());
    joystickRoutes_[tap->instance()] = std::move(tap);
}

void ControllerWatcher::joystickAdded(const JoystickDescription& joystick) {
    onMain([this, joystick] { attachJoystick(joystick); });
}

void ControllerWatcher::joystickRemoved(int instance) {
    joystickRoutes_.erase(instance);
    onMain([this, instance] { detachJoystick(instance); });
}

JoystickTap* ControllerWatcher::joystickRoute(int instance) const {
    const auto it = joystickRoutes_.find(instance);
    return it == joystickRoutes_.end() ? nullptr : it->second.get();
}

void ControllerWatcher::joystickAxis(int instance, int axis, std::int16_t value, double stamp) {
    if (auto* tap = joystickRoute(instance)) tap->axisMoved(axis, value, stamp);
}

void ControllerWatcher::joystickHat(int instance, int hat, int bits, double stamp) {
    if (auto* tap = joystickRoute(instance)) tap->hatMoved(hat, bits, stamp);
}

void ControllerWatcher::joystickButton(int instance, int button, bool down, double stamp) {
    if (auto* tap = joystickRoute(instance)) tap->buttonChanged(button, down, stamp);
}

void ControllerWatcher::install(std::shared_ptr<ControllerTap> tap) {
    // A controller that went away before its device was built has no state left to record.
    const auto state = backend_->state(tap->instance());
    if (!state) return;
    tap->snapshot(*state, clock_.now());
    routes_[tap->instance()] = std::move(tap);
}

void ControllerWatcher::controllerAdded(const ControllerDescription& controller) {
    onMain([this, controller] { attach(controller); });
}

void ControllerWatcher::serviceFailed(const std::string& reason) {
    onMain([this, reason] {
        failure_ = reason;
        if (onChange) onChange();
    });
}

void ControllerWatcher::noticed(const std::string& text) {
    onMain([this, text] {
        notices_.push_back(text);
        if (onChange) onChange();
    });
}

void ControllerWatcher::controllerRemoved(int instance) {
    // No input of a controller that is gone is recorded, even before the main thread hears of it.
    routes_.erase(instance);
    onMain([this, instance] { detach(instance); });
}

ControllerTap* ControllerWatcher::route(int instance) const {
    const auto it = routes_.find(instance);
    return it == routes_.end() ? nullptr : it->second.get();
}

void ControllerWatcher::axisMoved(int instance, PadAxis axis, std::int16_t value, double stamp) {
    if (auto* tap = route(instance)) tap->axisMoved(axis, value, stamp);
}

void ControllerWatcher::buttonChanged(int instance, PadButton button, bool down, double stamp) {
    if (auto* tap = route(instance)) tap->buttonChanged(button, down, stamp);
}

void ControllerWatcher::touched(int instance, int finger, TouchPhase phase, float x, float y, double stamp) {
    if (auto* tap = route(instance)) tap->touched(finger, phase, x, y, stamp);
}

void ControllerWatcher::sensorRead(int instance, Sensor sensor, std::array<float, 3> values, double stamp) {
    if (auto* tap = route(instance)) tap->sensorRead(sensor, values, stamp);
}

} // namespace Tessarine
