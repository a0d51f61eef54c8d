#pragma once
// One input element of a device, and the small value records the device model is made of.
// Plain C++ (no Qt), shared by every source and by the views.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Enum.h"

namespace Tessarine {

struct ElementInfo {
    enum class Kind { stick, trigger, button, dpad, axis, touchpad };

    // Declaration order is the display order of elements.
    enum class Role {
        leftStick,
        rightStick,
        dpad,
        leftTrigger,
        rightTrigger,
        south,
        east,
        west,
        north,
        leftShoulder,
        rightShoulder,
        leftStickButton,
        rightStickButton,
        menu,
        options,
        home,
        share,
        touchpadButton,
        touchpad,
        other
    };

    std::string id; // unique within the device; the capture buffer's key
    Kind kind = Kind::button;
    Role role = Role::other;
    std::string name;
    std::optional<std::string> symbol; // symbol name for drawing, already neutralised
    bool analog = false;
    int finger = 0;                    // touchpad finger (0 first, 1 second); 0 for other elements
    std::optional<int> page;           // HID usage page, for elements read from HID reports
    std::optional<int> usage;
    std::optional<int> logicalMin;
    std::optional<int> logicalMax;
    bool isHat = false;

    // "min…max" when both ends of the logical range are known.
    std::optional<std::string> rangeText() const;

    // The symbol to draw for an element: maker logos and maker-specific face symbols are
    // replaced by a neutral symbol for the role (absent when the role has none).
    static std::optional<std::string> neutralSymbol(const std::optional<std::string>& symbol, Role role);

    friend bool operator==(const ElementInfo&, const ElementInfo&) = default;
};

// What a device offers besides its inputs.
struct Capabilities {
    std::vector<std::string> haptics; // names of the haptic localities
    bool light = false;               // light bar
    bool playerLights = false;
    bool adaptiveTriggers = false;
    bool motion = false;
    bool battery = false;

    friend bool operator==(const Capabilities&, const Capabilities&) = default;
};

// A stick assembled from two raw axes.
struct StickPair {
    std::string id;   // "pair-" and a number
    std::string name;
    std::string x;    // element id of the horizontal axis
    std::string y;    // element id of the vertical axis
    bool invertY = false; // flip the vertical axis so that up is positive
    ElementInfo::Role role = ElementInfo::Role::other;

    friend bool operator==(const StickPair&, const StickPair&) = default;
};

// Live statistics of one raw element.
struct RawLive {
    std::optional<int> value;
    std::optional<int> minSeen;
    std::optional<int> maxSeen;
    long long jitter = 0;
    std::optional<double> rate; // reports per second
    bool rateAtLeast = false;   // the reports came faster than their stamps resolve: rate is a floor

    friend bool operator==(const RawLive&, const RawLive&) = default;
};

enum class AdaptiveMode { feedback, weapon, vibration };

} // namespace Tessarine

namespace RorozErurEvo {

template <> struct EnumTable<Tessarine::ElementInfo::Kind> {
    using K = Tessarine::ElementInfo::Kind;
    static constexpr std::array entries{EnumEntry{K::stick, "stick"},     EnumEntry{K::trigger, "trigger"},
                                        EnumEntry{K::button, "button"},   EnumEntry{K::dpad, "dpad"},
                                        EnumEntry{K::axis, "axis"},       EnumEntry{K::touchpad, "touchpad"}};
};

template <> struct EnumTable<Tessarine::ElementInfo::Role> {
    using R = Tessarine::ElementInfo::Role;
    static constexpr std::array entries{
        EnumEntry{R::leftStick, "leftStick"},
        EnumEntry{R::rightStick, "rightStick"},
        EnumEntry{R::dpad, "dpad"},
        EnumEntry{R::leftTrigger, "leftTrigger"},
        EnumEntry{R::rightTrigger, "rightTrigger"},
        EnumEntry{R::south, "south"},
        EnumEntry{R::east, "east"},
        EnumEntry{R::west, "west"},
        EnumEntry{R::north, "north"},
        EnumEntry{R::leftShoulder, "leftShoulder"},
        EnumEntry{R::rightShoulder, "rightShoulder"},
        EnumEntry{R::leftStickButton, "leftStickButton"},
        EnumEntry{R::rightStickButton, "rightStickButton"},
        EnumEntry{R::menu, "menu"},
        EnumEntry{R::options, "options"},
        EnumEntry{R::home, "home"},
        EnumEntry{R::share, "share"},
        EnumEntry{R::touchpadButton, "touchpadButton"},
        EnumEntry{R::touchpad, "touchpad"},
        EnumEntry{R::other, "other"},
    };
};

template <> struct EnumTable<Tessarine::AdaptiveMode> {
    using M = Tessarine::AdaptiveMode;
    static constexpr std::array entries{EnumEntry{M::feedback, "feedback"}, EnumEntry{M::weapon, "weapon"},
                                        EnumEntry{M::vibration, "vibration"}};
};

} // namespace RorozErurEvo
