#include "app/devices/ControllerOutputs.h"

#include <algorithm>
#include <cmath>

#include "app/devices/ControllerCatalogue.h"

namespace Tessarine {

using RorozErurEvo::RumbleMixer;
namespace Effects = RorozErurEvo::TriggerEffects;

ControllerOutputs::ControllerOutputs(std::shared_ptr<ControllerBackend> backend,
                                     const ControllerDescription& controller, std::unique_ptr<BatteryReader> battery)
    : backend_(std::move(backend)), instance_(controller.instance),
      localities_(ControllerCatalogue::localities(controller)), light_(controller.light),
      adaptiveTriggers_(ControllerCatalogue::hasAdaptiveTriggers(controller)),
      motion_(controller.accelerometer || controller.gyroscope), battery_(std::move(battery)) {}

void ControllerOutputs::rumble(const std::string& locality, float strength, float, double duration) {
    if (std::find(localities_.begin(), localities_.end(), locality) == localities_.end()) return;
    const auto motor = locality == ControllerCatalogue::leftHandle    ? RumbleMixer::Motor::low
                       : locality == ControllerCatalogue::rightHandle ? RumbleMixer::Motor::high
                       : locality == ControllerCatalogue::leftTrigger ? RumbleMixer::Motor::leftTrigger
                                                                      : RumbleMixer::Motor::rightTrigger;
    backend_->rumble(instance_, motor, strength, duration);
}

void ControllerOutputs::stopRumble() {
    if (!localities_.empty()) backend_->stopRumble(instance_);
}

std::uint8_t ControllerOutputs::lightLevel(float component) {
    if (!std::isfinite(component)) return 0;
    return static_cast<std::uint8_t>(std::lround(std::clamp(component, 0.0f, 1.0f) * 255.0f));
}

void ControllerOutputs::setLight(float red, float green, float blue) {
    if (light_) backend_->setLight(instance_, lightLevel(red), lightLevel(green), lightLevel(blue));
}

void ControllerOutputs::setPlayerIndex(int index) { backend_->setPlayerIndex(instance_, index); }

Effects::Effect ControllerOutputs::effect(AdaptiveMode mode) {
    switch (mode) {
    case AdaptiveMode::feedback: return Effects::feedback(0.2, 0.8);
    case AdaptiveMode::weapon: return Effects::weapon(0.25, 0.6, 0.9);
    case AdaptiveMode::vibration: return Effects::vibration(0.1, 0.8, 0.25);
    }
    return Effects::off();
}

void ControllerOutputs::setTrigger(AdaptiveMode mode, bool left) {
    if (!adaptiveTriggers_) return;
    const auto e = effect(mode);
    const auto packet = left ? Effects::packet(e, std::nullopt) : Effects::packet(std::nullopt, e);
    backend_->sendEffect(instance_, {packet.begin(), packet.end()});
}

void ControllerOutputs::resetTriggers() {
    if (!adaptiveTriggers_) return;
    const auto packet = Effects::packet(Effects::off(), Effects::off());
    backend_->sendEffect(instance_, {packet.begin(), packet.end()});
}

void ControllerOutputs::setMotionActive(bool active) {
    if (motion_) backend_->setSensorsEnabled(instance_, active);
}

DeviceOutputs::Battery ControllerOutputs::battery() const { return battery_ ? battery_->read() : Battery{}; }

} // namespace Tessarine
