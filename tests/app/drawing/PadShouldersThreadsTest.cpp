#include "app/drawing/PadShoulders.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

using namespace Tessarine;

namespace {

struct Bands {
    std::array<QPainterPath, 4> paths;
    std::array<QRectF, 4> bounds;
};

// Every band as this thread has it, measured here (a path works its bounds out when first asked).
Bands bandsHere() {
    Bands bands;
    int i = 0;
    for (const bool left : {true, false}) {
        for (const bool trigger : {false, true}) {
            const QPainterPath& band = trigger ? triggerBand(left) : bumperBand(left);
            bands.paths[i] = band;
            bands.bounds[i] = band.boundingRect();
            ++i;
        }
    }
    return bands;
}

} // namespace

// The bands are worked out once for the process and each thread draws and measures a copy of its
// own: threads that first ask for them at once, with and without their being worked out ahead,
// all get the same outlines, and measure them side by side without a race.
TEST(PadShoulderThreads, EveryThreadGetsTheSameBandsOfItsOwn) {
    constexpr int threads = 4;
    std::vector<Bands> seen(threads);
    {
        std::vector<std::jthread> running;
        for (int t = 0; t < threads; ++t) {
            running.emplace_back([t, &seen] {
                if (t % 2 == 0) workOutShoulderBands();
                seen[t] = bandsHere();
            });
        }
    }
    const Bands here = bandsHere();
    for (int t = 0; t < threads; ++t) {
        for (std::size_t i = 0; i < here.paths.size(); ++i) {
            EXPECT_EQ(seen[t].paths[i], here.paths[i]) << "thread " << t << ", band " << i;
            EXPECT_EQ(seen[t].bounds[i], here.bounds[i]) << "thread " << t << ", band " << i;
        }
        EXPECT_FALSE(seen[t].bounds[0].isEmpty());
    }
}
