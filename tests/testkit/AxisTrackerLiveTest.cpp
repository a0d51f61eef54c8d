#include "testkit/AxisTrackerLive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace RorozErurEvo;

namespace {

// Frame after frame, the live figures equal the tracker's own, whatever the stream does: steady
// and bursty rates, slow ones, stops that are pauses and silences longer than the window, equal
// times, a time back in time, a time that is not a number, and `now` going back.
TEST(AxisTrackerLive, EveryFrameEqualsTheTrackersOwnFigures) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        std::mt19937 random(seed);
        AxisTracker tracker(1.0);
        AxisTrackerLive live;
        double t = 5, now = 5;
        for (int frame = 0; frame < 2500; ++frame) {
            const int values = static_cast<int>(random() % 40);
            for (int i = 0; i < values; ++i) {
                const auto kind = random() % 1000;
                if (kind == 0) t += 1.5;                       // silence longer than the window
                else if (kind == 1 && seed % 2) t -= 0.01;     // back in time
                else if (kind == 2 && seed == 3) t = NAN;      // a broken time stamp
                else if (kind < 50) t += 0;                     // the same time again
                else if (kind < 60) t += 0.05 + (random() % 30) * 0.01; // a stop, often a pause
                else if (seed >= 4) t += (random() % 8 + 1) * 0.01;    // a slow device
                else t += (random() % 8 + 1) * 0.000125;
                if (std::isnan(t) && random() % 2) t = now;
                tracker.add(static_cast<int>(random() % 200) - 100, t);
            }
            now += 1.0 / 60;
            if (random() % 500 == 0) now -= 0.5;
            if (!std::isnan(t) && random() % 700 == 0) now = t + 3;
            const auto figures = live.update(tracker, now);
            ASSERT_EQ(figures.jitter, tracker.jitter(now)) << "seed " << seed << " frame " << frame;
            ASSERT_EQ(figures.rate, tracker.rate(now)) << "seed " << seed << " frame " << frame;
        }
    }
}

} // namespace
