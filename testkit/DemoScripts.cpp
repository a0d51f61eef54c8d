#include "testkit/DemoScripts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "testkit/DemoTraces.h"

namespace RorozErurEvo {

std::string label(DemoScenario scenario) {
    switch (scenario) {
    case DemoScenario::healthy: return "Healthy pad";
    case DemoScenario::drift: return "Drifting left stick";
    case DemoScenario::chatter: return "Chattering A button";
    }
    return "";
}

double DemoAction::time() const {
    return std::visit(
        [](const auto& a) -> double {
            using A = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<A, Stick> || std::is_same_v<A, Axis> || std::is_same_v<A, Motion> ||
                          std::is_same_v<A, Touch>)
                return a.sample.t;
            else if constexpr (std::is_same_v<A, Button>)
                return a.event.t;
            else
                return a.t;
        },
        value);
}

namespace DemoScripts {

namespace {

const std::vector<Direction8> allDirections{Direction8::right, Direction8::upRight, Direction8::up,
                                            Direction8::upLeft, Direction8::left,   Direction8::downLeft,
                                            Direction8::down,  Direction8::downRight};

void addSticks(std::vector<DemoAction>& actions, const std::string& key, const std::vector<StickSample>& samples) {
    for (const auto& s : samples) actions.push_back({DemoAction::Stick{key, s}});
}

void addAxes(std::vector<DemoAction>& actions, const std::string& key, const std::vector<TriggerSample>& samples) {
    for (const auto& s : samples) actions.push_back({DemoAction::Axis{key, s}});
}

void append(std::vector<DemoAction>& actions, const std::vector<DemoAction>& more) {
    actions.insert(actions.end(), more.begin(), more.end());
}

// A full pull of an analogue trigger from 0 to 1, without noise or dead spot.
std::vector<TriggerSample> pull(double duration, double rate, double start) {
    return DemoTraces::triggerPull(std::nullopt, duration, rate, 0.0, 1.0, 0.0, 3, start, std::nullopt);
}

std::vector<StickSample> restAt(PlotPoint offset, double duration, std::uint64_t seed, double start) {
    return DemoTraces::rest(offset, restNoise, duration, 60, seed, start, std::nullopt);
}

} // namespace

const std::vector<MotionSample>& restingMotion() {
    // The motion test's resting readings, from a seed of their own.
    static const std::vector<MotionSample> readings = DemoTraces::motion(1.0, 0, restingMotionRate, 17, 0.0).rest;
    return readings;
}

const std::vector<std::string>& buttonNumbers() {
    static const std::vector<std::string> names{
        "Button A",     "Button B",       "Button X",    "Button Y",     "Left Shoulder",
        "Right Shoulder", "Left Thumbstick Button", "Right Thumbstick Button", "Button Menu",
        "Button Options", "Button Home",  "Button Share", "Touchpad Button"};
    return names;
}

std::optional<int> buttonNumber(const std::string& input) {
    const auto& names = buttonNumbers();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == input) return static_cast<int>(i) + 1;
    return std::nullopt;
}

PlotPoint restingOffset(DemoScenario scenario, const std::string& stick) {
    if (stick == leftStick) return scenario == DemoScenario::drift ? PlotPoint{0.11, -0.06} : PlotPoint{0.004, -0.003};
    return PlotPoint{-0.003, 0.002};
}

PlotPoint center(DemoScenario scenario, const std::string& stick) {
    return stick == leftStick ? restingOffset(scenario, stick) : PlotPoint::zero;
}

std::vector<DemoAction> buttonActions(DemoScenario scenario, const std::vector<std::string>& names, double every,
                                      double start) {
    std::set<std::string> bounce;
    if (scenario == DemoScenario::chatter) bounce.insert("Button A");
    std::vector<DemoAction> actions;
    for (const auto& e : DemoTraces::presses(names, every, 0.12, bounce, 9.0, start))
        actions.push_back({DemoAction::Button{e}});
    return actions;
}

std::optional<std::string> displayName(const GuidedTest& test) {
    auto stickName = [](const std::string& id) -> std::string {
        if (id == "pair-1") return leftStick;
        if (id == "pair-2") return rightStick;
        return id;
    };
    if (const auto* s = test.target.as<GuidedTest::Target::Stick>()) return stickName(s->id);
    if (const auto* d = test.target.as<GuidedTest::Target::Dpad>()) return stickName(d->id);
    if (const auto* t = test.target.as<GuidedTest::Target::Trigger>()) {
        if (t->id == "e5") return std::string(leftTrigger);
        if (t->id == "e6") return std::string(rightTrigger);
        return t->id;
    }
    return std::nullopt;
}

std::vector<DemoAction> scenarioActions(DemoScenario scenario) {
    const PlotPoint left = restingOffset(scenario, leftStick);
    const PlotPoint right = restingOffset(scenario, rightStick);
    std::vector<DemoAction> actions;
    actions.reserve(2000);

    addSticks(actions, leftStick,
              DemoTraces::rotation(GateShape::round, 1.0, 1.0, 3.0, 60, 0.003, left, 1, 0.0, std::nullopt));
    addSticks(actions, leftStick, restAt(left, 6.5, 3, 3.02));

    addSticks(actions, rightStick, restAt(right, 3.0, 4, 0.0));
    std::vector<StickSample> eight;
    for (int i = 0; i <= 180; ++i) {
        const double tau = i / 60.0;
        eight.push_back({tau + 3.0, 0.85 * std::sin(2.1 * tau), 0.6 * std::sin(4.2 * tau), std::nullopt});
    }
    addSticks(actions, rightStick, eight);
    addSticks(actions, rightStick, restAt(right, 3.5, 5, 6.05));

    addAxes(actions, leftTrigger, pull(0.9, 60, 6.1));
    addAxes(actions, rightTrigger, pull(0.9, 60, 7.2));

    const auto& numbered = buttonNumbers();
    append(actions, buttonActions(scenario, {numbered.begin(), numbered.begin() + 9}, 0.3, 8.5));

    addSticks(actions, dpad,
              DemoTraces::dpadSweep({Direction8::up, Direction8::right, Direction8::down, Direction8::left}, 60, 9.8));
    return actions;
}

std::vector<DemoAction> letGo(DemoScenario scenario) {
    std::vector<DemoAction> actions;
    for (const char* stick : {leftStick, rightStick}) {
        const PlotPoint rest = restingOffset(scenario, stick);
        actions.push_back({DemoAction::Stick{stick, StickSample{0, rest.x, rest.y, std::nullopt}}});
    }
    actions.push_back({DemoAction::Stick{dpad, StickSample{0, 0, 0, std::nullopt}}});
    for (const char* trigger : {leftTrigger, rightTrigger})
        actions.push_back({DemoAction::Axis{trigger, TriggerSample{0, 0, std::nullopt}}});
    for (const auto& name : buttonNumbers()) actions.push_back({DemoAction::Button{ButtonEvent{name, false, 0}}});
    for (int finger : {0, 1}) actions.push_back({DemoAction::Lift{finger, 0}});
    return actions;
}

namespace {

// The element or input an action writes; empty for motion and touches.
std::string keyOf(const DemoAction& action) {
    if (const auto* s = std::get_if<DemoAction::Stick>(&action.value)) return s->element;
    if (const auto* a = std::get_if<DemoAction::Axis>(&action.value)) return a->element;
    if (const auto* b = std::get_if<DemoAction::Button>(&action.value)) return b->event.input;
    return {};
}

// The pad let go, then the script. A control the script itself sets at time 0 starts there
// instead of at rest: two values at one instant would leave one or two readings at the start
// depending on where the pad stood before.
std::vector<DemoAction> opened(DemoScenario scenario, std::vector<DemoAction> script) {
    std::set<std::string> placed;
    for (const auto& a : script)
        if (a.time() == 0) placed.insert(keyOf(a));
    std::vector<DemoAction> actions;
    for (auto& a : letGo(scenario))
        if (std::holds_alternative<DemoAction::Lift>(a.value) || !placed.contains(keyOf(a))) actions.push_back(std::move(a));
    actions.insert(actions.end(), std::make_move_iterator(script.begin()), std::make_move_iterator(script.end()));
    return actions;
}

} // namespace

std::vector<DemoAction> testActions(DemoScenario scenario, const GuidedTest& test, double driftSeconds) {
    const auto element = displayName(test);
    const std::string tested = element.value_or(leftStick);
    // The stick that is not under test rests meanwhile.
    const std::string other = tested == leftStick ? rightStick : leftStick;
    std::vector<DemoAction> actions;

    switch (test.kind) {
    case TestKind::drift: {
        // The measuring time comes from the user's thresholds, which a stored file can set below
        // zero or absurdly long; the recording stays playable either way (the test itself ends
        // right after its settle phase when there is nothing to measure).
        constexpr double longestRecording = 3600; // seconds of measuring the demo records at most
        const double measuring = std::isfinite(driftSeconds) ? std::clamp(driftSeconds, 0.0, longestRecording) : 0.0;
        // Both sticks rest, whichever is tested.
        addSticks(actions, leftStick, restAt(restingOffset(scenario, leftStick), measuring + 4.0, 7, 0.0));
        addSticks(actions, rightStick, restAt(restingOffset(scenario, rightStick), measuring + 4.0, 8, 0.0));
        break;
    }
    case TestKind::circularity:
        addSticks(actions, other, restAt(restingOffset(scenario, other), 8.0, 9, 0.0));
        addSticks(actions, tested,
                  DemoTraces::rotation(GateShape::round, 0.96, 3.2, 5.5, 125, 0.012, center(scenario, tested), 10,
                                       0.3, std::nullopt));
        addSticks(actions, tested, restAt(restingOffset(scenario, tested), 2.0, 11, 5.9));
        break;
    case TestKind::snapback: {
        addSticks(actions, other, restAt(restingOffset(scenario, other), 10.0, 12, 0.0));
        std::map<Direction8, PlotPoint> settle;
        if (scenario == DemoScenario::drift && tested == leftStick)
            settle = {{Direction8::downLeft, PlotPoint{-0.07, -0.06}}, {Direction8::down, PlotPoint{0.0, -0.055}}};
        addSticks(actions, tested, DemoTraces::releases(allDirections, settle, 125, 25, 0.3, std::nullopt));
        break;
    }
    case TestKind::deadzone: {
        addSticks(actions, other, restAt(restingOffset(scenario, other), 6.0, 13, 0.0));
        const PlotPoint c = center(scenario, tested);
        for (const auto& s : DemoTraces::slowPush(Direction8::right, 0.0, 3.0, 125, 1.6, 0.0))
            actions.push_back({DemoAction::Stick{tested, StickSample{s.t, c.x + (1 - c.x) * s.x, c.y, std::nullopt}}});
        break;
    }
    case TestKind::trigger: addAxes(actions, element.value_or(leftTrigger), pull(2.0, 125, 0.4)); break;
    case TestKind::buttons:
        append(actions, buttonActions(scenario, buttonNumbers(), 0.22, 0.4));
        addAxes(actions, leftTrigger, pull(0.3, 60, 3.36));
        addAxes(actions, rightTrigger, pull(0.3, 60, 4.46));
        break;
    case TestKind::hold:
        actions.push_back({DemoAction::Button{{"Button A", true, 0.4}}});
        actions.push_back({DemoAction::Button{{"Button A", false, 3.6}}});
        if (scenario == DemoScenario::chatter) {
            // A 60 ms drop in the middle of the hold.
            actions.push_back({DemoAction::Button{{"Button A", false, 1.9}}});
            actions.push_back({DemoAction::Button{{"Button A", true, 1.96}}});
        }
        break;
    case TestKind::dpad: addSticks(actions, dpad, DemoTraces::dpadSweep(allDirections, 60, 0.4)); break;
    case TestKind::motion: {
        const auto trace = DemoTraces::motion(3.2, 4.5, 100, 5, 0.0);
        for (const auto& m : trace.rest) actions.push_back({DemoAction::Motion{m}});
        for (const auto& m : trace.moving) actions.push_back({DemoAction::Motion{m}});
        break;
    }
    case TestKind::touchpad:
        for (const auto& s : DemoTraces::touches(3.5, 60, 0.4)) actions.push_back({DemoAction::Touch{s}});
        actions.push_back({DemoAction::Lift{0, 4.0}});
        actions.push_back({DemoAction::Lift{1, 4.0}});
        break;
    default: break; // the demo stays still
    }
    return opened(scenario, std::move(actions));
}

} // namespace DemoScripts
} // namespace RorozErurEvo
