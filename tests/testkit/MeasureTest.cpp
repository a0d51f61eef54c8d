#include "testkit/Fmt.h"
#include "testkit/Measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>

using namespace RorozErurEvo;

namespace {
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

// A numpunct that writes a comma as the decimal separator, as many European locales do.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};
} // namespace

TEST(Fmt, TrimRoundsThenDropsTrailingZerosAndNegativeZero) {
    EXPECT_EQ(Fmt::trim(0.04, 1), "0");
    EXPECT_EQ(Fmt::trim(-0.04, 1), "0");
    EXPECT_EQ(Fmt::trim(-0.0, 2), "0");
    EXPECT_EQ(Fmt::trim(12.5, 2), "12.5");
    EXPECT_EQ(Fmt::trim(120, 0), "120");
    EXPECT_EQ(Fmt::trim(100, 2), "100");
    EXPECT_EQ(Fmt::trim(2.25, 1), "2.2"); // exact tie on the binary value rounds to even, as printf does
    EXPECT_EQ(Fmt::trim(-1.26, 1), "-1.3");
    EXPECT_EQ(Fmt::trim(7.8, -3), "8");
    EXPECT_EQ(Fmt::trim(1e20, 0), "100000000000000000000");
}

TEST(Fmt, NonFiniteValuesAndAbsurdDigitCountsAreSafe) {
    EXPECT_EQ(Fmt::trim(notANumber, 1), "\u2013");
    EXPECT_EQ(Fmt::trim(infinity, 0), "\u2013");
    EXPECT_EQ(Fmt::trim(-infinity, 3), "\u2013");
    EXPECT_EQ(Fmt::trim(0.5, std::numeric_limits<int>::max()), "0.5");
    EXPECT_EQ(Fmt::trim(-std::numeric_limits<double>::max(), 1).size(), 310u);
    EXPECT_EQ(Fmt::percent(notANumber), "\u2013%");
}

TEST(Fmt, WritesAPointWhateverTheLocale) {
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    EXPECT_EQ(Fmt::trim(12.5, 1), "12.5");
    EXPECT_EQ(format(MeasureUnit::g, 1.25), "1.25 g");
    std::locale::global(previous);
}

TEST(Fmt, PercentAndSigned) {
    EXPECT_EQ(Fmt::percent(0.1234), "12.3%");
    EXPECT_EQ(Fmt::signedText(0.0004), "0");
    EXPECT_EQ(Fmt::signedText(0.0005), "0.001"); // the sign needs more than half a thousandth
    EXPECT_EQ(Fmt::signedText(0.002), "+0.002");
    EXPECT_EQ(Fmt::signedText(-0.002), "-0.002");
    EXPECT_EQ(Fmt::signedText(notANumber), "\u2013");
}

TEST(Stats, MedianAndPopulationVariance) {
    EXPECT_EQ(Stats::median({3, 1, 2}), 2.0);
    EXPECT_EQ(Stats::median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(Stats::median({}), std::nullopt);
    EXPECT_EQ(Stats::variance({5}), 0.0);
    EXPECT_EQ(Stats::variance({1, 3}), 1.0);
    EXPECT_DOUBLE_EQ(Stats::variance({2, 4, 4, 4, 5, 5, 7, 9}), 4.0);
}

TEST(Stats, MedianToleratesNaNWithoutBreakingTheSort) {
    std::vector<double> values;
    for (int i = 0; i < 200; ++i) values.push_back(i % 7 == 0 ? notANumber : static_cast<double>(i % 13));
    auto median = Stats::median(values);
    ASSERT_TRUE(median);
    EXPECT_FALSE(std::isnan(*median)); // NaNs sort last, so the middle is still a number
}

TEST(MeasureUnit, FormatsAndSpeaksEachUnit) {
    EXPECT_EQ(format(MeasureUnit::percent, 0.08), "8%");
    EXPECT_EQ(spoken(MeasureUnit::percent, 0.025), "2.5 percent");
    EXPECT_EQ(format(MeasureUnit::milliseconds, 9.96), "10 ms");
    EXPECT_EQ(format(MeasureUnit::milliseconds, 4.25), "4.2 ms");
    EXPECT_EQ(format(MeasureUnit::milliseconds, 250.4), "250 ms");
    EXPECT_EQ(spoken(MeasureUnit::milliseconds, 250), "250 milliseconds");
    EXPECT_EQ(format(MeasureUnit::hertz, 124.6), "125 Hz");
    EXPECT_EQ(format(MeasureUnit::count, 3), "3");
    EXPECT_EQ(format(MeasureUnit::count, 2.5), "2.5");
    EXPECT_EQ(format(MeasureUnit::raw, -3.5), "-3.5");
    EXPECT_EQ(format(MeasureUnit::degreesPerSecond, 120), "120\u00B0/s");
    EXPECT_EQ(spoken(MeasureUnit::degreesPerSecond, 1.25), "1.2 degrees per second");
    EXPECT_EQ(format(MeasureUnit::g, 0.987), "0.99 g");
    EXPECT_EQ(format(MeasureUnit::seconds, 2.04), "2 s");
    EXPECT_EQ(spoken(MeasureUnit::seconds, 2.5), "2.5 seconds");
    EXPECT_EQ(format(MeasureUnit::count, notANumber), "\u2013");
    EXPECT_EQ(format(MeasureUnit::raw, infinity), "\u2013");
    EXPECT_EQ(format(MeasureUnit::milliseconds, notANumber), "\u2013 ms");
}

TEST(MeasureUnit, TheShownValueIsTheOneWritten) {
    EXPECT_EQ(shownValue(MeasureUnit::milliseconds, 79.6), 80);
    EXPECT_EQ(shownValue(MeasureUnit::milliseconds, 79.99999999992724), 80);
    EXPECT_EQ(shownValue(MeasureUnit::milliseconds, 9.96), 10);
    EXPECT_EQ(shownValue(MeasureUnit::milliseconds, 4.25), 4.2) << "as the text rounds it";
    EXPECT_DOUBLE_EQ(shownValue(MeasureUnit::percent, 0.12345), 0.123);
    EXPECT_EQ(shownValue(MeasureUnit::seconds, -2.04), -2);
    EXPECT_TRUE(std::isnan(shownValue(MeasureUnit::milliseconds, notANumber)));
    EXPECT_EQ(shownValue(MeasureUnit::hertz, infinity), infinity);
}

TEST(Verdict, WordsSymbolsAndWorst) {
    EXPECT_EQ(word(Verdict::warn), "Warn");
    EXPECT_EQ(symbol(Verdict::fail), "xmark.octagon.fill");
    EXPECT_EQ(worst(std::vector<Verdict>{}), Verdict::pass);
    EXPECT_EQ(worst({Verdict::pass, Verdict::fail, Verdict::warn}), Verdict::fail);
    EXPECT_EQ(worst(std::vector<Verdict>{Verdict::warn, Verdict::pass}), Verdict::warn);
}

TEST(Limit, JudgesStrictlyOnEitherSide) {
    Limit above{0.04, 0.08, Limit::Direction::above};
    EXPECT_EQ(above.verdict(0.04), Verdict::pass);
    EXPECT_EQ(above.verdict(0.0400001), Verdict::warn);
    EXPECT_EQ(above.verdict(0.08), Verdict::warn);
    EXPECT_EQ(above.verdict(0.0800001), Verdict::fail);
    EXPECT_EQ(above.verdict(notANumber), Verdict::pass);

    Limit below{std::nullopt, 0.75, Limit::Direction::below};
    EXPECT_EQ(below.verdict(0.8), Verdict::pass);
    EXPECT_EQ(below.verdict(0.75), Verdict::pass);
    EXPECT_EQ(below.verdict(0.7), Verdict::fail);

    Limit none{std::nullopt, std::nullopt, Limit::Direction::above};
    EXPECT_EQ(none.verdict(1e9), Verdict::pass);
    EXPECT_EQ(none.text(MeasureUnit::percent), "");
}

TEST(Limit, TextsNameBothBounds) {
    Limit above{0.04, 0.08, Limit::Direction::above};
    EXPECT_EQ(above.text(MeasureUnit::percent), "warn > 4%, fail > 8%");
    EXPECT_EQ(above.spoken(MeasureUnit::percent), "warn above 4 percent, fail above 8 percent");
    Limit below{0.9, 0.75, Limit::Direction::below};
    EXPECT_EQ(below.spoken(MeasureUnit::percent), "warn below 90 percent, fail below 75 percent");
    EXPECT_EQ((Limit{std::nullopt, 0.75, Limit::Direction::below}).text(MeasureUnit::percent), "fail < 75%");
    EXPECT_EQ((Limit{250.0, std::nullopt, Limit::Direction::above}).text(MeasureUnit::milliseconds), "warn > 250 ms");
}

TEST(Measure, VerdictDisplayAndSpokenText) {
    Measure offset{"offset", "Rest offset", 0.025, MeasureUnit::percent, Limit{0.04, 0.08, Limit::Direction::above}};
    EXPECT_EQ(offset.verdict(), Verdict::pass);
    EXPECT_EQ(offset.display(), "2.5%");
    EXPECT_EQ(offset.limitText(), "warn > 4%, fail > 8%");
    EXPECT_EQ(offset.spoken(), "Rest offset 2.5 percent, Pass, warn above 4 percent, fail above 8 percent");

    Measure info{"n", "Samples", 412, MeasureUnit::count, std::nullopt};
    EXPECT_EQ(info.verdict(), std::nullopt);
    EXPECT_EQ(info.limitText(), std::nullopt);
    EXPECT_EQ(info.spoken(), "Samples 412");

    Measure unbounded{"u", "Spread", 0.1, MeasureUnit::percent, Limit{}};
    EXPECT_EQ(unbounded.spoken(), "Spread 10 percent, Pass");
}

TEST(Measure, VerdictOfTheFirstMeasureWithAnId) {
    Limit limit{0.04, 0.08, Limit::Direction::above};
    std::vector<Measure> measures{
        {"a", "A", 0.1, MeasureUnit::percent, limit},
        {"a", "A again", 0.0, MeasureUnit::percent, limit},
        {"b", "B", 0.5, MeasureUnit::percent, std::nullopt},
    };
    EXPECT_EQ(Measure::verdict("a", measures), Verdict::fail);
    EXPECT_EQ(Measure::verdict("b", measures), Verdict::pass);
    EXPECT_EQ(Measure::verdict("missing", measures), Verdict::pass);
}

TEST(MeasureJson, RoundTripsAndReadsOptionalBounds) {
    Measure m{"jump", "Largest jump", 0.12, MeasureUnit::percent, Limit{std::nullopt, 0.15, Limit::Direction::above}};
    json doc = m.toJson();
    EXPECT_FALSE(doc["limit"].contains("warn"));
    EXPECT_EQ(doc["unit"], "percent");
    EXPECT_EQ(Measure::fromJson(Json::parse(Json::dump(doc))), m);

    auto read = Measure::fromJson(Json::parse(
        R"({"id":"x","label":"X","value":3,"unit":"count","limit":{"warn":null,"direction":"below"}})"));
    ASSERT_TRUE(read.limit);
    EXPECT_EQ(*read.limit, (Limit{std::nullopt, std::nullopt, Limit::Direction::below}));
    EXPECT_EQ(Measure::fromJson(Json::parse(R"({"id":"x","label":"X","value":3,"unit":"count","limit":null})")).limit,
              std::nullopt);
}

TEST(MeasureJson, RejectsBadDocuments) {
    EXPECT_THROW(Measure::fromJson(Json::parse(R"({"id":"x","label":"X","value":3,"unit":"furlongs"})")), DecodeError);
    EXPECT_THROW(Measure::fromJson(Json::parse(R"({"id":"x","label":"X","unit":"count"})")), DecodeError);
    EXPECT_THROW(Measure::fromJson(Json::parse(R"({"id":"x","label":"X","value":"3","unit":"count"})")), DecodeError);
    EXPECT_THROW(Limit::fromJson(Json::parse(R"({"warn":1})")), DecodeError);
    EXPECT_THROW(Limit::fromJson(Json::parse(R"({"warn":1,"direction":"sideways"})")), DecodeError);
    EXPECT_THROW(Limit::fromJson(json::array()), DecodeError);
    Measure notFinite{"x", "X", notANumber, MeasureUnit::count, std::nullopt};
    EXPECT_THROW(Json::dump(notFinite.toJson()), EncodingError);
}
