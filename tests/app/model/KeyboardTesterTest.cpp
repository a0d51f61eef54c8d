#include "app/model/KeyboardTester.h"
#include "app/model/Preferences.h"
#include "testkit/ChatterAnalysis.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;
using Kind = KeyboardLayout::Kind;

namespace {
constexpr int A = 0, B = 11, Esc = 53;

struct KeyboardFixture : ::testing::Test {
    MemoryPreferences prefs;
    KeyboardTester tester{prefs};
    void SetUp() override { tester.start(); }
};
} // namespace

TEST_F(KeyboardFixture, LayoutComesFromTheDefaultsAndIsWrittenOnEveryAssignment) {
    EXPECT_EQ(tester.layoutKind(), Kind::ansi);
    tester.setLayoutKind(Kind::ansi);
    EXPECT_EQ(prefs.string("keyboardLayout"), QStringLiteral("ansi"));
    prefs.setString("keyboardLayout", "iso");
    EXPECT_EQ(KeyboardTester(prefs).layoutKind(), Kind::iso);
    prefs.setString("keyboardLayout", "ISO");
    EXPECT_EQ(KeyboardTester(prefs).layoutKind(), Kind::ansi);
}

TEST_F(KeyboardFixture, PressesReleasesAndRollover) {
    tester.key(A, true, false, 1.0);
    tester.key(A, true, false, 1.01); // arrived twice: a repeat, never a second press
    tester.key(B, true, false, 1.1);
    tester.key(A, false, false, 1.2);
    tester.key(A, false, false, 1.3); // not held: dropped
    ASSERT_EQ(tester.events().size(), 3u);
    EXPECT_EQ(tester.events()[0], (ButtonEvent{"key-0", true, 1.0}));
    EXPECT_EQ(tester.events()[2], (ButtonEvent{"key-0", false, 1.2}));
    EXPECT_EQ(tester.maxRollover(), 2);
    EXPECT_EQ(tester.rolloverKeys(), (std::vector<int>{A, B}));
    EXPECT_EQ(tester.held(), (std::set<int>{B}));
    EXPECT_EQ(tester.lastKey(), B);
}

TEST_F(KeyboardFixture, KeyRepeatDelayAndRateAndNoChatterFromRepeats) {
    tester.key(A, true, false, 0.0);
    tester.key(A, true, true, 0.50);
    EXPECT_EQ(tester.repeatDelay(), 0.5);
    tester.key(A, true, true, 0.53);
    EXPECT_FALSE(tester.repeatRate());
    tester.key(A, true, true, 0.56);
    ASSERT_TRUE(tester.repeatRate());
    EXPECT_NEAR(*tester.repeatRate(), 33.33, 0.01);
    tester.key(A, false, false, 0.6);
    EXPECT_EQ(ChatterAnalysis::total(ChatterAnalysis::analyze(tester.events(), 30)), 0);
    EXPECT_TRUE(tester.results(30).measure("repeat"));
    // A new key empties the repeat log; the delay is measured again from its first repeat.
    tester.key(B, true, false, 1.0);
    tester.key(B, true, true, 1.3);
    EXPECT_NEAR(*tester.repeatDelay(), 0.3, 1e-9);
}

TEST_F(KeyboardFixture, LinuxAutoRepeatReleasesAreIgnored) {
    // X11 auto-repeat: fake release then repeated press, both flagged auto-repeat.
    tester.linuxKey(30, true, false, 0.0); // A
    tester.linuxKey(30, false, true, 0.5);
    tester.linuxKey(30, true, true, 0.5);
    tester.linuxKey(30, false, false, 0.7);
    ASSERT_EQ(tester.events().size(), 2u);
    EXPECT_EQ(tester.repeatDelay(), 0.5);
    tester.stop();
    EXPECT_FALSE(tester.linuxKey(30, true, false, 1.0));
    EXPECT_EQ(tester.events().size(), 2u);
}

TEST_F(KeyboardFixture, HoldingEscStopsCaptureAfterOneAndAHalfSeconds) {
    tester.key(Esc, true, false, 10.0);
    tester.tick(11.49);
    EXPECT_TRUE(tester.capturing());
    tester.tick(11.5);
    EXPECT_FALSE(tester.capturing());
    EXPECT_TRUE(tester.held().empty());

    tester.start();
    tester.key(Esc, true, false, 20.0);
    tester.key(Esc, true, true, 21.6); // a repeat past the limit stops too
    EXPECT_FALSE(tester.capturing());

    tester.start();
    tester.key(Esc, true, false, 30.0);
    tester.key(Esc, false, false, 30.5);
    tester.key(Esc, true, false, 31.0);
    tester.tick(32.0); // the hold began again at 31.0
    EXPECT_TRUE(tester.capturing());
}

TEST_F(KeyboardFixture, ResultListsEveryLayoutKeyWithRolloverAndLayoutLine) {
    auto fresh = tester.results(30);
    EXPECT_EQ(fresh.kind, TestKind::keyboard);
    EXPECT_FALSE(fresh.measure("repeat"));
    ASSERT_TRUE(fresh.measure("rollover"));
    EXPECT_EQ(fresh.measure("rollover")->value, 0);
    EXPECT_EQ(fresh.details.back(), "Layout: US (ANSI). Most keys registered together: 0.");
    tester.setLayoutKind(Kind::iso);
    tester.linuxKey(41, true, false, 1.0); // left of "1": Section on ISO
    tester.linuxKey(41, false, false, 1.1);
    EXPECT_EQ(tester.events().front().input, "key-10");
    auto iso = tester.results(30);
    EXPECT_EQ(iso.details.back(), "Layout: ISO. Most keys registered together: 1.");
    EXPECT_EQ(iso.verdict, Verdict::fail); // 104 of 105 keys never pressed
    EXPECT_EQ(iso.headline, "1 of 105 keys registered, no chatter");
}

TEST_F(KeyboardFixture, KeypadAndNavigationKeysAreExpectedAndKeysNoBoardDrawsAreOtherInputs) {
    for (int linux : {79, 110, 183}) { // Keypad 1, Insert, F13
        tester.linuxKey(linux, true, false, 1.0);
        tester.linuxKey(linux, false, false, 1.1);
    }
    auto result = tester.results(30);
    EXPECT_EQ(result.headline, "2 of 104 keys registered, no chatter");
    EXPECT_EQ(result.measure("missing")->value, 102);
    EXPECT_NE(std::find(result.details.begin(), result.details.end(), "Also pressed: 1 other input."),
              result.details.end());
    // A saved result keeps no key codes, only its texts and figures, and reads back whole.
    EXPECT_EQ(TestResult::fromJson(result.toJson()).toJson(), result.toJson());
}

TEST_F(KeyboardFixture, ResetKeepsCaptureAndDropsReleasesOfKeysHeldBefore) {
    QSignalSpy spy(&tester, &KeyboardTester::changed);
    tester.key(A, true, false, 1.0);
    tester.reset();
    EXPECT_TRUE(tester.capturing());
    tester.key(A, false, false, 1.5);
    EXPECT_TRUE(tester.events().empty());
    EXPECT_GE(spy.count(), 2);
}
