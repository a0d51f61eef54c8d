#include "testkit/SnapbackAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

using namespace RorozErurEvo;

namespace {

constexpr double step = 0.002; // seconds between readings: a 500 Hz recording

// A recording built from stretches of constant readings.
struct Recording {
    std::vector<StickSample> samples;

    // Readings at (x, y) from `from` up to but not including `until`.
    Recording& hold(double from, double until, double x, double y) {
        for (int i = 0; from + i * step < until - 1e-9; ++i)
            samples.push_back(StickSample{from + i * step, x, y, std::nullopt});
        return *this;
    }
    // Rest, a push to the edge toward `direction`, then the first reading back at (x, y) `gap`
    // seconds after the last pushed one, held for `restFor` seconds. Returns the last pushed time.
    double pushAndLetGo(Direction8 direction, double gap, double x, double y, double restFor = 0.6) {
        const double start = samples.empty() ? 0 : samples.back().t + step;
        hold(start, start + 0.2, 0, 0);
        hold(start + 0.2, start + 0.5, vector(direction).x, vector(direction).y);
        const double pushedAt = samples.back().t;
        hold(pushedAt + gap, pushedAt + gap + restFor, x, y);
        return pushedAt;
    }
    std::vector<Release> releases(std::optional<double> until = std::nullopt) const {
        return SnapbackAnalysis::releases(samples, until);
    }
    TestResult result(const Thresholds& thresholds = Thresholds{}) const {
        return SnapbackAnalysis::result(samples, "Left stick", ValueSource::processed, std::nullopt,
                                        thresholds, Dates::fromSeconds(1'800'000'000));
    }
};

} // namespace

TEST(SnapbackReleases, TimingRulesForAcceptingARelease) {
    Recording quick, slow, lingering, cut;
    const double pushedAt = quick.pushAndLetGo(Direction8::right, 0.09, 0, 0);
    ASSERT_EQ(quick.releases().size(), 1u);
    EXPECT_EQ(quick.releases()[0].t, pushedAt);
    slow.pushAndLetGo(Direction8::right, 0.11, 0, 0);
    EXPECT_TRUE(slow.releases().empty());
    // Lingering between the middle and the edge past a tenth of a second also rejects the push.
    lingering.hold(0, 0.2, 0, 0).hold(0.2, 0.5, 1, 0).hold(0.5, 0.65, 0.5, 0).hold(0.65, 1.5, 0, 0);
    EXPECT_TRUE(lingering.releases().empty());

    // The recording must go on for the quiet period after the release: by default it ends at
    // its last reading.
    const double cutPush = cut.pushAndLetGo(Direction8::up, 0.01, 0, 0, 0.3);
    EXPECT_TRUE(cut.releases().empty());
    EXPECT_EQ(cut.releases(cutPush + 0.01 + 0.35).size(), 1u);
    EXPECT_TRUE(cut.releases(cutPush + 0.01 + 0.34).empty());
}

TEST(SnapbackReleases, SpringingBackOutDropsThatPushOnly) {
    Recording r;
    r.hold(0, 0.2, 0, 0)
        .hold(0.2, 0.5, 1, 0)
        .hold(0.5, 0.7, 0, 0)
        .hold(0.7, 0.701, 0.3, 0)
        .hold(0.702, 1.2, 0, 0);
    EXPECT_TRUE(r.releases().empty());
    const double pushedAt = r.pushAndLetGo(Direction8::left, 0.01, 0, 0);
    auto found = r.releases();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].t, pushedAt);
    EXPECT_EQ(found[0].direction, Direction8::left);
}

TEST(SnapbackReleases, RestingPointSettleTimeAndOvershoot) {
    Recording exact, swing, off;
    exact.pushAndLetGo(Direction8::right, 0.01, 0, 0);
    auto centred = exact.releases();
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(centred[0].settle, PlotPoint::zero);
    EXPECT_EQ(centred[0].offset, 0);
    EXPECT_NEAR(centred[0].settleMs, 9, 1e-6); // held at the edge on the 1 ms grid until 10 ms
    EXPECT_EQ(centred[0].overshoot, 0);

    const double pushedAt = swing.pushAndLetGo(Direction8::right, 0.01, -0.05, 0, 0.1);
    swing.hold(pushedAt + 0.11, pushedAt + 0.8, 0, 0);
    auto swung = swing.releases();
    ASSERT_EQ(swung.size(), 1u);
    EXPECT_NEAR(swung[0].overshoot, 0.05, 1e-12);
    EXPECT_NEAR(swung[0].settleMs, 109, 1.01);

    // Resting off centre on the side pushed from: an offset but no overshoot.
    off.pushAndLetGo(Direction8::downLeft, 0.01, -0.03, -0.04);
    auto rest = off.releases();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_NEAR(rest[0].offset, 0.05, 1e-12);
    EXPECT_EQ(rest[0].overshoot, 0);
}

TEST(SnapbackReleases, UnorderedAndBrokenReadingsGiveTheSameReleases) {
    Recording r;
    r.pushAndLetGo(Direction8::up, 0.02, 0.01, 0);
    r.pushAndLetGo(Direction8::downRight, 0.03, 0, -0.02);
    const auto expected = r.releases();
    ASSERT_EQ(expected.size(), 2u);
    auto shuffled = r.samples;
    std::reverse(shuffled.begin(), shuffled.end());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    shuffled.push_back(StickSample{nan, 1, 0, std::nullopt});
    shuffled.push_back(StickSample{0.5, nan, 0, std::nullopt});
    shuffled.insert(shuffled.begin() + 7,
                    StickSample{0.3, 0, std::numeric_limits<double>::infinity(), std::nullopt});
    EXPECT_EQ(SnapbackAnalysis::releases(shuffled, std::nullopt), expected);
}

TEST(SnapbackResult, DirectionsTriedAndHeadlines) {
    Recording r;
    r.pushAndLetGo(Direction8::up, 0.01, 0, 0.01);
    r.pushAndLetGo(Direction8::right, 0.01, 0, 0);
    r.pushAndLetGo(Direction8::up, 0.01, 0.02, 0);
    auto passed = r.result();
    EXPECT_EQ(passed.verdict, Verdict::pass);
    EXPECT_EQ(passed.headline, "returns to center (worst 2%)");
    EXPECT_EQ(passed.measure("releases")->value, 3);
    EXPECT_EQ(passed.measure("directions")->value, 2);
    EXPECT_EQ(passed.details, (std::vector<std::string>{"\u2192 Right: back within 0% of center in 9 ms",
                                                        "\u2191 Up: back within 2% of center in 9 ms",
                                                        "Tried 2 of 8 directions."}));

    r.pushAndLetGo(Direction8::upLeft, 0.01, 0.06, 0);
    auto warned = r.result();
    EXPECT_EQ(warned.verdict, Verdict::warn);
    EXPECT_EQ(warned.headline, "returns 6% off center (up-left)");
    Thresholds strict;
    strict.settleWarnMs = 5;
    EXPECT_EQ(r.result(strict).measure("settle")->verdict(), Verdict::warn);
    EXPECT_EQ(r.result(strict).headline, "returns 6% off center (up-left)");
    // A slow return that warns beside a passing offset is named after it.
    Recording steady;
    steady.pushAndLetGo(Direction8::up, 0.01, 0, 0.01);
    EXPECT_EQ(steady.result(strict).verdict, Verdict::warn);
    EXPECT_EQ(steady.result(strict).headline, "returns to center (worst 1%), slowest return 9 ms");
}

TEST(SnapbackResult, NoReleaseGivesTheNoReleasesWarning) {
    Recording empty, slow;
    slow.pushAndLetGo(Direction8::right, 0.2, 0, 0);
    for (const auto& recording : {empty, slow}) {
        auto result = recording.result();
        EXPECT_EQ(result.verdict, Verdict::warn);
        EXPECT_EQ(result.headline, "no releases seen");
        EXPECT_TRUE(result.measures.empty());
        EXPECT_EQ(result.details,
                  std::vector<std::string>{"Push the stick all the way to the edge and let go, so it "
                                           "springs back on its own. Wait a moment between pushes."});
    }
}

TEST(SnapbackResult, ReleaseJsonRoundTrips) {
    Release release{12.5, Direction8::downLeft, PlotPoint{0.01, -0.02}, 0.0224, 48, 0.03};
    auto object = release.toJson();
    EXPECT_EQ(object["direction"], 5);
    EXPECT_EQ(Release::fromJson(object), release);
    object.erase("overshoot");
    EXPECT_THROW(Release::fromJson(object), DecodeError);
}
