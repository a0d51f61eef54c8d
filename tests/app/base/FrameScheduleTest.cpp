#include "app/base/FrameSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Tessarine;

// A timer that waits whole milliseconds, rounded up, and fires up to 1.5 ms late: over a minute
// the frames come 60 times a second, and a stall of a tenth of a second skips the frames it
// covered instead of firing them in a burst afterwards.
TEST(FrameSchedule, KeepsSixtyFramesASecondOnAverage) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> late(0, 0.0015);
    FrameSchedule schedule(1.0 / 60, 0);
    double now = 0;
    int frames = 0;
    while (now < 60) {
        const double wait = schedule.next(now);
        ASSERT_GE(wait, 0);
        now += std::ceil(wait * 1000) / 1000 + late(random);
        if (frames == 1800) now += 0.1; // the event loop was busy
        ++frames;
    }
    EXPECT_NEAR(frames, 3600 - 6, 2); // the stall cost its six frames, not a burst
}
