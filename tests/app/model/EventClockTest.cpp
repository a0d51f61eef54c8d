#include "app/model/EventClock.h"

#include <gtest/gtest.h>

using Tessarine::EventClock;

TEST(EventClock, MapsEventStampsOntoUptimeAndDistrustsStaleOnes) {
    EventClock clock;
    EXPECT_DOUBLE_EQ(clock.toUptime(5000, 100.0), 100.0);
    // Delivered 20 ms late: keeps its own time.
    EXPECT_NEAR(clock.toUptime(5100, 100.12), 100.1, 1e-9);
    // A faster delivery tightens the offset for every later event.
    EXPECT_NEAR(clock.toUptime(5200, 100.195), 100.195, 1e-9);
    EXPECT_NEAR(clock.toUptime(5300, 100.31), 100.295, 1e-9);
    // A stamp far behind its arrival (synthetic event, stale repeat) is timed by arrival.
    EXPECT_DOUBLE_EQ(clock.toUptime(0, 101.0), 101.0);
    EXPECT_DOUBLE_EQ(clock.toUptime(5400, 102.0), 102.0);
}
