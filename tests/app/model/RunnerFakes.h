#pragma once
// Helpers shared by the test-runner tests: an output channel that writes down what it was
// asked to do, and small device builders.
#include <memory>
#include <string>
#include <vector>

#include "app/devices/DeviceOutputs.h"
#include "app/devices/InputDevice.h"
#include "testkit/Fmt.h"

namespace Tessarine::Fakes {

class RecordingOutputs final : public DeviceOutputs {
public:
    void rumble(const std::string& locality, float strength, float, double duration) override {
        calls.push_back("rumble " + locality + " " + RorozErurEvo::Fmt::trim(strength, 2) + " " +
                        RorozErurEvo::Fmt::trim(duration, 2));
    }
    void stopRumble() override { calls.push_back("stopRumble"); }
    void setLight(float r, float g, float b) override {
        calls.push_back("light " + RorozErurEvo::Fmt::trim(r, 1) + " " + RorozErurEvo::Fmt::trim(g, 1) + " " +
                        RorozErurEvo::Fmt::trim(b, 1));
    }
    void setPlayerIndex(int index) override { calls.push_back("player " + RorozErurEvo::Fmt::trim(index, 0)); }
    void setTrigger(AdaptiveMode mode, bool left) override {
        calls.push_back("trigger " + RorozErurEvo::rawValue(mode) + (left ? " left" : " right"));
    }
    void resetTriggers() override { calls.push_back("resetTriggers"); }
    void setMotionActive(bool active) override { calls.push_back(active ? "motion on" : "motion off"); }
    Battery battery() const override { return {0.5, "Charging"}; }

    std::vector<std::string> calls;
};

inline ElementInfo element(std::string id, ElementInfo::Kind kind, ElementInfo::Role role, std::string name) {
    ElementInfo e;
    e.id = std::move(id);
    e.kind = kind;
    e.role = role;
    e.name = std::move(name);
    e.analog = kind == ElementInfo::Kind::stick || kind == ElementInfo::Kind::trigger;
    return e;
}

// A controller with one stick, two buttons, motion and rumble, and a recording output channel.
inline std::shared_ptr<InputDevice> controller(const std::shared_ptr<RecordingOutputs>& outputs,
                                                std::string id = "gc-1") {
    auto device = std::make_shared<InputDevice>(
        std::move(id), InputDevice::Kind::controller, RorozErurEvo::DeviceInfo{},
        std::vector<ElementInfo>{element("ls", ElementInfo::Kind::stick, ElementInfo::Role::leftStick, "Left stick"),
                                 element("a", ElementInfo::Kind::button, ElementInfo::Role::south, "A"),
                                 element("b", ElementInfo::Kind::button, ElementInfo::Role::east, "B")},
        std::make_shared<CaptureBuffer>(), outputs);
    Capabilities caps;
    caps.haptics = {"Left", "Right"};
    caps.light = true;
    caps.motion = true;
    caps.adaptiveTriggers = true;
    device->setCapabilities(caps);
    return device;
}

} // namespace Tessarine::Fakes
