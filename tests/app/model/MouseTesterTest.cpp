#include "app/model/MouseTester.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Tessarine;
using namespace RorozErurEvo;

TEST(MouseTester, FreshResultFailsWithLeftAndRightMissing) {
    MouseTester mouse;
    auto result = mouse.results(80);
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "0 of 2 buttons, no double-click chatter");
    EXPECT_EQ(result.details, (std::vector<std::string>{"Buttons: Left 0×, Right 0×.", "Not registered: Left, Right."}));
    ASSERT_EQ(result.measures.size(), 2u);
    EXPECT_EQ(result.measures[0].id, "missing");
    EXPECT_EQ(result.measures[1].id, "chatter");
}

TEST(MouseTester, PressesChatterAndButtonNames) {
    MouseTester mouse;
    mouse.button(0, true, 1.0);
    mouse.button(0, true, 1.01); // already down: neither counted nor logged
    mouse.button(0, false, 1.1);
    mouse.button(1, false, 1.2); // never pressed: ignored
    mouse.button(1, true, 1.3);
    mouse.button(1, false, 1.4);
    EXPECT_EQ(mouse.events().size(), 4u);
    mouse.button(0, true, 1.15); // 50 ms after the left release, inside the 80 ms window
    mouse.button(0, false, 1.2);
    auto result = mouse.results(80);
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "all 2 buttons OK, double-click chatter 1×");
    mouse.button(2, true, 2.0);
    EXPECT_EQ(mouse.results(80).headline.substr(0, 17), "all 3 buttons OK,");
    EXPECT_EQ(MouseTester::buttonName(5), "Button 6");
    EXPECT_EQ(MouseTester::buttonName(3), "Back (4)");
}

TEST(MouseTester, WheelNotchesSmoothScrollingAndReversals) {
    MouseTester mouse;
    mouse.wheel(0, true, 0.5);
    mouse.wheel(-30, true, 0.6);
    EXPECT_EQ(mouse.smoothScrolls(), 2);
    EXPECT_TRUE(mouse.scrolls().empty());
    auto quiet = mouse.results(80);
    EXPECT_FALSE(quiet.measure("reversals"));
    // A high-resolution wheel sends parts of a notch.
    for (int i = 0; i < 8; ++i) mouse.wheel(60, false, 1.0 + i * 0.01);
    EXPECT_EQ(mouse.scrolls().size(), 4u);
    mouse.wheel(-120, false, 1.1);
    auto result = mouse.results(80);
    ASSERT_TRUE(result.measure("reversals"));
    EXPECT_EQ(result.measure("reversals")->value, 1);
    EXPECT_EQ(result.details[1], "Wheel: 4 steps up, 1 down, 1 reversal.");
}

TEST(MouseTester, HoldCheckRunsFiveSecondsAndCountsDrops) {
    MouseTester mouse;
    mouse.startHold();
    mouse.button(0, true, 10.0);
    EXPECT_EQ(mouse.hold(), MouseTester::HoldState(MouseTester::Holding{10.0}));
    mouse.button(0, false, 12.0);
    mouse.button(0, true, 12.1);
    mouse.tick(15.0); // still pressed at five seconds: keeps holding
    EXPECT_TRUE(std::holds_alternative<MouseTester::Holding>(mouse.hold()));
    mouse.button(0, false, 15.5);
    mouse.tick(15.6);
    auto* done = std::get_if<MouseTester::Done>(&mouse.hold());
    ASSERT_TRUE(done);
    EXPECT_EQ(done->drops, 1);
    EXPECT_EQ(mouse.results(80).measure("drops")->value, 1);
    // Every button seen without chatter: the hold that fails is named in the headline.
    mouse.button(1, true, 16.0);
    mouse.button(1, false, 16.1);
    EXPECT_EQ(mouse.results(80).verdict, Verdict::fail);
    EXPECT_EQ(mouse.results(80).headline, "all 2 buttons OK, no double-click chatter, let go 1× while held");

    mouse.startHold();
    mouse.button(0, true, 20.0);
    mouse.button(0, false, 22.0);
    mouse.tick(24.9);
    EXPECT_TRUE(std::holds_alternative<MouseTester::Holding>(mouse.hold()));
    mouse.tick(25.0);
    EXPECT_EQ(mouse.hold(), MouseTester::HoldState(MouseTester::Done{0, 2.0}));
    mouse.reset();
    EXPECT_EQ(mouse.hold(), MouseTester::HoldState(MouseTester::Idle{}));
}

TEST(MouseTester, ReportRateFromMovesAndTheBoundedMoveLog) {
    MouseTester mouse;
    mouse.move(1.0);
    EXPECT_FALSE(mouse.rate());
    for (int i = 1; i <= 300; ++i) mouse.move(1.0 + i * 0.002); // 500 Hz
    ASSERT_TRUE(mouse.rate());
    EXPECT_NEAR(mouse.rate()->hz, 500, 1);
    EXPECT_FALSE(mouse.rate()->atLeast);
    for (int i = 0; i < 4000; ++i) mouse.move(5.0 + i * 0.001);
    EXPECT_LE(mouse.moves().size(), 4001u);
    EXPECT_GE(mouse.moves().size(), 2001u);
    mouse.reset();
    EXPECT_FALSE(mouse.rate());
}

// The window system stamps moves in whole milliseconds: at 2,000 moves a second two share each
// stamp, and the rate is told as the floor the stamps allow; at 500 a second it is measured.
TEST(MouseTester, MovesFasterThanTheirMillisecondStampsGiveAFloorNotAFigure) {
    const auto stamped = [](int n, double perSecond) { return 10.0 + std::floor(n * 1000.0 / perSecond) / 1000.0; };

    MouseTester fast;
    for (int n = 0; n < 2000; ++n) fast.move(stamped(n, 2000));
    ASSERT_TRUE(fast.rate());
    EXPECT_EQ(*fast.rate(), (RorozErurEvo::TimedRate{1000, true, 0.001}));
    const auto result = fast.results(80);
    EXPECT_EQ(result.measure("rate"), std::nullopt) << "a floor is never compared as a figure";
    ASSERT_TRUE(result.measure("rateFloor")) << "the screen showed a rate, so the saved result keeps it";
    EXPECT_EQ(result.measure("rateFloor")->value, 1000);
    EXPECT_EQ(result.measure("rateFloor")->label, "Report rate, at least");
    EXPECT_EQ(result.verdict, RorozErurEvo::Verdict::fail) << "the floor judges nothing: the untested buttons do";
    EXPECT_NE(std::find(result.details.begin(), result.details.end(),
                        "Report rate: \u2265 1,000 reports/s (the system times events to the millisecond)."),
              result.details.end());

    MouseTester steady;
    for (int n = 0; n < 500; ++n) steady.move(stamped(n, 500));
    ASSERT_TRUE(steady.rate());
    EXPECT_FALSE(steady.rate()->atLeast);
    EXPECT_NEAR(steady.rate()->hz, 500, 1);
    ASSERT_TRUE(steady.results(80).measure("rate"));
    EXPECT_NEAR(steady.results(80).measure("rate")->value, 500, 1);
    EXPECT_EQ(steady.results(80).measure("rateFloor"), std::nullopt);
}
