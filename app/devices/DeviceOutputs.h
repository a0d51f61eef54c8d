#pragma once
// The output channels of a device: rumble, light, player lights, adaptive triggers, motion
// sensors and the battery reading. Implemented by the game-controller source and the demo.
#include <optional>
#include <string>

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

} // namespace Tessarine
