#include "app/model/TestPhases.h"
#include "RunnerFakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/devices/InputDevice.h"
#include "testkit/DemoTraces.h"

using namespace Tessarine;
using namespace RorozErurEvo;
using Active = ActiveTest;
using Target = GuidedTest::Target;

namespace {

constexpr double t0 = 10; // start of every test here, seconds of uptime

// One device with an element of every kind the phase machines read.
struct Rig {
    Rig() {
        using K = ElementInfo::Kind;
        using R = ElementInfo::Role;
        auto axis = Fakes::element("ax", K::axis, R::other, "Wheel");
        axis.page = 1;
        axis.logicalMin = 0;
        axis.logicalMax = 1000;
        device = std::make_shared<InputDevice>(
            "hid-1", InputDevice::Kind::hid, DeviceInfo{},
            std::vector<ElementInfo>{Fakes::element("ls", K::stick, R::leftStick, "Left stick"),
                                     Fakes::element("lt", K::trigger, R::leftTrigger, "Left trigger"),
                                     Fakes::element("hat", K::dpad, R::dpad, "Hat"),
                                     Fakes::element("a", K::button, R::south, "A"),
                                     Fakes::element("b", K::button, R::east, "B"), axis});
    }

    CaptureBuffer& buffer() { return device->buffer(); }

    static Active begin(GuidedTest test) {
        Active a;
        a.prompt = test.instructions();
        a.test = std::move(test);
        a.start = a.recordFrom = t0;
        return a;
    }
    // The frame at t0 + e; it counts afresh every time.
    TestPhases::Frame frame(double e) {
        TestPhases::Frame f;
        f.now = t0 + e;
        f.device = device.get();
        f.own = device.get();
        f.thresholds = thresholds;
        f.lastPlot = &lastPlot;
        return f;
    }
    // One frame at t0 + e; true when the test is complete.
    bool at(Active& a, double e) { return TestPhases::step(a, frame(e)); }

    std::shared_ptr<InputDevice> device;
    Thresholds thresholds;
    double lastPlot = 0;
};

GuidedTest stick(TestKind kind) { return {kind, "Left stick", Target::stick("ls"), true}; }
GuidedTest axisTest(TestKind kind, AxisRole role) { return {kind, "Wheel", Target::axis("ax", role), true}; }
const GuidedTest buttonsTest{TestKind::buttons, "", Target::buttons({{"a", "A"}, {"b", "B"}}), true};
const GuidedTest holdTest{TestKind::hold, "", Target::buttons({{"a", "A"}, {"b", "B"}}), true};
const GuidedTest triggerTest{TestKind::trigger, "Left trigger", Target::trigger("lt", true), true};
const GuidedTest dpadTest{TestKind::dpad, "Hat", Target::dpad("hat"), true};
const GuidedTest motionTest{TestKind::motion, "", Target::device(), false};
const GuidedTest touchpadTest{TestKind::touchpad, "", Target::touchpad(), false};

} // namespace

// Prompts and countdowns of the tests that change them, frame by frame.
TEST(TestPhases, PromptsAndCountdowns) {
    struct Row {
        GuidedTest test;
        double e;
        std::string prompt;
        int stage;
    };
    const std::vector<Row> rows{
        {stick(TestKind::drift), 0.01, "Let go of the controller\u2026 2", 0},
        {stick(TestKind::drift), 1.0, "Let go of the controller\u2026 1", 0},
        {stick(TestKind::drift), 1.99, "Let go of the controller\u2026 1", 0},
        {stick(TestKind::drift), 2.0, "Hands off. Measuring where the stick rests\u2026", 0},
        {axisTest(TestKind::axisCenter, AxisRole::steering), 0.5, "Line the wheel up straight and let go\u2026 2", 0},
        {axisTest(TestKind::axisCenter, AxisRole::twist), 1.5, "Let go of the stick\u2026 1", 0},
        {axisTest(TestKind::axisCenter, AxisRole::twist), 2.5, "Hands off. Measuring where it rests\u2026", 0},
        {motionTest, 0.0, "Set the controller down and don't touch it\u2026 4", 0},
        {motionTest, 0.3, "Set the controller down and don't touch it\u2026 3", 0},
        {motionTest, 3.1, "Set the controller down and don't touch it\u2026 1", 0},
        {motionTest, 3.25, "Now pick it up and turn it around in your hands.", 1},
        {stick(TestKind::deadzone), 1.1, "Hands off for a moment\u2026", 0},
        {stick(TestKind::deadzone), 1.25, "Now push the stick very slowly toward the edge.", 1},
        {axisTest(TestKind::pedal, AxisRole::pedal), 1.4, "Feet off the pedal\u2026", 0},
        {axisTest(TestKind::pedal, AxisRole::pedal), 1.5, "Now press it slowly all the way down, then let go.", 1},
        // Tests without phases keep their instructions.
        {stick(TestKind::circularity), 5, stick(TestKind::circularity).instructions(), 0},
        {buttonsTest, 5, buttonsTest.instructions(), 0},
    };
    for (const auto& row : rows) {
        Rig rig;
        auto a = Rig::begin(row.test);
        EXPECT_FALSE(rig.at(a, row.e)) << row.test.id() << " at " << row.e;
        EXPECT_EQ(a.prompt, row.prompt) << row.test.id() << " at " << row.e;
        EXPECT_EQ(a.stage, row.stage) << row.test.id() << " at " << row.e;
    }
}

TEST(TestPhases, SettlePhasesMoveTheWindowOnlyWhileTheyLast) {
    Rig rig;
    auto drift = Rig::begin(stick(TestKind::drift));
    rig.at(drift, 0.5);
    EXPECT_EQ(drift.recordFrom, t0 + 2.0);
    auto pedal = Rig::begin(axisTest(TestKind::pedal, AxisRole::pedal));
    rig.at(pedal, 0.5);
    EXPECT_EQ(pedal.recordFrom, t0 + 1.5);
    // A first frame after the settle phase leaves the window at the start.
    auto late = Rig::begin(stick(TestKind::drift));
    rig.at(late, 2.5);
    EXPECT_EQ(late.recordFrom, t0);
}

TEST(TestPhases, DriftProgressAndMeasuringTimes) {
    for (double seconds : {5.0, 0.0, -3.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        Rig rig;
        rig.thresholds.driftSeconds = seconds;
        auto a = Rig::begin(stick(TestKind::drift));
        EXPECT_FALSE(rig.at(a, 1.9)) << seconds;
        EXPECT_EQ(a.progress, 0) << seconds;
        const bool done = rig.at(a, 2.0);
        EXPECT_FALSE(std::isnan(a.progress)) << seconds;
        if (seconds == 5.0) {
            EXPECT_FALSE(done);
            EXPECT_FALSE(rig.at(a, 4.5));
            EXPECT_DOUBLE_EQ(a.progress, 0.5);
            EXPECT_TRUE(rig.at(a, 7.0));
        } else {
            // No measuring time to wait for: done as soon as the settle phase is over.
            EXPECT_TRUE(done) << seconds;
            EXPECT_EQ(a.progress, 1) << seconds;
        }
    }
}

// Status lines and completion, kind by kind, from recorded input.
TEST(TestPhases, StickStatusLinesFromRecordedInput) {
    {
        Rig rig;
        auto a = Rig::begin(stick(TestKind::circularity));
        rig.at(a, 0.1);
        EXPECT_EQ(a.status, "0% of directions \u00B7 0 of 3 turns");
        for (const auto& s : DemoTraces::rotation(GateShape::round, 1.0, 3.2, 4.0, 120, 0, PlotPoint::zero, 1, t0,
                                                  std::nullopt))
            rig.buffer().recordStick("ls", s.x, s.y, std::nullopt, s.t);
        EXPECT_TRUE(rig.at(a, 4.5));
        EXPECT_EQ(a.status, "100% of directions \u00B7 3.2 of 3 turns");
        EXPECT_EQ(a.progress, 1);
        ASSERT_TRUE(a.plot);
        EXPECT_EQ(a.plot->radii.size(), 72u);
    }
    {
        // Twelve releases complete the test though they all went one way.
        Rig rig;
        auto a = Rig::begin(stick(TestKind::snapback));
        std::vector<Direction8> right(12, Direction8::right);
        const auto samples = DemoTraces::releases(right, {}, 125, 25, t0, std::nullopt);
        // A raw count that changes on every reading keeps held readings in the log.
        int n = 0;
        for (const auto& s : samples) rig.buffer().recordStick("ls", s.x, s.y, RawPoint{n++, 0}, s.t);
        const double end = samples.back().t - t0 + 0.5;
        EXPECT_TRUE(rig.at(a, end));
        EXPECT_EQ(a.status, "12 releases \u00B7 1 of 8 directions");
        EXPECT_EQ(a.directions, std::set<Direction8>{Direction8::right});
        EXPECT_EQ(a.progress, 0.125);
        auto one = Rig::begin(stick(TestKind::snapback));
        Rig single;
        for (const auto& s : DemoTraces::releases({Direction8::up}, {}, 125, 25, t0, std::nullopt))
            single.buffer().recordStick("ls", s.x, s.y, RawPoint{n++, 0}, s.t);
        EXPECT_FALSE(single.at(one, 5));
        EXPECT_EQ(one.status, "1 release \u00B7 1 of 8 directions");
    }
}

TEST(TestPhases, ButtonStatusLinesFromRecordedInput) {
    {
        Rig rig;
        auto a = Rig::begin(buttonsTest);
        rig.buffer().recordButton("a", true, t0 + 0.1);
        rig.buffer().recordButton("a", false, t0 + 0.2);
        rig.buffer().recordButton("a", true, t0 + 0.205); // a bounce
        rig.buffer().recordButton("a", false, t0 + 0.3);
        EXPECT_FALSE(rig.at(a, 2));
        EXPECT_EQ(a.status, "1 of 2 registered \u00B7 chatter 1\u00D7");
        EXPECT_EQ(a.registered, std::set<std::string>{"a"});
        EXPECT_EQ(a.progress, 0.5);
        rig.buffer().recordButton("b", true, t0 + 3);
        rig.buffer().recordButton("b", false, t0 + 3.1);
        EXPECT_FALSE(rig.at(a, 3.6)); // not quiet for long enough yet
        EXPECT_TRUE(rig.at(a, 3.75));
        // No inputs to press: zero of zero, never done by itself.
        Rig empty;
        auto none = Rig::begin(GuidedTest{TestKind::buttons, "", Target::buttons({}), true});
        EXPECT_FALSE(empty.at(none, 500));
        EXPECT_EQ(none.status, "0 of 0 registered");
    }
    {
        Rig rig;
        auto a = Rig::begin(holdTest);
        EXPECT_FALSE(rig.at(a, 1));
        EXPECT_EQ(a.status, "");
        rig.buffer().recordButton("b", true, t0 + 1.0);
        rig.at(a, 2.0);
        EXPECT_EQ(a.status, "Holding B: 1 s");
        rig.buffer().recordButton("b", false, t0 + 2.2);
        rig.buffer().recordButton("a", true, t0 + 2.3); // another button does not count
        rig.buffer().recordButton("b", true, t0 + 2.4);
        rig.buffer().recordButton("b", false, t0 + 3.6); // pressing again extends the hold
        EXPECT_FALSE(rig.at(a, 4.0));
        EXPECT_EQ(a.status, "Holding B: 2.6 s");
        EXPECT_TRUE(rig.at(a, 4.2));
    }
    {
        Rig rig;
        auto a = Rig::begin(dpadTest);
        for (const auto& s : DemoTraces::dpadSweep({Direction8::up, Direction8::right, Direction8::upRight}, 60, t0))
            rig.buffer().recordStick("hat", s.x, s.y, std::nullopt, s.t);
        rig.at(a, 5);
        EXPECT_EQ(a.status, "3 of 8 directions");
        EXPECT_EQ(a.progress, 0.375);
    }
}

TEST(TestPhases, SurfaceAndAxisStatusLinesFromRecordedInput) {
    {
        Rig rig;
        auto a = Rig::begin(touchpadTest);
        rig.buffer().recordTouch(TouchSample{t0 + 0.1, 0, -0.9, -0.9});
        rig.at(a, 1);
        EXPECT_EQ(a.status, "3.1% of the surface \u00B7 1 finger");
        // Two fingers wiping every cell of the surface by 4.0 s.
        double t = t0 + 1;
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 8; ++col, t += 0.05)
                rig.buffer().recordTouch(TouchSample{t, (row + col) % 2, -0.875 + col * 0.25, -0.75 + row * 0.5});
        EXPECT_FALSE(rig.at(a, 2.4)); // covered enough, but the fingers are still moving
        EXPECT_TRUE(rig.at(a, 3.2)) << a.status;
        EXPECT_NE(a.status.find(" fingers"), std::string::npos);
    }
    {
        Rig rig;
        auto a = Rig::begin(axisTest(TestKind::axisSweep, AxisRole::steering));
        rig.at(a, 0.5);
        EXPECT_EQ(a.status, ""); // nothing recorded yet
        for (int i = 0; i <= 10; ++i) rig.buffer().recordRaw("ax", 250 + i * 50, t0 + 0.1 * i);
        rig.at(a, 2);
        EXPECT_EQ(a.status, "Covered 50% of its range");
        rig.buffer().recordRaw("ax", 0, t0 + 2.1);
        rig.buffer().recordRaw("ax", 1000, t0 + 2.2);
        EXPECT_FALSE(rig.at(a, 2.3)); // full range, but not back near the middle
        rig.buffer().recordRaw("ax", 560, t0 + 2.4);
        EXPECT_TRUE(rig.at(a, 2.5));
        // A throttle at full range runs on to its limit.
        auto throttle = Rig::begin(axisTest(TestKind::axisSweep, AxisRole::throttle));
        EXPECT_FALSE(rig.at(throttle, 45));
        EXPECT_EQ(throttle.progress, 1);
        EXPECT_TRUE(rig.at(throttle, 45.01));
    }
    {
        Rig rig;
        auto a = Rig::begin(axisTest(TestKind::pedal, AxisRole::pedal));
        rig.buffer().recordRaw("ax", 20, t0 + 0.5);
        rig.buffer().recordRaw("ax", 22, t0 + 1.0);
        rig.buffer().recordRaw("ax", 21, t0 + 1.2);
        rig.at(a, 1.0);
        EXPECT_EQ(TestPhases::restValue(a, *rig.device, "ax"), 21);
        rig.buffer().recordRaw("ax", 921, t0 + 2.0);
        EXPECT_FALSE(rig.at(a, 2.1));
        EXPECT_EQ(a.status, "Pressed to 90%");
        rig.buffer().recordRaw("ax", 60, t0 + 2.5);
        EXPECT_TRUE(rig.at(a, 2.6));
    }
}

TEST(TestPhases, TriggerCompletesOnlyOnceLetGoAndQuiet) {
    Rig rig;
    auto a = Rig::begin(triggerTest);
    for (int i = 0; i <= 20; ++i) rig.buffer().recordAxis("lt", i / 20.0, std::nullopt, t0 + 0.1 * i);
    // Held at full pull: it stays open however long the pull lasts.
    EXPECT_FALSE(rig.at(a, 2.05));
    EXPECT_FALSE(rig.at(a, 10));
    EXPECT_EQ(a.status, "Pulled to 100%");
    EXPECT_EQ(a.progress, 1);
    rig.buffer().recordAxis("lt", 0.05, std::nullopt, t0 + 10.5);
    EXPECT_FALSE(rig.at(a, 10.7));
    EXPECT_TRUE(rig.at(a, 10.85));
}

TEST(TestPhases, TimeLimitsEndOnTheFrameAfterTheLimit) {
    struct Row {
        GuidedTest test;
        double limit;
    };
    const std::vector<Row> rows{
        {stick(TestKind::circularity), 45}, {stick(TestKind::snapback), 60}, {stick(TestKind::deadzone), 12},
        {triggerTest, 20},  {holdTest, 25},  {dpadTest, 40},  {touchpadTest, 40},
        {axisTest(TestKind::axisSweep, AxisRole::steering), 45}, {axisTest(TestKind::pedal, AxisRole::pedal), 20},
    };
    for (const auto& row : rows) {
        Rig rig;
        auto a = Rig::begin(row.test);
        EXPECT_FALSE(rig.at(a, row.limit)) << row.test.id();
        EXPECT_TRUE(rig.at(a, row.limit + 0.001)) << row.test.id();
    }
    // Without a limit: buttons, and every kind the tick does not drive.
    for (TestKind kind : {TestKind::buttons, TestKind::rumble, TestKind::battery, TestKind::soak}) {
        Rig rig;
        auto a = Rig::begin(GuidedTest{kind, "", kind == TestKind::buttons ? buttonsTest.target : Target::device(), false});
        EXPECT_FALSE(rig.at(a, 10000)) << rawValue(kind);
    }
    // A target that does not fit its kind does nothing, limit included.
    Rig rig;
    auto misfit = Rig::begin(GuidedTest{TestKind::circularity, "", Target::device(), false});
    const auto before = misfit;
    EXPECT_FALSE(rig.at(misfit, 100));
    EXPECT_EQ(misfit, before);
}

TEST(TestPhases, LogicalRange) {
    Rig rig;
    EXPECT_EQ(TestPhases::logicalRange("ax", *rig.device), (TestPhases::Range{0, 1000}));
    EXPECT_EQ(TestPhases::logicalRange("ls", *rig.device), (TestPhases::Range{0, 1})); // no range: 0 … 1
    EXPECT_FALSE(TestPhases::logicalRange("nothing", *rig.device));
}

// The live count and plot take in only what arrived since the last frame; they must say what
// the whole window says, readings sharing a time across two frames and a change of gate included.
TEST(TestPhases, CircularityCountCarriesOnAcrossFrames) {
    Rig rig;
    TestPhases::CircleFeed feed;
    auto a = Rig::begin(stick(TestKind::circularity));
    auto fresh = a;
    const auto trace =
        DemoTraces::rotation(GateShape::round, 1.0, 3.1, 4.0, 240, 0.01, PlotPoint::zero, 3, t0, std::nullopt);
    double freshPlot = 0;
    std::size_t next = 0;
    int frames = 0;
    for (double e = 1.0 / 60; e < 4.5; e += 1.0 / 60, ++frames) {
        // Now and then a second reading with the time of the newest one the last frame saw.
        if (next > 0 && frames % 3 == 0) {
            const auto& s = trace[next - 1];
            rig.buffer().recordStick("ls", s.x * 0.99, s.y, std::nullopt, s.t);
        }
        while (next < trace.size() && trace[next].t <= t0 + e) {
            const auto& s = trace[next++];
            rig.buffer().recordStick("ls", s.x, s.y, std::nullopt, s.t);
        }
        auto frame = rig.frame(e);
        // Halfway through, the user picks another gate and fits the plot.
        if (e > 2) {
            frame.gate = GateShape::octagonN64;
            frame.fit = true;
        }
        auto other = frame;
        other.lastPlot = &freshPlot;
        frame.circle = &feed;
        const bool done = TestPhases::step(a, frame);
        EXPECT_EQ(TestPhases::step(fresh, other), done) << e;
        ASSERT_EQ(a.status, fresh.status) << e;
        ASSERT_EQ(a.progress, fresh.progress) << e;
        ASSERT_EQ(a.plot, fresh.plot) << e;
        if (done) break;
    }
    EXPECT_EQ(a.progress, 1);
}

// The live snapback count keeps the releases already judged and scans only recent readings;
// frame by frame it must say what a scan of the whole window says. The log drops repeated
// readings, so every push held at the rim leaves a single reading.
TEST(TestPhases, SnapbackCountCarriesOnAcrossFrames) {
    Rig rig;
    TestPhases::SnapFeed feed;
    auto a = Rig::begin(stick(TestKind::snapback));
    auto fresh = a;
    const std::vector<Direction8> pushes{Direction8::right, Direction8::up,   Direction8::left,
                                         Direction8::down,  Direction8::right, Direction8::upLeft,
                                         Direction8::downRight, Direction8::up};
    const auto trace = DemoTraces::releases(pushes, {{Direction8::left, PlotPoint{-0.06, 0.0}}}, 125, 40, t0 + 0.2,
                                            std::nullopt);
    std::size_t next = 0;
    bool done = false;
    for (double e = 1.0 / 60; e < 20 && !done; e += 1.0 / 60) {
        while (next < trace.size() && trace[next].t <= t0 + e) {
            const auto& s = trace[next++];
            rig.buffer().recordStick("ls", s.x, s.y, std::nullopt, s.t);
        }
        auto frame = rig.frame(e);
        frame.snap = &feed;
        done = TestPhases::step(a, frame);
        EXPECT_EQ(rig.at(fresh, e), done) << e;
        ASSERT_EQ(a.status, fresh.status) << e;
        ASSERT_EQ(a.directions, fresh.directions) << e;
    }
    EXPECT_EQ(a.status, "8 releases \u00B7 6 of 8 directions");
    EXPECT_GT(feed.resume, t0 + 5); // it did move on
}
