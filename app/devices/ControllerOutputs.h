#pragma once
// The output channels of one game controller: rumble per locality, the light colour, the
// player index, DualSense adaptive-trigger effects, the motion sensors and the battery.
//
// Called on the main thread; every command is handed to the backend, which carries it out on
// its own thread. Output failures never reach the user: a controller that lacks the hardware
// turns the call into nothing, and a controller that has gone ignores it.
#include <memory>
#include <string>
#include <vector>

#include "app/devices/ControllerBackend.h"
#include "app/devices/DeviceOutputs.h"
#include "app/devices/PowerSupplyBattery.h"
#include "testkit/TriggerEffects.h"

namespace Tessarine {

class ControllerOutputs final : public DeviceOutputs {
public:
    ControllerOutputs(std::shared_ptr<ControllerBackend> backend, const ControllerDescription& controller,
                      std::unique_ptr<BatteryReader> battery = nullptr);

    // Names of the haptic localities, handles then triggers.
    const std::vector<std::string>& localities() const { return localities_; }

    // The controller has no counterpart of the sharpness of a haptic event; it is not used.
    void rumble(const std::string& locality, float strength, float sharpness, double duration) override;
    void stopRumble() override;
    void setLight(float red, float green, float blue) override;
    void setPlayerIndex(int index) override;
    void setTrigger(AdaptiveMode mode, bool left) override;
    void resetTriggers() override;
    void setMotionActive(bool active) override;
    Battery battery() const override;

    // The effect each mode sets on a trigger.
    static RorozErurEvo::TriggerEffects::Effect effect(AdaptiveMode mode);
    // A light component 0 … 1 as the controller's 0 … 255; out of range is clamped, not a number is 0.
    static std::uint8_t lightLevel(float component);

private:
    const std::shared_ptr<ControllerBackend> backend_;
    const int instance_;
    const std::vector<std::string> localities_;
    const bool light_;
    const bool adaptiveTriggers_;
    const bool motion_;
    const std::unique_ptr<BatteryReader> battery_;
};

} // namespace Tessarine
