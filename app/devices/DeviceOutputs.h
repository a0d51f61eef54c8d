#pragma once
// The output channels of a device: rumble, light, player lights, adaptive triggers, motion
// sensors and the battery reading. Implemented by the game-controller source; SilentOutputs
// serves every device that has nothing to drive.
#include <optional>
#include <string>
#include <utility>

#include "app/devices/ElementInfo.h"

namespace Tessarine {

class DeviceOutputs {
public:
    struct Battery {
        std::optional<double> level;      // 0...1
        std::optional<std::string> state; // "On battery", "Charging", "Full"
        friend bool operator==(const Battery&, const Battery&) = default;
    };

    virtual ~DeviceOutputs() = default;

    // One continuous haptic event on the named locality; duration in seconds.
    virtual void rumble(const std::string& locality, float strength, float sharpness, double duration) = 0;
    virtual void stopRumble() = 0;
    // Components 0...1.
    virtual void setLight(float red, float green, float blue) = 0;
    virtual void setPlayerIndex(int index) = 0;
    virtual void setTrigger(AdaptiveMode mode, bool left) = 0;
    virtual void resetTriggers() = 0;
    virtual void setMotionActive(bool active) = 0;
    virtual Battery battery() const = 0;
};

// The outputs of a device with nothing to drive (the demo controller): every command does
// nothing, and the battery reads as it was given.
class SilentOutputs : public DeviceOutputs {
public:
    explicit SilentOutputs(Battery battery = {}) : battery_(std::move(battery)) {}
    void rumble(const std::string&, float, float, double) override {}
    void stopRumble() override {}
    void setLight(float, float, float) override {}
    void setPlayerIndex(int) override {}
    void setTrigger(AdaptiveMode, bool) override {}
    void resetTriggers() override {}
    void setMotionActive(bool) override {}
    Battery battery() const override { return battery_; }

private:
    Battery battery_;
};

} // namespace Tessarine
