#include "testkit/RumbleMixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace RorozErurEvo;
using Motor = RumbleMixer::Motor;
using Pair = RumbleMixer::Pair;

TEST(RumbleMixer, ARumbleOnOneHandleResendsItsPartnerUntilTheLaterEnd) {
    RumbleMixer mixer;
    mixer.start(Motor::low, 1.0, 2.0, 10.0);
    mixer.start(Motor::high, 0.5, 0.5, 10.5);
    // Both handles run together; the pair lasts until the left one ends at 12.
    EXPECT_EQ(mixer.handles(10.5), (Pair{65535, 32768, 1500}));
    EXPECT_EQ(mixer.nextChange(10.5), 11.0);
    // The right handle has ended: the left keeps running alone for what is left of its time.
    EXPECT_EQ(mixer.handles(11.0), (Pair{65535, 0, 1000}));
    EXPECT_EQ(mixer.nextChange(11.0), 12.0);
    EXPECT_EQ(mixer.handles(12.0), Pair{});
    EXPECT_EQ(mixer.nextChange(12.0), std::nullopt);
    // The triggers were never asked for.
    EXPECT_EQ(mixer.triggers(10.5), Pair{});
}

TEST(RumbleMixer, ANewRumbleReplacesTheOldOneAndStopEndsAll) {
    RumbleMixer mixer;
    mixer.start(Motor::leftTrigger, 0.25, 5.0, 0.0);
    mixer.start(Motor::leftTrigger, 1.0, 0.1, 1.0);
    EXPECT_EQ(mixer.triggers(1.0), (Pair{65535, 0, 100}));
    mixer.start(Motor::rightTrigger, 1.0, 3.0, 1.0);
    mixer.start(Motor::low, 1.0, 3.0, 1.0);
    mixer.stop();
    EXPECT_EQ(mixer.triggers(1.0), Pair{});
    EXPECT_EQ(mixer.handles(1.0), Pair{});
    EXPECT_EQ(mixer.nextChange(1.0), std::nullopt);
    // A strength of 0 is a stop of that motor too.
    mixer.start(Motor::high, 1.0, 3.0, 1.0);
    mixer.start(Motor::high, 0.0, 3.0, 1.0);
    EXPECT_EQ(mixer.handles(1.0), Pair{});
}

TEST(RumbleMixer, UntrustedStrengthsAndDurationsAreBounded) {
    RumbleMixer mixer;
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::nan(""), -1.0, inf}) {
        mixer.start(Motor::low, 1.0, bad, 0.0);
        EXPECT_EQ(mixer.handles(0.0), Pair{}) << bad;
        mixer.start(Motor::low, bad, 1.0, 0.0);
        EXPECT_EQ(mixer.handles(0.0), Pair{}) << bad;
    }
    // Too strong is full strength; too long is cut to the longest single rumble.
    mixer.start(Motor::high, 7.0, 1e9, 0.0);
    EXPECT_EQ(mixer.handles(0.0), (Pair{0, 65535, 60'000}));
    // A motor ending within the millisecond still gets a duration of at least 1 ms.
    mixer.start(Motor::low, 0.5, 0.0001, 0.0);
    EXPECT_EQ(mixer.handles(0.0).ms, 60'000u);
    EXPECT_EQ(mixer.nextChange(0.0), 0.0001);
}
