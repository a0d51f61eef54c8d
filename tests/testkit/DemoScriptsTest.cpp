#include "testkit/DemoScripts.h"
#include "testkit/SeededRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace RorozErurEvo;
namespace Scripts = RorozErurEvo::DemoScripts;

namespace {

GuidedTest testOf(TestKind kind, GuidedTest::Target target) { return GuidedTest{kind, "", std::move(target), false}; }

std::vector<StickSample> sticksOf(const std::vector<DemoAction>& actions, const std::string& key) {
    std::vector<StickSample> result;
    for (const auto& a : actions)
        if (const auto* s = std::get_if<DemoAction::Stick>(&a.value); s && s->element == key) result.push_back(s->sample);
    return result;
}

std::vector<ButtonEvent> buttonsOf(const std::vector<DemoAction>& actions, const std::string& input) {
    std::vector<ButtonEvent> result;
    for (const auto& a : actions)
        if (const auto* b = std::get_if<DemoAction::Button>(&a.value); b && b->event.input == input)
            result.push_back(b->event);
    return result;
}

// A test's own part of its script, after the opening that lets go of every control the test
// does not itself place at time 0.
std::vector<DemoAction> ownPart(DemoScenario scenario, const GuidedTest& test, double driftSeconds) {
    auto all = Scripts::testActions(scenario, test, driftSeconds);
    std::size_t opening = 0;
    for (const auto& a : Scripts::letGo(scenario))
        if (opening < all.size() && all[opening] == a) ++opening;
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(opening));
    return all;
}

double lastTime(const std::vector<DemoAction>& actions) {
    double last = 0;
    for (const auto& a : actions) last = std::max(last, a.time());
    return last;
}

} // namespace

TEST(DemoScripts, LoopShapes) {
    const auto healthy = Scripts::scenarioActions(DemoScenario::healthy);
    EXPECT_NEAR(lastTime(healthy), 11.02, 1e-9);
    const auto& last = *std::max_element(healthy.begin(), healthy.end(),
                                         [](const DemoAction& a, const DemoAction& b) { return a.time() < b.time(); });
    EXPECT_EQ(std::get<DemoAction::Button>(last.value).event, (ButtonEvent{"Button Menu", false, last.time()}));

    // The first left-stick sample sits at angle 0 on the rim around the resting offset.
    SeededRandom random(1);
    const double g = random.gaussian();
    const auto left = sticksOf(healthy, Scripts::leftStick);
    EXPECT_EQ(left.front().t, 0.0);
    EXPECT_DOUBLE_EQ(left.front().x, std::min(1.004 + 0.003 * g, 1.0));
    EXPECT_DOUBLE_EQ(left.front().y, -0.003);
    EXPECT_EQ(left.size(), 181u + 391);
    EXPECT_EQ(sticksOf(healthy, Scripts::dpad).size(), 60u);

    // The drifting pad rests its left stick far off centre; everything else is the healthy loop.
    const auto drift = Scripts::scenarioActions(DemoScenario::drift);
    ASSERT_EQ(drift.size(), healthy.size());
    const auto driftLeft = sticksOf(drift, Scripts::leftStick);
    EXPECT_NEAR(driftLeft.back().x, 0.11, 0.02);
    EXPECT_NEAR(driftLeft.back().y, -0.06, 0.02);
    EXPECT_EQ(sticksOf(drift, Scripts::rightStick), sticksOf(healthy, Scripts::rightStick));
}

TEST(DemoScripts, OnlyButtonABouncesInTheChatterLoop) {
    const auto chatter = Scripts::scenarioActions(DemoScenario::chatter);
    const auto a = buttonsOf(chatter, "Button A");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_TRUE(a[0].down);
    EXPECT_NEAR(a[0].t, 8.5, 1e-12);
    EXPECT_NEAR(a[1].t, 8.62, 1e-12);
    EXPECT_TRUE(a[2].down);
    EXPECT_NEAR(a[2].t, 8.629, 1e-12);
    EXPECT_NEAR(a[3].t, 8.635, 1e-12);
    for (const auto& name : Scripts::buttonNumbers()) {
        if (name == "Button A") continue;
        const bool inLoop = *Scripts::buttonNumber(name) <= 9;
        EXPECT_EQ(buttonsOf(chatter, name).size(), inLoop ? 2u : 0u) << name;
    }
    EXPECT_EQ(buttonsOf(Scripts::scenarioActions(DemoScenario::healthy), "Button A").size(), 2u);
    EXPECT_EQ(sticksOf(chatter, Scripts::leftStick), sticksOf(Scripts::scenarioActions(DemoScenario::healthy),
                                                               Scripts::leftStick));
}

TEST(DemoScripts, DisplayNamesMapTheRawTwinToTheController) {
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::drift, GuidedTest::Target::stick("pair-1"))), "Left Thumbstick");
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::drift, GuidedTest::Target::stick("pair-2"))), "Right Thumbstick");
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::dpad, GuidedTest::Target::dpad("e7"))), "e7");
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::trigger, GuidedTest::Target::trigger("e5", true))), "Left Trigger");
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::trigger, GuidedTest::Target::trigger("e6", true))),
              "Right Trigger");
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::axisSweep, GuidedTest::Target::axis("pair-1", AxisRole::twist))),
              std::nullopt);
    EXPECT_EQ(Scripts::displayName(testOf(TestKind::buttons, GuidedTest::Target::buttons({}))), std::nullopt);
}

TEST(DemoScripts, StickTestScripts) {
    const auto drift = ownPart(DemoScenario::healthy,
                                            testOf(TestKind::drift, GuidedTest::Target::stick("Right Thumbstick")), 5);
    EXPECT_EQ(sticksOf(drift, Scripts::leftStick).size(), 541u);
    EXPECT_EQ(sticksOf(drift, Scripts::rightStick).size(), 541u);
    // A stored measuring time below zero, not a number or absurdly long still gives a recording
    // (building one must not throw in the middle of starting a test).
    const auto driftTest = testOf(TestKind::drift, GuidedTest::Target::stick("Left Thumbstick"));
    for (double bad : {-10.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e12}) {
        std::vector<DemoAction> played;
        ASSERT_NO_THROW(played = ownPart(DemoScenario::healthy, driftTest, bad)) << bad;
        EXPECT_GE(sticksOf(played, Scripts::leftStick).size(), 240u) << bad;
    }

    // A circularity test on the twin's right pair circles the right stick around the centre and
    // rests the left one.
    const auto circle = ownPart(DemoScenario::drift,
                                             testOf(TestKind::circularity, GuidedTest::Target::stick("pair-2")), 5);
    const auto right = sticksOf(circle, Scripts::rightStick);
    ASSERT_GT(right.size(), 600u);
    double sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < 626; ++i) sumX += right[i].x, sumY += right[i].y; // the 5 full turns' samples
    EXPECT_NEAR(sumX / 626, 0.0, 0.1);
    EXPECT_NEAR(sumY / 626, 0.0, 0.1);
    for (const auto& s : sticksOf(circle, Scripts::leftStick)) {
        EXPECT_NEAR(s.x, 0.11, 0.02);
        EXPECT_NEAR(s.y, -0.06, 0.02);
    }

    // Releases settle off centre only for the drifting left stick: the down release (the seventh
    // of eight, 140 samples each at 125 per second) comes to rest at (0, -0.055).
    auto afterDown = [](DemoScenario scenario, const char* stick) {
        const auto script =
            ownPart(scenario, testOf(TestKind::snapback, GuidedTest::Target::stick(stick)), 5);
        return sticksOf(script, stick).at(7 * 140 - 1);
    };
    EXPECT_EQ(afterDown(DemoScenario::drift, "Left Thumbstick").y, -0.055);
    EXPECT_EQ(afterDown(DemoScenario::drift, "Right Thumbstick").y, 0.0);
    EXPECT_EQ(afterDown(DemoScenario::healthy, "Left Thumbstick").y, 0.0);

    // The dead-zone push runs from the stick's centre to the right rim.
    const auto push = sticksOf(
        ownPart(DemoScenario::drift, testOf(TestKind::deadzone, GuidedTest::Target::stick("pair-1")), 5),
        Scripts::leftStick);
    EXPECT_DOUBLE_EQ(push.front().x, 0.11);
    EXPECT_DOUBLE_EQ(push.front().y, -0.06);
    EXPECT_NEAR(push.back().x, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(push.back().y, -0.06);
}

TEST(DemoScripts, ButtonTriggerAndDeviceScripts) {
    const auto trigger =
        ownPart(DemoScenario::healthy, testOf(TestKind::trigger, GuidedTest::Target::trigger("e6", true)), 5);
    ASSERT_FALSE(trigger.empty());
    for (const auto& a : trigger) EXPECT_EQ(std::get<DemoAction::Axis>(a.value).element, "Right Trigger");
    EXPECT_EQ(trigger.size(), 386u);

    const auto buttons = ownPart(DemoScenario::healthy,
                                              testOf(TestKind::buttons, GuidedTest::Target::buttons({})), 5);
    for (const auto& name : Scripts::buttonNumbers()) EXPECT_EQ(buttonsOf(buttons, name).size(), 2u) << name;
    EXPECT_NEAR(buttonsOf(buttons, "Touchpad Button").front().t, 3.04, 1e-12);
    std::size_t axes = 0;
    for (const auto& a : buttons) axes += std::holds_alternative<DemoAction::Axis>(a.value);
    EXPECT_EQ(axes, 2u * (24 + 18 + 18 + 6 + 18)); // two short pulls at 60 samples a second

    const auto hold = ownPart(DemoScenario::chatter,
                                           testOf(TestKind::hold, GuidedTest::Target::buttons({})), 5);
    EXPECT_EQ(buttonsOf(hold, "Button A").size(), 4u);
    EXPECT_EQ(ownPart(DemoScenario::healthy, testOf(TestKind::hold, GuidedTest::Target::buttons({})), 5)
                  .size(),
              2u);

    const auto touch = ownPart(DemoScenario::healthy, testOf(TestKind::touchpad,
                                                                          GuidedTest::Target::touchpad()), 5);
    EXPECT_EQ(touch.size(), 2u * 210 + 2);
    EXPECT_EQ(std::get<DemoAction::Lift>(touch.back().value), (DemoAction::Lift{1, 4.0}));

    const auto motion = ownPart(DemoScenario::healthy, testOf(TestKind::motion,
                                                                           GuidedTest::Target::device()), 5);
    EXPECT_EQ(motion.size(), 320u + 450);

    for (auto kind : {TestKind::rumble, TestKind::lights, TestKind::adaptiveTriggers, TestKind::battery,
                      TestKind::axisNoise, TestKind::reportRate, TestKind::keyboard, TestKind::mouse, TestKind::soak,
                      TestKind::axisSweep, TestKind::axisCenter, TestKind::pedal})
        EXPECT_TRUE(ownPart(DemoScenario::drift, testOf(kind, GuidedTest::Target::device()), 5).empty());
}

TEST(DemoScripts, EveryTestStartsFromThePadLetGo) {
    // Whatever the loop or an earlier script left pushed, pulled or held goes back to rest at the
    // test's first instant.
    const auto opening = Scripts::letGo(DemoScenario::drift);
    for (const auto& a : opening) EXPECT_EQ(a.time(), 0.0);
    EXPECT_EQ(sticksOf(opening, Scripts::leftStick), (std::vector<StickSample>{{0, 0.11, -0.06, std::nullopt}}));
    EXPECT_EQ(sticksOf(opening, Scripts::rightStick), (std::vector<StickSample>{{0, -0.003, 0.002, std::nullopt}}));
    EXPECT_EQ(sticksOf(opening, Scripts::dpad), (std::vector<StickSample>{{0, 0, 0, std::nullopt}}));
    for (const auto& name : Scripts::buttonNumbers())
        EXPECT_EQ(buttonsOf(opening, name), (std::vector<ButtonEvent>{{name, false, 0}})) << name;
    std::size_t triggers = 0, lifts = 0;
    for (const auto& a : opening) {
        if (const auto* axis = std::get_if<DemoAction::Axis>(&a.value)) {
            EXPECT_EQ(axis->sample.value, 0.0);
            ++triggers;
        }
        lifts += std::holds_alternative<DemoAction::Lift>(a.value);
    }
    EXPECT_EQ(triggers, 2u);
    EXPECT_EQ(lifts, 2u);
    // A test without input of its own holds the pad still at rest.
    EXPECT_EQ(Scripts::testActions(DemoScenario::drift, testOf(TestKind::battery, GuidedTest::Target::device()), 5),
              opening);
    // A control the test places at time 0 starts there and nowhere else: the dead-zone push of
    // the right stick starts at the centre, not first at its resting offset.
    const auto push = Scripts::testActions(DemoScenario::healthy,
                                           testOf(TestKind::deadzone, GuidedTest::Target::stick("pair-2")), 5);
    const auto right = sticksOf(push, Scripts::rightStick);
    EXPECT_EQ(right.front(), (StickSample{0, 0, 0, std::nullopt}));
    EXPECT_EQ(std::count_if(right.begin(), right.end(), [](const StickSample& s) { return s.t == 0; }), 1);
    EXPECT_EQ(buttonsOf(push, "Button A"), (std::vector<ButtonEvent>{{"Button A", false, 0}}));
}

TEST(GuidedTest, IdJoinsKindElementAndSource) {
    GuidedTest drift{TestKind::drift, "Left stick", GuidedTest::Target::stick("pair-1"), true};
    EXPECT_EQ(drift.id(), "drift|Left stick|raw");
    EXPECT_EQ(drift.title(), "Left stick \u00B7 " + title(TestKind::drift) + " (Raw HID)");
    drift.raw = false;
    EXPECT_EQ(drift.id(), "drift|Left stick|processed");
    EXPECT_EQ(drift.title(), "Left stick \u00B7 " + title(TestKind::drift));

    const GuidedTest rumble{TestKind::rumble, "", GuidedTest::Target::device(), true};
    EXPECT_EQ(rumble.id(), "rumble||manual");
    EXPECT_EQ(rumble.title(), title(TestKind::rumble));
    EXPECT_EQ(GuidedTest({TestKind::soak, "", GuidedTest::Target::device(), false}).id(), "soak||processed");

    // Instructions follow the axis role where the kind depends on it.
    const GuidedTest steering{TestKind::axisCenter, "X", GuidedTest::Target::axis("e1", AxisRole::steering), true};
    const GuidedTest twist{TestKind::axisCenter, "Rz", GuidedTest::Target::axis("e4", AxisRole::twist), true};
    EXPECT_EQ(steering.instructions(), "Line the wheel up straight, then let go of it.");
    EXPECT_EQ(twist.instructions(), "Let go of the stick so its spring centers it.");
    EXPECT_NE(steering.target, twist.target);
}
