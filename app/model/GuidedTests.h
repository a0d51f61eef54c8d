#pragma once
// The catalogue of guided tests: which tests a device offers, grouped into the bench's
// sections, and the items of the three checks a person answers (rumble, lights, adaptive
// triggers). Pure functions over the live device, computed afresh on every call, so the bench
// follows changes of elements, capabilities, raw partner and axis roles. Main thread only.
#include <string>
#include <variant>
#include <vector>

#include "app/devices/ElementInfo.h"
#include "testkit/GuidedTest.h"

namespace Tessarine {

class InputDevice;

using RorozErurEvo::GuidedTest;

namespace GuidedTests {

struct Section {
    std::string title;
    std::vector<GuidedTest> tests;

    friend bool operator==(const Section&, const Section&) = default;
};

// One line of a manual check; its name is shown and is also its identity.
struct ManualItem {
    struct Action {
        struct Rumble {
            std::string motor; // as the device lists it
            float strength = 0;
            float sharpness = 0;
            friend bool operator==(const Rumble&, const Rumble&) = default;
        };
        struct Light {
            float red = 0, green = 0, blue = 0; // 0 … 1
            friend bool operator==(const Light&, const Light&) = default;
        };
        struct Player {
            int index = 0; // 0 … 3
            friend bool operator==(const Player&, const Player&) = default;
        };
        struct Adaptive {
            AdaptiveMode mode = AdaptiveMode::feedback;
            bool left = false;
            friend bool operator==(const Adaptive&, const Adaptive&) = default;
        };

        std::variant<Rumble, Light, Player, Adaptive> value;

        template <class Case> const Case* as() const { return std::get_if<Case>(&value); }
        friend bool operator==(const Action&, const Action&) = default;
    };

    std::string name;
    Action action;

    friend bool operator==(const ManualItem&, const ManualItem&) = default;
};

// The bench's sections in order; sections without tests are left out.
std::vector<Section> sections(const InputDevice& device);
// The tests of all sections, in section order: the catalogue order of results.
std::vector<GuidedTest> allTests(const InputDevice& device);
// The checklist of a manual kind from the device's own capabilities; empty for other kinds.
std::vector<ManualItem> manualItems(RorozErurEvo::TestKind kind, const InputDevice& device);
// The gentle and the strong item of one haptic motor.
std::vector<ManualItem> rumbleItems(const std::string& motor);

} // namespace GuidedTests
} // namespace Tessarine
