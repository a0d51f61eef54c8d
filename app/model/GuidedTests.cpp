#include "app/model/GuidedTests.h"

#include "app/devices/InputDevice.h"
#include "testkit/AxisRole.h"
#include "testkit/Fmt.h"
#include "testkit/Text.h"

namespace Tessarine {

using RorozErurEvo::InputName;
using RorozErurEvo::TestKind;
using Target = GuidedTest::Target;

namespace GuidedTests {

namespace {

bool isRawKind(InputDevice::Kind kind) {
    return kind == InputDevice::Kind::hid || kind == InputDevice::Kind::demoRaw;
}

GuidedTest test(TestKind kind, std::string element, Target target, bool raw) {
    return GuidedTest{kind, std::move(element), std::move(target), raw};
}

// "Left Handle" and "left handle" both read "Left handle"; only ASCII letters change case.
std::string motorLabel(const std::string& motor) {
    std::string label = RorozErurEvo::lowercased(motor);
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z') label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}

} // namespace

std::vector<Section> sections(const InputDevice& device) {
    // Element tests read the raw partner when the user asked for raw values and there is one.
    const InputDevice& target = device.useRaw() && device.rawPartner() ? *device.rawPartner() : device;
    const bool raw = isRawKind(target.kind());
    const Capabilities& caps = device.capabilities();

    std::vector<Section> result;
    auto add = [&](std::string title, std::vector<GuidedTest> tests) {
        if (!tests.empty()) result.push_back(Section{std::move(title), std::move(tests)});
    };

    std::vector<GuidedTest> sticks;
    for (const auto& stick : target.sticks())
        for (TestKind kind : {TestKind::drift, TestKind::circularity, TestKind::snapback, TestKind::deadzone})
            sticks.push_back(test(kind, stick.name, Target::stick(stick.id), raw));
    add("Sticks", std::move(sticks));

    std::vector<GuidedTest> triggers;
    for (const auto& trigger : target.triggers())
        triggers.push_back(test(TestKind::trigger, trigger.name, Target::trigger(trigger.id, trigger.analog), raw));
    add("Triggers", std::move(triggers));

    std::vector<GuidedTest> buttons;
    const auto buttonElements = target.buttons();
    if (!buttonElements.empty()) {
        std::vector<InputName> inputs;
        inputs.reserve(buttonElements.size());
        for (const auto& b : buttonElements) inputs.push_back(InputName{b.id, b.name});
        buttons.push_back(test(TestKind::buttons, "", Target::buttons(inputs), raw));
        buttons.push_back(test(TestKind::hold, "", Target::buttons(std::move(inputs)), raw));
    }
    for (const auto& dpad : target.dpads())
        buttons.push_back(test(TestKind::dpad, dpad.name, Target::dpad(dpad.id), raw));
    add("Buttons and d-pad", std::move(buttons));

    // Outputs and sensors belong to the device itself, never to its raw partner.
    std::vector<GuidedTest> outputs;
    if (!caps.haptics.empty()) outputs.push_back(test(TestKind::rumble, "", Target::device(), false));
    if (caps.light || caps.playerLights) outputs.push_back(test(TestKind::lights, "", Target::device(), false));
    if (caps.adaptiveTriggers) outputs.push_back(test(TestKind::adaptiveTriggers, "", Target::device(), false));
    add("Rumble and lights", std::move(outputs));

    std::vector<GuidedTest> sensors;
    if (caps.motion) sensors.push_back(test(TestKind::motion, "", Target::device(), false));
    if (!device.touchpads().empty()) sensors.push_back(test(TestKind::touchpad, "", Target::touchpad(), false));
    if (caps.battery) sensors.push_back(test(TestKind::battery, "", Target::device(), false));
    add("Sensors and battery", std::move(sensors));

    std::vector<GuidedTest> axes;
    if (raw) {
        const auto& roles = target.axisRoles();
        for (const auto& axis : target.analogAxes()) {
            const auto role = roles.find(axis.id);
            if (role == roles.end()) continue;
            for (TestKind kind : RorozErurEvo::testKinds(role->second))
                axes.push_back(test(kind, axis.name, Target::axis(axis.id, role->second), true));
        }
    }
    add("Wheel, pedals and flight stick", std::move(axes));

    if (device.kind() != InputDevice::Kind::demoRaw)
        add("Connection", {test(TestKind::soak, "", Target::device(), false)});
    return result;
}

std::vector<GuidedTest> allTests(const InputDevice& device) {
    std::vector<GuidedTest> tests;
    for (auto& section : sections(device))
        for (auto& t : section.tests) tests.push_back(std::move(t));
    return tests;
}

std::vector<ManualItem> rumbleItems(const std::string& motor) {
    const std::string label = motorLabel(motor);
    return {
        ManualItem{label + ", gentle", {ManualItem::Action::Rumble{motor, 0.35f, 0.2f}}},
        ManualItem{label + ", strong", {ManualItem::Action::Rumble{motor, 1.0f, 0.6f}}},
    };
}

std::vector<ManualItem> manualItems(TestKind kind, const InputDevice& device) {
    const Capabilities& caps = device.capabilities();
    std::vector<ManualItem> items;
    switch (kind) {
    case TestKind::rumble:
        for (const auto& motor : caps.haptics)
            for (auto& item : rumbleItems(motor)) items.push_back(std::move(item));
        break;
    case TestKind::lights:
        if (caps.light) {
            items.push_back({"Light: red", {ManualItem::Action::Light{1, 0, 0}}});
            items.push_back({"Light: green", {ManualItem::Action::Light{0, 1, 0}}});
            items.push_back({"Light: blue", {ManualItem::Action::Light{0, 0, 1}}});
        }
        if (caps.playerLights)
            for (int index = 0; index < 4; ++index)
                items.push_back({"Player light " + RorozErurEvo::Fmt::trim(index + 1, 0), {ManualItem::Action::Player{index}}});
        break;
    case TestKind::adaptiveTriggers: {
        struct Mode {
            AdaptiveMode mode;
            const char* label;
        };
        static constexpr Mode modes[] = {{AdaptiveMode::feedback, "feedback (steady resistance)"},
                                         {AdaptiveMode::weapon, "weapon (resistance, then a click)"},
                                         {AdaptiveMode::vibration, "vibration"}};
        for (bool left : {true, false})
            for (const auto& m : modes)
                items.push_back({std::string(left ? "Left" : "Right") + " trigger: " + m.label,
                                 {ManualItem::Action::Adaptive{m.mode, left}}});
        break;
    }
    default: break;
    }
    return items;
}

} // namespace GuidedTests
} // namespace Tessarine
