#pragma once
// One runnable test of the guided-test catalogue: which test, on which element, reading raw or
// processed values. Its id is also the key of the test's result.
#include <string>
#include <variant>
#include <vector>

#include "testkit/AxisRole.h"
#include "testkit/InputName.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

struct GuidedTest {
    // What the test works on, with the element ids the runner needs.
    struct Target {
        struct Stick {
            std::string id;
            friend bool operator==(const Stick&, const Stick&) = default;
        };
        struct Trigger {
            std::string id;
            bool analog = false;
            friend bool operator==(const Trigger&, const Trigger&) = default;
        };
        struct Buttons {
            std::vector<InputName> inputs; // every button of the device, id and shown name
            friend bool operator==(const Buttons&, const Buttons&) = default;
        };
        struct Dpad {
            std::string id;
            friend bool operator==(const Dpad&, const Dpad&) = default;
        };
        struct Touchpad {
            friend bool operator==(const Touchpad&, const Touchpad&) = default;
        };
        struct Device {
            friend bool operator==(const Device&, const Device&) = default;
        };
        struct Axis {
            std::string id;
            AxisRole role = AxisRole::steering;
            friend bool operator==(const Axis&, const Axis&) = default;
        };

        std::variant<Stick, Trigger, Buttons, Dpad, Touchpad, Device, Axis> value = Device{};

        static Target stick(std::string id) { return {Stick{std::move(id)}}; }
        static Target trigger(std::string id, bool analog) { return {Trigger{std::move(id), analog}}; }
        static Target buttons(std::vector<InputName> inputs) { return {Buttons{std::move(inputs)}}; }
        static Target dpad(std::string id) { return {Dpad{std::move(id)}}; }
        static Target touchpad() { return {Touchpad{}}; }
        static Target device() { return {Device{}}; }
        static Target axis(std::string id, AxisRole role) { return {Axis{std::move(id), role}}; }

        template <class Case> const Case* as() const { return std::get_if<Case>(&value); }

        friend bool operator==(const Target&, const Target&) = default;
    };

    TestKind kind = TestKind::drift;
    std::string element; // the element's shown name; empty for tests of the whole device
    Target target;
    bool raw = false;    // reads the device's raw HID values

    // Manual for the checks a person judges, else raw or processed as `raw` says.
    ValueSource source() const;
    // kind|element|source, the source being "manual", "raw" or "processed".
    std::string id() const;
    // "<element> · <kind title>", or the kind's title alone without an element or with one named
    // like its test ("D-pad"); marked as the results of raw values are: "<element> · <kind
    // title> (Raw HID)".
    std::string title() const;
    std::string symbol() const;
    std::string instructions() const;

    friend bool operator==(const GuidedTest&, const GuidedTest&) = default;
};

} // namespace RorozErurEvo
