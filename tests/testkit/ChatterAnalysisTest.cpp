#include "testkit/ChatterAnalysis.h"
#include "testkit/ClickIntervals.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ButtonEventHelpers.h"
#include "testkit/Measure.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::ButtonLog;

TEST(ChatterAnalysis, GapStrictlyBelowTheWindowIsChatter) {
    // Second press 30 ms after the release: chatter with a 50 ms window.
    auto bouncing = ChatterAnalysis::analyze({press("a", 1.0), release("a", 1.1), press("a", 1.13)}, 50);
    ASSERT_EQ(bouncing.size(), 1u);
    const InputChatter& a = bouncing.at("a");
    EXPECT_EQ(a.presses, 2);
    EXPECT_EQ(a.chatters, 1);
    ASSERT_EQ(a.gapsMs.size(), 1u);
    EXPECT_NEAR(a.gapsMs[0], 30, 1e-6);
    EXPECT_NEAR(*a.shortestGapMs, 30, 1e-6);

    // 50 ms is not below a 50 ms window, but still the shortest gap seen.
    auto clean = ChatterAnalysis::analyze({press("a", 0), release("a", 0.5), press("a", 0.55)}, 50);
    EXPECT_EQ(clean.at("a").chatters, 0);
    EXPECT_TRUE(clean.at("a").gapsMs.empty());
    EXPECT_NEAR(*clean.at("a").shortestGapMs, 50, 1e-6);
    // A gap exactly equal to the window (in binary, too) is not chatter either.
    auto exact = ChatterAnalysis::analyze({press("a", 0), release("a", 0.5), press("a", 0.625)}, 125);
    EXPECT_EQ(exact.at("a").chatters, 0);
    EXPECT_EQ(*exact.at("a").shortestGapMs, 125);
}

// A gap is judged as it is shown, so that no gap reads "80 ms" and counts as less than 80 ms:
// events stamped in whole milliseconds land on the uptime clock a hair off (80 ms can come out
// 79.99999999993), and a finer clock's 79.6 ms is written "80 ms".
TEST(ChatterAnalysis, AGapIsJudgedAsItIsShown) {
    auto chatters = [](double gapMs, double windowMs, double at = 100) {
        return ChatterAnalysis::analyze({press("a", at), release("a", at + 0.5), press("a", at + 0.5 + gapMs / 1000)},
                                        windowMs)
            .at("a")
            .chatters;
    };
    const double uptime = 1234.567891; // where 1.080 − 1.000 comes out below 0.080
    ASSERT_LT((uptime + 1.08 - (uptime + 1.0)) * 1000, 80);
    auto onUptime = ChatterAnalysis::analyze({press("a", uptime + 0.9), release("a", uptime + 1.0), press("a", uptime + 1.08)}, 80);
    EXPECT_EQ(onUptime.at("a").chatters, 0);
    EXPECT_EQ(ChatterAnalysis::gapsText({*onUptime.at("a").shortestGapMs}), "80 ms");

    EXPECT_EQ(chatters(79.6, 80), 0) << "shown as 80 ms";
    EXPECT_EQ(chatters(79.4, 80), 1) << "shown as 79 ms";
    EXPECT_EQ(chatters(9.96, 10), 0) << "shown as 10 ms";
    EXPECT_EQ(chatters(9.94, 10), 1) << "shown as 9.9 ms";
    EXPECT_EQ(chatters(80.4, 80.5), 1) << "the limit itself is not rounded";
}

TEST(ChatterAnalysis, IgnoresRepeatedStatesAndKeepsInputsApart) {
    auto chatter = ChatterAnalysis::analyze(
        {
            release("b", 0.0), // release without a press: changes nothing
            press("a", 0.1),
            press("a", 0.105), // second press without a release: counts nothing
            release("a", 0.2),
            release("a", 0.21), // second release: the gap is measured from the first
            press("b", 0.22),   // another input's press is no chatter of "a"
            press("a", 0.23),
        },
        50);
    ASSERT_EQ(chatter.size(), 2u);
    EXPECT_EQ(chatter.at("a").presses, 2);
    EXPECT_EQ(chatter.at("a").chatters, 1);
    EXPECT_NEAR(chatter.at("a").gapsMs.at(0), 30, 1e-6);
    // The first press of an input has no gap and cannot be chatter.
    EXPECT_EQ(chatter.at("b").presses, 1);
    EXPECT_EQ(chatter.at("b").chatters, 0);
    EXPECT_FALSE(chatter.at("b").shortestGapMs);
    EXPECT_EQ(ChatterAnalysis::total(chatter), 1);
}

TEST(ChatterAnalysis, SortsEventsByTimeFirst) {
    std::vector<ButtonEvent> events{press("a", 0.23), release("a", 0.2), press("a", 0.1)};
    auto chatter = ChatterAnalysis::analyze(events, 50);
    EXPECT_EQ(chatter.at("a").chatters, 1);
    // An event without a usable time goes last and cannot reorder the others.
    events.insert(events.begin() + 1, press("b", std::nan("")));
    events.push_back(release("b", 0.05));
    EXPECT_EQ(ChatterAnalysis::analyze(events, 50).at("a").chatters, 1);
    EXPECT_EQ(ChatterAnalysis::analyze(events, 50).at("b").presses, 1);
    EXPECT_TRUE(ChatterAnalysis::analyze({}, 50).empty());
    EXPECT_TRUE(ChatterAnalysis::analyze({release("a", 1)}, 50).empty());
}

TEST(ChatterAnalysis, GapTextsUseOneDecimalBelowTenMilliseconds) {
    EXPECT_EQ(ChatterAnalysis::gapsText({4.26, 9.96, 12.4, 30}), "4.3 ms, 10 ms, 12 ms, 30 ms");
    EXPECT_EQ(ChatterAnalysis::gapsText({}), "");
}

TEST(ChatterAnalysis, EntryJsonLeavesOutAnAbsentShortestGap) {
    InputChatter fresh{"a", 1, 0, {}, std::nullopt};
    EXPECT_FALSE(fresh.toJson().contains("shortestGapMs"));
    EXPECT_EQ(InputChatter::fromJson(fresh.toJson()), fresh);
    InputChatter bouncing{"a", 3, 1, {12.5}, 12.5};
    EXPECT_EQ(InputChatter::fromJson(Json::parse(Json::dump(bouncing.toJson()))), bouncing);
    EXPECT_THROW(
        InputChatter::fromJson(json{{"input", "a"}, {"presses", 1}, {"chatters", 0}, {"gapsMs", "x"}}),
        DecodeError);
    EXPECT_THROW(InputChatter::fromJson(json::array()), DecodeError);
    json huge = bouncing.toJson();
    huge["presses"] = 1LL << 40; // would wrap round as an int
    EXPECT_THROW(InputChatter::fromJson(huge), DecodeError);
}

TEST(ClickIntervals, OneIntervalPerClickAfterTheFirst) {
    std::vector<ButtonEvent> oneClick{press("left", 1.0), release("left", 1.05)};
    EXPECT_TRUE(ClickIntervals::list(oneClick, "left", 80).empty());

    std::vector<ButtonEvent> twoClicks{press("left", 1.0), release("left", 1.05), press("right", 1.06),
                                       press("left", 1.1), release("left", 1.15)};
    auto intervals = ClickIntervals::list(twoClicks, "left", 80);
    ASSERT_EQ(intervals.size(), 1u);
    EXPECT_DOUBLE_EQ(intervals[0].t, 1.1);
    EXPECT_NEAR(intervals[0].sincePressMs, 100, 1e-6);
    EXPECT_NEAR(intervals[0].sinceReleaseMs, 50, 1e-6);
    EXPECT_TRUE(intervals[0].flagged);

    // A slow second click is listed but not flagged; the other input is never listed.
    auto slow =
        ClickIntervals::list({press("left", 1.0), release("left", 1.05), press("left", 1.5)}, "left", 80);
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_FALSE(slow[0].flagged);
    EXPECT_TRUE(ClickIntervals::list(twoClicks, "right", 80).empty());
}

// The interval's flag agrees with its "<n> ms after release", and with the chatter count of the
// same clicks.
TEST(ClickIntervals, AnIntervalIsFlaggedAsItIsShown) {
    const double uptime = 1234.567891;
    std::vector<ButtonEvent> clicks{press("left", uptime + 0.9), release("left", uptime + 1.0),
                                    press("left", uptime + 1.08), release("left", uptime + 1.1),
                                    press("left", uptime + 1.1794), release("left", uptime + 1.2),
                                    press("left", uptime + 1.2796)};
    auto intervals = ClickIntervals::list(clicks, "left", 80);
    ASSERT_EQ(intervals.size(), 3u);
    EXPECT_EQ(format(MeasureUnit::milliseconds, intervals[0].sinceReleaseMs), "80 ms");
    EXPECT_FALSE(intervals[0].flagged);
    EXPECT_EQ(format(MeasureUnit::milliseconds, intervals[1].sinceReleaseMs), "79 ms");
    EXPECT_TRUE(intervals[1].flagged);
    EXPECT_EQ(format(MeasureUnit::milliseconds, intervals[2].sinceReleaseMs), "80 ms");
    EXPECT_FALSE(intervals[2].flagged);
    EXPECT_EQ(ChatterAnalysis::analyze(clicks, 80).at("left").chatters, 1);
}

TEST(ClickIntervals, RepeatedStatesAndEarlyReleasesAddNothing) {
    // A release before any press, and a second press while down, are ignored.
    std::vector<ButtonEvent> events{release("left", 0.9),  press("left", 1.0),    press("left", 1.01),
                                    release("left", 1.05), release("left", 1.06), press("left", 1.2)};
    auto intervals = ClickIntervals::list(events, "left", 80);
    ASSERT_EQ(intervals.size(), 1u);
    EXPECT_NEAR(intervals[0].sincePressMs, 200, 1e-6);
    EXPECT_NEAR(intervals[0].sinceReleaseMs, 150, 1e-6);
    EXPECT_EQ(ClickInterval::fromJson(intervals[0].toJson()), intervals[0]);
}
