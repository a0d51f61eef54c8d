#include "testkit/SessionComparison.h"

#include <gtest/gtest.h>

#include "SessionSamples.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

namespace {
using Change = SessionComparison::Change;

TestResult withMain(double value, MeasureUnit unit, std::optional<Limit::Direction> direction, const char* id = "m") {
    std::optional<Limit> limit;
    if (direction) limit = Limit{std::nullopt, std::nullopt, *direction};
    return result(TestKind::drift, "Left stick", Verdict::pass, {Measure{id, id, value, unit, limit}});
}

Change compare(double before, double after, MeasureUnit unit, std::optional<Limit::Direction> direction) {
    return SessionComparison::change(withMain(before, unit, direction), withMain(after, unit, direction));
}
} // namespace

TEST(SessionComparison, VerdictsDecideFirstThenTheMainMeasureBeyondItsTolerance) {
    auto warn = result(TestKind::drift, "Left stick", Verdict::warn, {percent("offset", 0.01)});
    auto pass = result(TestKind::drift, "Left stick", Verdict::pass, {percent("offset", 0.05)});
    EXPECT_EQ(SessionComparison::change(warn, pass), Change::better);
    EXPECT_EQ(SessionComparison::change(pass, warn), Change::worse);

    constexpr auto above = Limit::Direction::above, below = Limit::Direction::below;
    EXPECT_EQ(compare(0.031, 0.030, MeasureUnit::percent, above), Change::same);
    EXPECT_EQ(compare(0.031, 0.020, MeasureUnit::percent, above), Change::better);
    EXPECT_EQ(compare(0.020, 0.031, MeasureUnit::percent, above), Change::worse);
    EXPECT_EQ(compare(10, 10.5, MeasureUnit::milliseconds, below), Change::same);
    EXPECT_EQ(compare(100, 89, MeasureUnit::milliseconds, below), Change::worse);
    EXPECT_EQ(compare(100, 111, MeasureUnit::milliseconds, below), Change::better);
    EXPECT_EQ(compare(100, 110, MeasureUnit::milliseconds, below), Change::same);
    EXPECT_EQ(compare(1, 3, MeasureUnit::count, std::nullopt), Change::worse); // no limit: larger is worse
    EXPECT_EQ(SessionComparison::change(withMain(1, MeasureUnit::count, above, "a"),
                                        withMain(9, MeasureUnit::count, above, "b")),
              Change::same);
    EXPECT_EQ(SessionComparison::change(result(TestKind::rumble, "", Verdict::pass), withMain(9, MeasureUnit::count, above)),
              Change::same);
}

TEST(SessionComparison, AResultPairsOnlyWithTheSameTestOnTheSameValues) {
    auto onRaw = [](TestResult r) {
        r.source = ValueSource::raw;
        return r;
    };
    auto before =
        session("U", "2026-03-01T09:00:00Z",
                {result(TestKind::drift, "Left stick", Verdict::pass, {percent("offset", 0.005)}),
                 onRaw(result(TestKind::drift, "Left stick", Verdict::fail, {percent("offset", 0.12)}))});
    auto after =
        session("U", "2026-03-01T10:00:00Z",
                {onRaw(result(TestKind::drift, "Left stick", Verdict::warn, {percent("offset", 0.079)})),
                 result(TestKind::drift, "Left stick", Verdict::pass, {percent("offset", 0.005)})});
    SessionComparison comparison(before, after);
    ASSERT_EQ(comparison.rows.size(), 2u);
    const auto& processed = comparison.rows[0];
    const auto& raw = comparison.rows[1];
    EXPECT_EQ(processed.title, "Left stick: Drift at rest");
    EXPECT_EQ(raw.title, "Left stick: Drift at rest (Raw HID)");
    EXPECT_EQ(processed.before->source, ValueSource::processed);
    EXPECT_EQ(processed.after->source, ValueSource::processed);
    EXPECT_EQ(processed.change, Change::same);
    EXPECT_EQ(raw.before->source, ValueSource::raw);
    EXPECT_EQ(raw.after->source, ValueSource::raw);
    EXPECT_EQ(raw.change, Change::better);

    // Measured on other values only, nothing pairs.
    SessionComparison apart(session("U", "2026-03-01T09:00:00Z", {before.results[0]}),
                            session("U", "2026-03-01T10:00:00Z", {after.results[0]}));
    ASSERT_EQ(apart.rows.size(), 2u);
    EXPECT_EQ(apart.rows[0].change, Change::missing);
    EXPECT_EQ(apart.rows[1].change, Change::added);
}

TEST(SessionComparison, RowsFollowTheCatalogueAndTheSummaryCountsAllButMissing) {
    auto empty = SessionComparison(session("U", "2026-03-01T09:00:00Z"), session("U", "2026-03-01T10:00:00Z"));
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.summary(), "0 better, 0 worse, 0 the same");

    auto before = session("U", "2026-03-01T09:00:00Z",
                          {result(TestKind::trigger, "Left trigger", Verdict::pass),
                           result(TestKind::drift, "Left stick", Verdict::warn),
                           result(TestKind::drift, "Left stick", Verdict::fail), // the later one counts
                           result(TestKind::hold, "", Verdict::pass)});
    auto after = session("U", "2026-03-01T10:00:00Z",
                         {result(TestKind::motion, "", Verdict::pass), result(TestKind::drift, "Left stick", Verdict::pass),
                          result(TestKind::trigger, "Left trigger", Verdict::pass)});
    SessionComparison comparison(before, after);
    ASSERT_EQ(comparison.rows.size(), 4u);
    std::vector<std::string> keys;
    for (const auto& row : comparison.rows) keys.push_back(row.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"drift|Left stick|processed", "trigger|Left trigger|processed",
                                              "hold||processed", "motion||processed"}));
    EXPECT_EQ(comparison.rows[0].change, Change::better);
    EXPECT_EQ(comparison.rows[0].before->verdict, Verdict::fail);
    EXPECT_EQ(comparison.rows[2].change, Change::missing);
    EXPECT_FALSE(comparison.rows[2].after);
    EXPECT_EQ(comparison.rows[3].change, Change::added);
    EXPECT_EQ(comparison.rows[3].title, "Motion sensors");
    EXPECT_EQ(comparison.summary(), "1 better, 0 worse, 1 the same, 1 only after");

    EXPECT_EQ(rawValue(Change::added), "new");
    EXPECT_EQ(word(Change::added), "Only after");
    EXPECT_EQ(fromRawValue<Change>("added"), std::nullopt);
}
