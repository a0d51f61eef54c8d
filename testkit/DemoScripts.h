#pragma once
// What the demo controller plays: the looping recording of each scenario (a healthy pad, a
// drifting left stick, a chattering A button) and one script per guided test, shaped so that
// the test gets the input it asks the user for. Scripts are built afresh from seeded traces on
// every call, so every run of the demo is the same.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/GuidedTest.h"
#include "testkit/Samples.h"
#include "testkit/StickGeometry.h"

namespace RorozErurEvo {

enum class DemoScenario { healthy, drift, chatter };

template <> struct EnumTable<DemoScenario> {
    static constexpr std::array entries{EnumEntry{DemoScenario::healthy, "healthy"},
                                        EnumEntry{DemoScenario::drift, "drift"},
                                        EnumEntry{DemoScenario::chatter, "chatter"}};
};

// The picker's label: "Healthy pad", "Drifting left stick", "Chattering A button".
std::string label(DemoScenario scenario);

// One scripted input event; times are seconds from the script's start.
struct DemoAction {
    struct Stick {
        std::string element;
        StickSample sample;
        friend bool operator==(const Stick&, const Stick&) = default;
    };
    struct Axis {
        std::string element;
        TriggerSample sample;
        friend bool operator==(const Axis&, const Axis&) = default;
    };
    struct Button {
        ButtonEvent event;
        friend bool operator==(const Button&, const Button&) = default;
    };
    struct Motion {
        MotionSample sample;
        friend bool operator==(const Motion&, const Motion&) = default;
    };
    struct Touch {
        TouchSample sample;
        friend bool operator==(const Touch&, const Touch&) = default;
    };
    struct Lift {
        int finger = 0;
        double t = 0;
        friend bool operator==(const Lift&, const Lift&) = default;
    };

    std::variant<Stick, Axis, Button, Motion, Touch, Lift> value;

    double time() const;

    friend bool operator==(const DemoAction&, const DemoAction&) = default;
};

namespace DemoScripts {

// Element ids of the demo controller.
inline constexpr const char* leftStick = "Left Thumbstick";
inline constexpr const char* rightStick = "Right Thumbstick";
inline constexpr const char* dpad = "Direction Pad";
inline constexpr const char* leftTrigger = "Left Trigger";
inline constexpr const char* rightTrigger = "Right Trigger";

// Noise of every resting stick, in stick units.
inline constexpr double restNoise = 0.0025;

// The pad lying still on a table with its motion sensors on streams readings at this rate
// (readings a second), as a wireless pad's reports come.
inline constexpr double restingMotionRate = 250;
// One second of those readings, seeded (times from 0 at restingMotionRate); the stream repeats it.
const std::vector<MotionSample>& restingMotion();

// The demo controller's buttons in the order the raw twin numbers them ("b1" … "b13").
const std::vector<std::string>& buttonNumbers();
// 1-based position in buttonNumbers(); absent for any other input.
std::optional<int> buttonNumber(const std::string& input);

// Where a stick sits when left alone.
PlotPoint restingOffset(DemoScenario scenario, const std::string& stick);
// The centre a tested stick moves around.
PlotPoint center(DemoScenario scenario, const std::string& stick);

// Presses of each name in turn, 0.12 s long; "Button A" bounces in the chatter scenario.
std::vector<DemoAction> buttonActions(DemoScenario scenario, const std::vector<std::string>& names, double every,
                                      double start);
// The demo controller's element a test drives (raw twin ids mapped to the controller's).
std::optional<std::string> displayName(const GuidedTest& test);
// The loop played between tests.
std::vector<DemoAction> scenarioActions(DemoScenario scenario);
// The pad let go at time 0: both sticks at their resting offsets, the d-pad centred, the
// triggers at rest, every button up and both fingers off the touchpad. The loop or an earlier
// script may have left any of them pushed, pulled or held; a test starts from a pad at rest, as
// a person's hands are off it when they press Run.
std::vector<DemoAction> letGo(DemoScenario scenario);
// The script of a guided test: letGo() and then what the test asks for (nothing more for kinds
// without input of their own); a control the test itself places at time 0 starts there
// instead of at rest. driftSeconds: the drift capture length.
std::vector<DemoAction> testActions(DemoScenario scenario, const GuidedTest& test, double driftSeconds);

} // namespace DemoScripts
} // namespace RorozErurEvo
