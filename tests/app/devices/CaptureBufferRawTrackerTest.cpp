// A raw element's tracker takes in the raw log's entries only when something reads it, or when
// the log is about to drop entries it has not taken. Read now and then, it must equal a tracker
// that took every value as it came: the same values, range, changes and history to the last
// entry, whatever the log dropped in between and whatever the limits were when each value came.
#include "app/devices/CaptureBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace Tessarine;

namespace {

// Equal to the bit: a history may hold a time that is not a number, which == never matches.
testing::AssertionResult sameTrackers(const std::map<std::string, RorozErurEvo::AxisTracker>& a,
                                      const std::map<std::string, RorozErurEvo::AxisTracker>& b) {
    if (a.size() != b.size()) return testing::AssertionFailure() << a.size() << " trackers against " << b.size();
    for (const auto& [key, x] : a) {
        const auto it = b.find(key);
        if (it == b.end()) return testing::AssertionFailure() << key << " is missing";
        const auto& y = it->second;
        if (x.value != y.value || x.minSeen != y.minSeen || x.maxSeen != y.maxSeen || x.changes != y.changes)
            return testing::AssertionFailure() << key << ": value, range or changes differ";
        if (x.values() != y.values() || x.times().size() != y.times().size() ||
            std::memcmp(x.times().data(), y.times().data(), x.times().size() * sizeof(double)) != 0)
            return testing::AssertionFailure() << key << ": histories differ (" << x.times().size() << " and "
                                               << y.times().size() << " entries)";
    }
    return testing::AssertionSuccess();
}

TEST(CaptureBufferRawTrackers, TrackersReadNowAndThenEqualTrackersReadAfterEveryValue) {
    // A small budget: raw logs of a few hundred entries that trim again and again, tracker
    // histories cut to a few dozen, and limits that shrink as new elements come.
    constexpr std::size_t budget = 256u << 10;
    CaptureBuffer now(budget);  // read after every value: its trackers take each value as it comes
    CaptureBuffer later(budget); // read only at the checks below
    std::vector<std::string> keys{"e1", "e2", "e3"};
    for (int n = 0; n < 8; ++n) keys.push_back("late" + std::to_string(n));

    std::mt19937 random(11);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    double t = 100;
    int checks = 0;
    for (int value = 0; value < 60'000; ++value) {
        // Mostly 8 kHz, sometimes the same time again or a step back, a few jumps past the
        // logs' span (so that they drop all but their newest entries), and once a time that is
        // not a number.
        const int step = pick(100);
        t += value % 15'000 == 14'999 ? 2000 : step < 5 ? 0 : step < 7 ? -0.01 : 0.000125;
        const double at = value == 33'333 ? std::numeric_limits<double>::quiet_NaN() : t;
        const int keyCount = 3 + std::min(8, value / 6'000);
        const auto& key = keys[static_cast<std::size_t>(pick(keyCount))];
        const int raw = 500 + pick(9) - 4 + (pick(400) == 0 ? 3000 : 0);
        now.recordRaw(key, raw, at);
        later.recordRaw(key, raw, at);
        (void)now.memoryBytes(); // a read: every tracker of `now` takes what came

        if (pick(3'000) == 0) {
            ++checks;
            ASSERT_TRUE(sameTrackers(later.rawTrackers(), now.rawTrackers())) << "value " << value;
            ASSERT_EQ(later.rawLive(t), now.rawLive(t)) << "value " << value;
            ASSERT_EQ(later.memoryBytes(), now.memoryBytes());
        }
        if (pick(10'000) == 0) { // a range reset takes in what came first
            later.resetRawRange();
            now.resetRawRange();
        }
    }
    EXPECT_TRUE(sameTrackers(later.rawTrackers(), now.rawTrackers()));
    EXPECT_GT(checks, 5);
    // The stream did what it is for: the logs dropped most of what came, and histories were cut.
    EXPECT_LT(later.rawValues("e1", -1e12, 1e12).size(), 2'000u);
    EXPECT_EQ(later.rawTrackers().size(), keys.size());
}

} // namespace
