// The wireless soak run: intake of report times, drops and returns (under a new identifier or
// the old one), the live figures, the result and the hold on sleep.
#include <gtest/gtest.h>

#include "CommandFakes.h"

#include <QDBusConnection>

#include "testkit/SoakResult.h"

using namespace Tessarine;

namespace {

struct SoakBench {
    SoakBench() {
        soak.setSleepInhibitor(inhibitor);
        pad = Fakes::pad("gc-1", "Wireless Pad", "AB12", InputDevice::Kind::controller, outputs);
        plugIn({pad});
    }
    void plugIn(std::vector<std::shared_ptr<InputDevice>> pads) {
        bench.controllers->list = std::move(pads);
        m.refreshControllers();
    }
    // Reports at 50 Hz from `from` up to `to`, and intake ticks every quarter second.
    void run(const std::shared_ptr<InputDevice>& device, double from, double to) {
        for (double t = from; t < to; t += 0.25) {
            if (device)
                for (int i = 0; i < 12; ++i) device->buffer().recordButton("a", i % 2 == 0, t + i * 0.02);
            tick(t + 0.25);
        }
    }
    void tick(double now) {
        bench.clock.set(now);
        soak.tick(now);
    }
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    SoakRunner& soak = *m.soak();
    std::shared_ptr<Fakes::Inhibitor> inhibitor = std::make_shared<Fakes::Inhibitor>();
    std::shared_ptr<Fakes::Outputs> outputs = std::make_shared<Fakes::Outputs>();
    std::shared_ptr<InputDevice> pad;
};

} // namespace

TEST(SoakRunner, StartsOnceWithAtLeastAMinuteHoldingSleepAndMotionForTheRun) {
    SoakBench s;
    s.soak.start(*s.pad, 0.5);
    EXPECT_TRUE(s.soak.isRunning(*s.pad));
    EXPECT_EQ(s.soak.seconds(), 60);
    EXPECT_EQ(s.inhibitor->alive, 1);
    EXPECT_EQ(s.inhibitor->reasons, QStringList{"Wireless soak test"});
    EXPECT_EQ(s.outputs->motion, std::vector<bool>{true});
    EXPECT_TRUE(Fakes::said(s.m, QString::fromStdString("Wireless soak test started for 1 min. " +
                                                        SoakRunner::soakTest().instructions())));

    auto other = Fakes::pad("gc-9", "Other Pad");
    s.soak.start(*other, 15);
    EXPECT_EQ(s.soak.deviceID(), "gc-1") << "a second start while running changes nothing";
    EXPECT_EQ(s.soak.seconds(), 60);
    EXPECT_EQ(s.inhibitor->alive, 1);

    s.soak.stop();
    EXPECT_FALSE(s.soak.isRunning());
    EXPECT_EQ(s.inhibitor->alive, 0) << "stopping lets the system sleep again";
    EXPECT_EQ(s.outputs->motion, (std::vector<bool>{true, false}));
}

TEST(SoakRunner, ANormalFinishFilesTheResultUnderTheSoakTestAndReleasesSleep) {
    SoakBench s;
    s.soak.start(*s.pad, 1);
    s.run(s.pad, 100, 159.75);
    ASSERT_TRUE(s.soak.report().has_value());
    ASSERT_TRUE(s.soak.strip().has_value());
    EXPECT_EQ(s.soak.strip()->bins.size(), 120u);
    // The last analysis, at 159.25, saw quarter-second blocks of twelve reports 20 ms apart:
    // the rate the result gives them, that of their typical interval.
    EXPECT_NEAR(*s.soak.recentRate(), 50.0, 1e-6);

    s.tick(160);
    EXPECT_FALSE(s.soak.isRunning());
    EXPECT_FALSE(s.soak.report().has_value());
    EXPECT_FALSE(s.soak.strip().has_value());
    EXPECT_EQ(s.inhibitor->alive, 0);
    const auto& results = s.m.runner(s.pad).results();
    ASSERT_TRUE(results.contains("soak||processed"));
    const auto& result = results.at("soak||processed");
    EXPECT_EQ(result.verdict, RorozErurEvo::Verdict::pass) << result.headline;
    EXPECT_TRUE(Fakes::said(s.m, QString::fromStdString("Wireless soak test: Pass, " + result.headline)));
    EXPECT_FALSE(s.m.toast().has_value());
}

// The run keeps the gap and pause it started with when the thresholds change while it runs,
// and its result is the one-shot analysis of every report time it took in, to the last digit.
TEST(SoakRunner, TheResultIsTheWholeRunAnalysedWithTheGapAndPauseItStartedWith) {
    SoakBench s;
    auto atStart = s.m.thresholds();
    atStart.soakGapMs = 25; // the 30 ms silence between two quarter-second blocks is a dropout
    s.m.settings().setThresholds(atStart);
    s.soak.start(*s.pad, 1);
    s.run(s.pad, 100, 130);
    auto later = atStart;
    later.soakGapMs = 100;
    later.soakPauseSeconds = 0.01;
    s.m.settings().setThresholds(later);
    s.run(s.pad, 130, 160);
    ASSERT_FALSE(s.soak.isRunning());

    RorozErurEvo::SoakTimeline timeline{100, 160, {}, {}};
    for (double t = 100; t < 160; t += 0.25)
        for (int i = 0; i < 12; ++i) timeline.reports.push_back(t + i * 0.02);
    const auto expected = RorozErurEvo::SoakAnalysis::result(timeline, "", RorozErurEvo::ValueSource::processed,
                                                             atStart, RorozErurEvo::Dates::now());
    const auto& result = s.m.runner(s.pad).results().at("soak||processed");
    EXPECT_EQ(result.measures, expected.measures);
    EXPECT_EQ(result.headline, expected.headline);
    EXPECT_EQ(result.details, expected.details);
    EXPECT_EQ(result.timeline, expected.timeline);
    EXPECT_GT(result.measure("gaps")->value, 200) << "judged with the 25 ms gap throughout";
}

TEST(SoakRunner, AControllerBackUnderANewIdentifierClosesOneOutageAndCarriesItsUnitOver) {
    SoakBench s;
    s.m.deviceLists().setUnit("gc-1", UnitRecord{.unit = "AB12", .stage = "Intake"});
    s.m.runner(s.pad).store("drift|Left Stick|processed", Fakes::someResult(RorozErurEvo::TestKind::drift, "Left Stick"));
    s.m.navigation().setSelection(SidebarItem::device("gc-1"));
    s.soak.start(*s.pad, 10);
    s.run(s.pad, 100, 110);

    s.pad->setConnected(false);
    s.plugIn({});
    s.run(nullptr, 110, 130);
    EXPECT_TRUE(s.soak.waiting());
    EXPECT_FALSE(s.soak.recentRate().has_value()) << "no rate while the controller is away";

    auto back = Fakes::pad("gc-2", "Wireless Pad", "AB12");
    // It logged something just before the runner noticed: that belongs to no run.
    back->buffer().recordButton("b", true, 130.1);
    s.plugIn({back});
    std::size_t before = s.soak.reportCount();
    s.tick(130.25);
    EXPECT_FALSE(s.soak.waiting());
    EXPECT_EQ(s.soak.deviceID(), "gc-2");
    EXPECT_EQ(s.soak.firstID(), "gc-1");
    ASSERT_EQ(s.soak.outages().size(), 1u);
    EXPECT_DOUBLE_EQ(s.soak.outages()[0].from, 110.25);
    EXPECT_EQ(s.soak.outages()[0].to, 130.25);
    EXPECT_EQ(s.m.announcer().spoken().count("Disconnected. Waiting for it to reconnect."), 1);
    EXPECT_EQ(s.m.announcer().spoken().count("Reconnected. The soak test carries on."), 1);

    // Carry-over: the unit record, the results and the selection follow the controller.
    EXPECT_EQ(s.m.deviceLists().units().at("gc-2").stage, "Intake");
    EXPECT_TRUE(s.m.runner(back).results().contains("drift|Left Stick|processed"));
    EXPECT_EQ(s.m.navigation().selection(), SidebarItem::device("gc-2"));

    s.run(back, 130.3, 132.3);
    EXPECT_EQ(s.soak.reportCount(), before + 8 * 12) << "only what it reported after its return";
    EXPECT_TRUE(s.soak.isRunning(*back));
}

TEST(SoakRunner, AnotherUnitOfTheSameModelThatWasAlreadyThereIsNeverTakenForTheReturningOne) {
    SoakBench s;
    auto first = Fakes::pad("gc-1", "Wireless Pad");
    auto twin = Fakes::pad("gc-3", "Wireless Pad");
    s.plugIn({first, twin});
    s.soak.start(*first, 10);
    s.run(first, 100, 101);

    s.plugIn({twin});
    s.run(twin, 101, 110);
    EXPECT_TRUE(s.soak.waiting());
    EXPECT_EQ(s.soak.deviceID(), "gc-1");

    auto back = Fakes::pad("gc-4", "Wireless Pad");
    s.plugIn({twin, back});
    s.tick(110.5);
    EXPECT_EQ(s.soak.deviceID(), "gc-4");
}

TEST(SoakRunner, AControllerBackUnderItsOwnIdentifierEndsTheOutage) {
    SoakBench s;
    s.soak.start(*s.pad, 10);
    s.run(s.pad, 100, 105);
    s.pad->setConnected(false);
    s.run(nullptr, 105, 110);
    ASSERT_TRUE(s.soak.waiting());

    s.pad->setConnected(true);
    s.tick(110.25);
    EXPECT_FALSE(s.soak.waiting()) << "the same controller is back, not away for the rest of the run";
    ASSERT_EQ(s.soak.outages().size(), 1u);
    EXPECT_EQ(s.soak.outages()[0].to, 110.25);
    EXPECT_TRUE(Fakes::said(s.m, "Reconnected. The soak test carries on."));
    std::size_t before = s.soak.reportCount();
    s.run(s.pad, 110.3, 111.3);
    EXPECT_EQ(s.soak.reportCount(), before + 4 * 12);
}

TEST(SoakRunner, EachReportIsTakenOnceAcrossStreamsAndIntakes) {
    SoakBench s;
    auto partner = Fakes::pad("hid-5", "Wireless Pad", std::nullopt, InputDevice::Kind::hid);
    s.pad->setRawPartner(partner);
    s.soak.start(*s.pad, 10);
    s.pad->buffer().recordButton("a", true, 100.0); // exactly at the start
    s.pad->buffer().recordMotion(RorozErurEvo::MotionSample{.t = 100.1, .rotation = std::nullopt, .acceleration = std::nullopt});
    partner->buffer().recordButton("b", true, 100.2);
    for (double now : {100.25, 100.5, 100.75, 101.0}) s.tick(now);
    EXPECT_EQ(s.soak.recentReports(), (std::vector<double>{100.0, 100.1, 100.2}));
    EXPECT_EQ(s.soak.reportCount(), 3u);

    // A tick less than a quarter second after the last intake does nothing at all, not even
    // the time-up check.
    s.pad->buffer().recordButton("a", false, 101.05);
    s.tick(101.2);
    EXPECT_EQ(s.soak.reportCount(), 3u);
    s.tick(701.1); // long past the end, but only 0.1 s after…
    s.tick(701.15);
    EXPECT_FALSE(s.soak.isRunning());
}

TEST(SoakRunner, RecentRateCountsTheLastThreeSeconds) {
    SoakBench s;
    s.soak.start(*s.pad, 10);
    s.tick(101);
    EXPECT_EQ(s.soak.recentRate(), 0.0) << "no report yet";
    for (int i = 0; i < 60; ++i) s.pad->buffer().recordButton("a", i % 2 == 0, 101 + i * 0.05);
    s.tick(104);
    EXPECT_NEAR(*s.soak.recentRate(), 20.0, 1e-6);
}

// A report the raw partner sees too is one report, as the result counts it; so is a motion
// reading that came with it.
TEST(SoakRunner, RecentRateCountsAReportSeenOnSeveralStreamsOnce) {
    SoakBench s;
    auto partner = Fakes::pad("hid-5", "Wireless Pad", std::nullopt, InputDevice::Kind::hid);
    s.pad->setRawPartner(partner);
    s.soak.start(*s.pad, 10);
    s.tick(101);
    for (int i = 0; i < 60; ++i) {
        const double t = 101 + i * 0.05;
        s.pad->buffer().recordButton("a", i % 2 == 0, t);
        s.pad->buffer().recordMotion(RorozErurEvo::MotionSample{.t = t, .rotation = std::nullopt, .acceleration = std::nullopt});
        partner->buffer().recordButton("b", i % 2 == 0, t);
    }
    for (double now = 101.25; now <= 104; now += 0.25) s.tick(now);
    EXPECT_NEAR(*s.soak.recentRate(), 20.0, 1e-6);
}

TEST(SoakRunner, JudgingEarlyWhileTheControllerIsAwayReportsItInAToastOnly) {
    SoakBench s;
    s.soak.start(*s.pad, 10);
    s.run(s.pad, 100, 102);
    s.plugIn({});
    s.run(nullptr, 102, 104);
    s.soak.finish(104);

    ASSERT_TRUE(s.m.toast().has_value());
    const std::string& toast = *s.m.toast();
    EXPECT_TRUE(toast.starts_with("Soak test ended: ")) << toast;
    EXPECT_TRUE(toast.ends_with(". The controller didn't come back.")) << toast;
    EXPECT_TRUE(Fakes::said(s.m, QString::fromStdString(toast)));
    EXPECT_TRUE(s.m.runner(s.pad).results().empty());
    EXPECT_EQ(s.inhibitor->alive, 0);
}

TEST(SleepInhibitor, WithoutASystemBusNothingIsHeldAndNothingFails) {
    // Read once, when the process first asks for the system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/tessarine-test-bus");
    if (QDBusConnection::systemBus().isConnected()) GTEST_SKIP() << "this process already reached a real system bus";
    LogindSleepInhibitor inhibitor;
    EXPECT_EQ(inhibitor.inhibit(QStringLiteral("Wireless soak test")), nullptr);

    // A run still starts and ends normally.
    SoakBench s;
    s.soak.setSleepInhibitor(std::make_shared<LogindSleepInhibitor>());
    s.soak.start(*s.pad, 1);
    EXPECT_TRUE(s.soak.isRunning());
    EXPECT_FALSE(s.soak.holdsSleep());
    s.soak.stop();
}
