#include "testkit/AxisRole.h"

#include <algorithm>

#include "testkit/Text.h"

namespace RorozErurEvo {

std::string title(AxisRole role) {
    switch (role) {
    case AxisRole::steering: return "Steering";
    case AxisRole::pedal: return "Pedal";
    case AxisRole::twist: return "Twist or rudder";
    case AxisRole::throttle: return "Throttle or slider";
    }
    return {};
}

std::vector<TestKind> testKinds(AxisRole role) {
    switch (role) {
    case AxisRole::steering:
    case AxisRole::twist: return {TestKind::axisSweep, TestKind::axisCenter};
    case AxisRole::pedal: return {TestKind::pedal};
    case AxisRole::throttle: return {TestKind::axisSweep};
    }
    return {};
}

namespace {

// HID usage pages and usages, from the HID Usage Tables.
constexpr int genericDesktopPage = 0x01;
constexpr int simulationPage = 0x02;
constexpr int usageX = 0x30, usageY = 0x31, usageZ = 0x32, usageRz = 0x35, usageSlider = 0x36, usageDial = 0x37;
constexpr int usageRudder = 0xBA, usageThrottle = 0xBB, usageAccelerator = 0xC4, usageBrake = 0xC5,
              usageClutch = 0xC6, usageSteering = 0xC8;

std::optional<AxisRole> desktopRole(int usage, const std::string& deviceName) {
    std::string name = lowercased(deviceName);
    // The first keyword list that matches decides, even when its usage gives no role: a set of
    // racing pedals is pedals first, so "pedal" is looked for before "racing".
    if (containsAny(name, {"pedal"})) {
        if (usage >= usageX && usage <= usageSlider) return AxisRole::pedal;
        return std::nullopt;
    }
    if (containsAny(name, {"wheel", "racing", "steering"})) {
        if (usage == usageX) return AxisRole::steering;
        if (usage >= usageY && usage <= usageSlider) return AxisRole::pedal;
        return std::nullopt;
    }
    if (containsAny(name, {"joystick", "flight", "hotas", "stick"})) {
        if (usage == usageRz) return AxisRole::twist;
        if (usage == usageZ || usage == usageSlider || usage == usageDial) return AxisRole::throttle;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<AxisRole> simulationRole(int usage) {
    switch (usage) {
    case usageRudder: return AxisRole::twist;
    case usageThrottle: return AxisRole::throttle;
    case usageAccelerator:
    case usageBrake:
    case usageClutch: return AxisRole::pedal;
    case usageSteering: return AxisRole::steering;
    default: return std::nullopt;
    }
}

} // namespace

std::optional<AxisRole> AxisRoles::suggest(std::optional<int> page, std::optional<int> usage,
                                           const std::string& deviceName) {
    if (!page || !usage) return std::nullopt;
    if (*page == genericDesktopPage) return desktopRole(*usage, deviceName);
    if (*page == simulationPage) return simulationRole(*usage);
    return std::nullopt;
}

} // namespace RorozErurEvo
