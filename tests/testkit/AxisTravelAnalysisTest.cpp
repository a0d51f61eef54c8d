#include "testkit/AxisCenterAnalysis.h"
#include "testkit/AxisSweepAnalysis.h"
#include "testkit/PedalAnalysis.h"

#include <gtest/gtest.h>

#include "support/TestSamples.h"

#include <climits>

#include "testkit/Thresholds.h"

using namespace RorozErurEvo;

namespace {

using TestSamples::someDate;

std::vector<int> steps(int from, int to, int step) {
    std::vector<int> values;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step) values.push_back(v);
    return values;
}

TestResult sweep(const std::vector<int>& values, AxisRole role = AxisRole::steering, Thresholds thresholds = {}) {
    return AxisSweepAnalysis::result(values, 0, 1023, role, "Wheel", thresholds, someDate);
}

TestResult center(const std::vector<int>& values, AxisRole role = AxisRole::twist) {
    return AxisCenterAnalysis::result(values, 0, 1023, role, "Rudder", Thresholds{}, someDate);
}

TestResult pedal(const std::vector<int>& rest, const std::vector<int>& press, const std::vector<int>& after) {
    return PedalAnalysis::result(rest, press, after, 0, 1000, "Brake", Thresholds{}, someDate);
}

} // namespace

TEST(AxisSweep, EndsOnlyLeaveOneLongSkip) {
    auto report = AxisSweepAnalysis::analyze({0, 1023}, 0, 1023);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->coverage(), 1.0);
    ASSERT_EQ(report->skipped.size(), 1u);
    EXPECT_NEAR(report->skipped[0].lower, 0.02, 1e-12);
    EXPECT_NEAR(report->skipped[0].upper, 1.0, 1e-12);

    auto result = sweep({0, 1023});
    EXPECT_EQ(result.kind, TestKind::axisSweep);
    EXPECT_EQ(result.source, ValueSource::raw);
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "skips 2\u2013100%");
    EXPECT_EQ(result.details[1], "Skipped while moving: 2\u2013100%. Move it slowly; a stretch skipped every time "
                                 "is a dead spot or a worn track.");
}

TEST(AxisSweep, SmoothFullSweepPasses) {
    auto result = sweep(steps(0, 1023, 5));
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "full travel, 99.7% of its range"); // 1020 is the last value reached
    EXPECT_EQ(result.details, std::vector<std::string>{"Logical range 0\u20261023; reached 0\u20261020."});
    std::vector<std::string> ids;
    for (const auto& m : result.measures) ids.push_back(m.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"coverage", "skip", "lowEnd", "highEnd"}));
    EXPECT_NEAR(result.measure("highEnd")->value, 3.0 / 1023, 1e-12);
}

TEST(AxisSweep, ShortSweepsAndWidestSkip) {
    // Reaching 200…812, 60 % of the range: the coverage headline wins, and a wheel gets the lock advice.
    auto shortWheel = sweep(steps(200, 814, 4));
    EXPECT_EQ(shortWheel.verdict, Verdict::fail);
    EXPECT_EQ(shortWheel.headline, "reaches only 59.8% of its range");
    EXPECT_EQ(shortWheel.details.back().rfind("Turn all the way to each lock.", 0), 0u);
    EXPECT_EQ(sweep(steps(200, 814, 4), AxisRole::throttle).details.size(), 1u);

    // Two skipped stretches, of 6 % and 10 %: the headline names the wider.
    std::vector<int> values = steps(0, 1023, 4);
    std::erase_if(values, [](int v) { return (v > 205 && v < 266) || (v > 512 && v < 614); });
    auto skipping = sweep(values);
    EXPECT_EQ(skipping.verdict, Verdict::warn);
    ASSERT_EQ(AxisSweepAnalysis::analyze(values, 0, 1023)->skipped.size(), 2u);
    EXPECT_EQ(skipping.headline.rfind("skips 5", 0), 0u) << skipping.headline;

    // Short of the range (a warning) and skipping 18 % (a failure): the skip that decides the
    // verdict is named after the coverage.
    std::vector<int> shortAndSkipping = steps(0, 818, 4);
    std::erase_if(shortAndSkipping, [](int v) { return v > 250 && v < 450; });
    auto both = sweep(shortAndSkipping);
    EXPECT_EQ(both.verdict, Verdict::fail);
    EXPECT_EQ(both.measure("coverage")->verdict(), Verdict::warn);
    EXPECT_EQ(both.headline, "reaches only 79.8% of its range, largest skip 18%");

    // A single unvisited bin between visited ones is not a skip.
    auto single = AxisSweepAnalysis::analyze({0, 20, 41, 62}, 0, 1023);
    EXPECT_TRUE(single->skipped.empty());
}

TEST(AxisSweep, NoMovementByRole) {
    // 4 % of the range is too little to search or to judge.
    auto tiny = AxisSweepAnalysis::analyze({100, 141}, 0, 1023);
    EXPECT_TRUE(tiny->skipped.empty());
    auto result = sweep({100, 141});
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "no movement seen");
    EXPECT_TRUE(result.measures.empty());
    EXPECT_EQ(result.details, std::vector<std::string>{
        "Turn the wheel slowly all the way left, then all the way right, then back to center."});
    EXPECT_EQ(sweep({}, AxisRole::throttle).details[0], "Move the throttle slowly from one end to the other and back.");
    EXPECT_EQ(sweep({}, AxisRole::twist).details[0].rfind("Twist the stick", 0), 0u);
    EXPECT_EQ(sweep({}, AxisRole::pedal).details[0], "Press the pedal slowly all the way down, then let go.");
}

TEST(AxisSweep, ReadingsFarOutsideTheRangeStayCheap) {
    // An element that declares 0…1 but sends huge values: the span of positions is a hundred
    // billion bins, yet only the bins that readings fell in are kept.
    auto report = AxisSweepAnalysis::analyze({0, 1, INT_MAX, INT_MIN}, 0, 1);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->rawLow, INT_MIN);
    EXPECT_EQ(report->rawHigh, INT_MAX);
    EXPECT_EQ(report->skipped.size(), 3u); // below 0, between 0 and 1, above 1
}

TEST(AxisCenter, RestValueOffsetAndHeadline) {
    auto report = AxisCenterAnalysis::analyze({510, 514, 512, 513}, 0, 1023);
    EXPECT_EQ(report->rawRest, 513); // upper of the two middle values
    EXPECT_DOUBLE_EQ(report->signedOffset, 1.5 / 511.5);
    EXPECT_DOUBLE_EQ(report->jitter, 4.0 / 1023);

    auto centered = center({512});
    EXPECT_EQ(centered.kind, TestKind::axisCenter);
    EXPECT_EQ(centered.verdict, Verdict::pass);
    EXPECT_EQ(centered.headline, "centered (0.1% off)");
    EXPECT_EQ(centered.details[0], "Middle of the range: 511.5. Off center is a share of half the range, like stick drift.");
    EXPECT_EQ(centered.details[1].rfind("A spring that doesn't", 0), 0u);
    EXPECT_EQ(center({512}, AxisRole::steering).details[1].rfind("A wheel without a spring", 0), 0u);

    auto low = center({490});
    EXPECT_EQ(low.verdict, Verdict::warn);
    EXPECT_EQ(low.headline, "rests 4.2% off center, low side");
    EXPECT_EQ(center({600}).headline, "rests 17.3% off center, high side");
    EXPECT_EQ(center({600}).verdict, Verdict::fail);

    // Centred but jittering: the jitter that decides the verdict is named.
    auto shaky = center({505, 512, 520});
    EXPECT_EQ(shaky.verdict, Verdict::warn);
    EXPECT_EQ(shaky.headline, "centered (0.1% off), jitter 1.5% at rest");
}

TEST(AxisCenter, StuckAndEmpty) {
    auto stuck = center({1023, 1023});
    EXPECT_EQ(stuck.verdict, Verdict::fail);
    EXPECT_EQ(stuck.headline, "stuck at 1023");
    EXPECT_EQ(stuck.details.back(), "Stuck at the end of its range: a broken wire or sensor often reads full scale.");
    // Stuck on a range whose middle is the limit itself (0…0): fails even with no offset.
    auto flat = AxisCenterAnalysis::result({0}, 0, 0, AxisRole::twist, "", Thresholds{}, someDate);
    EXPECT_EQ(flat.verdict, Verdict::fail);

    auto none = center({});
    EXPECT_EQ(none.verdict, Verdict::warn);
    EXPECT_EQ(none.headline, "no readings");
    EXPECT_EQ(none.details, std::vector<std::string>{"The axis sent nothing. Move it once, center it and run the test again."});
}

TEST(Pedal, CleanPressAndRelease) {
    auto result = pedal({0, 0, 1}, steps(0, 1000, 5), {3, 0, 0});
    EXPECT_EQ(result.kind, TestKind::pedal);
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "full travel");
    std::vector<std::string> ids;
    for (const auto& m : result.measures) ids.push_back(m.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"rest", "reach", "skip", "jitter", "release", "bottomDZ", "topDZ"}));
    EXPECT_DOUBLE_EQ(result.measure("bottomDZ")->value, 0.01); // 0.1 % of jitter rounds up to 1 %
    EXPECT_EQ(result.details.back(),
              "A load-cell brake reads pressure, not travel: press as hard as you would when braking.");
}

TEST(Pedal, InvertedPedalIsFlipped) {
    auto report = PedalAnalysis::analyze({990, 1000}, steps(1000, 0, -10), {}, 0, 1000);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(report->inverted);
    EXPECT_NEAR(report->rest, 0.01, 1e-12); // upper middle of the flipped 0.01 and 0
    EXPECT_DOUBLE_EQ(report->reach, 1.0);
    EXPECT_FALSE(report->final.has_value());
    auto result = pedal({990, 1000}, steps(1000, 0, -10), {});
    EXPECT_EQ(result.details[0], "This pedal reads highest when released; the numbers are flipped so 0% is released.");
    EXPECT_FALSE(result.measure("release").has_value());
}

TEST(Pedal, DeadZoneAdviceRoundsUpToWholePercents) {
    // Rest 0.02 with 0.013 of jitter → ceil(3.3) = 4 %; reach 0.9 → 10 % at the top.
    auto report = PedalAnalysis::analyze({7, 20, 20}, steps(20, 900, 10), {}, 0, 1000);
    EXPECT_DOUBLE_EQ(report->bottomDeadzone, 0.04);
    EXPECT_DOUBLE_EQ(report->topDeadzone, 0.1);
    auto result = pedal({7, 20, 20}, steps(20, 900, 10), {});
    EXPECT_EQ(result.details[0], "In the game or the pedal's software, set about 4% dead zone at the bottom and 10% "
                                 "at the top, so released reads 0% and fully pressed reads 100%.");
    EXPECT_EQ(result.headline, "reaches 90%");

    // A share that is a whole percent stays that percent: 0.07 × 100 is not quite 7 in binary.
    EXPECT_DOUBLE_EQ(PedalAnalysis::analyze({70}, {1000}, {}, 0, 1000)->bottomDeadzone, 0.07);
    EXPECT_DOUBLE_EQ(PedalAnalysis::analyze({0}, {930}, {}, 0, 1000)->topDeadzone, 0.07);
    // Pressing past the end gives no negative dead zone.
    EXPECT_EQ(PedalAnalysis::analyze({0}, {1100}, {}, 0, 1000)->topDeadzone, 0);
}

TEST(Pedal, SkipsCountOnlyOnTheWayDown) {
    // Pressing 0 → 100 % with a hole at 40–50 %, then releasing in one jump: the release is not
    // searched, and the hole is the first skipped stretch.
    std::vector<int> press = steps(0, 1000, 5);
    std::erase_if(press, [](int v) { return v > 400 && v < 500; });
    press.push_back(0);
    auto report = PedalAnalysis::analyze({0}, press, {0}, 0, 1000);
    ASSERT_EQ(report->skipped.size(), 1u);
    EXPECT_NEAR(report->skipped[0].lower, 0.42, 1e-9);
    EXPECT_NEAR(report->skipped[0].upper, 0.5, 1e-9);
    auto result = pedal({0}, press, {0});
    EXPECT_EQ(result.verdict, Verdict::warn);
    EXPECT_EQ(result.headline, "dead spot at 42\u201350%");

    // A press that starts by jumping well above rest marks the rest bin anyway, so the jump
    // itself is the skip: 0 → 10 %.
    auto jump = PedalAnalysis::analyze({0}, steps(100, 1000, 5), {}, 0, 1000);
    ASSERT_EQ(jump->skipped.size(), 1u);
    EXPECT_NEAR(jump->skipped[0].lower, 0.02, 1e-9);
}

TEST(Pedal, HeadlineOrderAndNoPress) {
    EXPECT_EQ(pedal({80}, steps(80, 1000, 5), {}).headline, "reads 8% at rest");
    EXPECT_EQ(pedal({0}, steps(0, 1000, 5), {200, 150, 150, 150, 150, 120}).headline, "stays at 15% after letting go");
    // The jitter at rest has no headline of its own: a pedal it warns about is no "full travel" alone.
    auto jittery = pedal({0, 20}, steps(0, 1000, 5), {0});
    EXPECT_EQ(jittery.verdict, Verdict::warn);
    EXPECT_EQ(jittery.headline, "full travel, jitter 2% at rest");

    // No rest readings: the first press reading is the rest.
    auto firstAsRest = PedalAnalysis::analyze({}, {30, 500, 1000}, {}, 0, 1000);
    EXPECT_DOUBLE_EQ(firstAsRest->rest, 0.03);

    auto shallow = pedal({0}, {0, 25, 50}, {});
    EXPECT_EQ(shallow.verdict, Verdict::warn);
    EXPECT_EQ(shallow.headline, "no press seen");
    EXPECT_TRUE(shallow.measures.empty());
    EXPECT_EQ(pedal({}, {}, {}).headline, "no press seen");
    EXPECT_FALSE(PedalAnalysis::analyze({}, {}, {5}, 0, 1000).has_value());
}
