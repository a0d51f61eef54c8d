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

TEST(SessionComparison, EveryRowIsReadByOneMeasureOnBothSides) {
    // Circularity: before passes on its average error; after fails on directions short of the
    // edge. The row reads the measure that failed, on both sides.
    auto circle = [](Verdict verdict, double error, double shortOf) {
        return result(TestKind::circularity, "Left stick", verdict,
                      {percent("error", error, Limit{0.08, 0.15, Limit::Direction::above}),
                       percent("short", shortOf, Limit{0.1, 0.25, Limit::Direction::above})});
    };
    const auto decided = SessionComparison::reading(circle(Verdict::pass, 0.022, 0.05), circle(Verdict::fail, 0.03, 0.319));
    ASSERT_TRUE(decided);
    EXPECT_EQ(decided->id, "short");
    ASSERT_TRUE(decided->before && decided->after);
    EXPECT_EQ(decided->before->id, "short");
    EXPECT_DOUBLE_EQ(decided->before->value, 0.05);
    EXPECT_DOUBLE_EQ(decided->after->value, 0.319);
    // Better the other way round: still the measure that decided the worse (before) side.
    EXPECT_EQ(SessionComparison::reading(circle(Verdict::fail, 0.03, 0.319), circle(Verdict::pass, 0.022, 0.05))->id, "short");

    // Agreeing verdicts read the main measure, whatever decided each side.
    const auto agreed = SessionComparison::reading(circle(Verdict::warn, 0.09, 0.05), circle(Verdict::warn, 0.02, 0.11));
    EXPECT_EQ(agreed->id, "error");
    EXPECT_DOUBLE_EQ(agreed->before->value, 0.09);
    EXPECT_DOUBLE_EQ(agreed->after->value, 0.02);

    // Trigger: before warns on its rest reading, after passes and lacks that measure: the other
    // side has no value of it, never a different measure.
    const auto rest = result(TestKind::trigger, "Left trigger", Verdict::warn,
                             {percent("rest", 0.051, Limit{0.05, 0.1, Limit::Direction::above}),
                              percent("full", 0.922, Limit{0.9, 0.8, Limit::Direction::below})});
    const auto full = result(TestKind::trigger, "Left trigger", Verdict::pass,
                             {percent("full", 0.97, Limit{0.9, 0.8, Limit::Direction::below})});
    const auto one = SessionComparison::reading(rest, full);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->id, "rest");
    EXPECT_TRUE(one->before);
    EXPECT_FALSE(one->after);

    // One side only: what decided that side. No measures at all: no reading.
    EXPECT_EQ(SessionComparison::reading(std::nullopt, full)->id, "full");
    EXPECT_FALSE(SessionComparison::reading(std::nullopt, std::nullopt));
    EXPECT_FALSE(SessionComparison::reading(result(TestKind::rumble, "", Verdict::pass), result(TestKind::rumble, "", Verdict::pass)));

    // The rows of a comparison carry the same readings, so every row names one measure.
    SessionComparison comparison(session("U", "2026-03-01T09:00:00Z", {circle(Verdict::pass, 0.022, 0.05), rest}),
                                 session("U", "2026-03-01T10:00:00Z", {circle(Verdict::fail, 0.03, 0.319), full}));
    for (const auto& row : comparison.rows) {
        const auto reading = row.reading();
        ASSERT_TRUE(reading) << row.key;
        for (const auto& side : {reading->before, reading->after}) {
            if (side) {
                EXPECT_EQ(side->id, reading->id) << row.key;
            }
        }
    }
}
