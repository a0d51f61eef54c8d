#include "testkit/Date.h"
#include "testkit/Json.h"
#include "testkit/Uuid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace RorozErurEvo;

TEST(Uuid, RoundTripsAsUpperCaseAndParsesStrictly) {
    Uuid id = Uuid::random();
    std::string text = id.text();
    EXPECT_EQ(text.size(), 36u);
    for (char c : text) EXPECT_FALSE(c >= 'a' && c <= 'z') << text;
    EXPECT_EQ(Uuid::parse(text), id);
    EXPECT_EQ(Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f")->text(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_FALSE(Uuid::parse("E621E1F8C36C495A93FC0C247A3E6E5F"));
    EXPECT_FALSE(Uuid::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5G"));
    EXPECT_FALSE(Uuid::parse("{E621E1F8-C36C-495A-93FC-0C247A3E6E5}"));
    // Any one character out of place is refused, wherever it stands.
    const std::string good = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";
    for (std::size_t i = 0; i < good.size(); ++i)
        for (char bad : {'-', 'g', ' ', '\0', '\xC3'}) {
            std::string text = good;
            if (text[i] == bad) continue;
            text[i] = bad;
            EXPECT_FALSE(Uuid::parse(text)) << i;
        }
    EXPECT_NE(Uuid::random(), Uuid::random());
}

TEST(Date, WritesToTheSecondAndRejectsOtherForms) {
    auto date = Dates::parseIso("2026-03-01T09:05:07Z");
    ASSERT_TRUE(date);
    EXPECT_EQ(Dates::iso(*date), "2026-03-01T09:05:07Z");
    EXPECT_FALSE(Dates::parseIso("2026-03-01T09:05:07.250Z"));
    EXPECT_FALSE(Dates::parseIso("2026-03-01T09:05:07+01:00"));
    EXPECT_FALSE(Dates::parseIso("2026-02-30T09:05:07Z"));
    EXPECT_FALSE(Dates::parseIso(""));
    EXPECT_EQ(Dates::iso(Dates::fromSeconds(0.9)), "1970-01-01T00:00:00Z");
}

TEST(Json, NonFiniteNumbersAreAnEncodingErrorNotNull) {
    json doc = {{"a", 1.5}, {"list", {1.0, std::numeric_limits<double>::quiet_NaN()}}};
    EXPECT_THROW(Json::dump(doc), EncodingError);
    doc["list"][1] = INFINITY;
    EXPECT_THROW(Json::dump(doc), EncodingError);
    doc["list"][1] = 2.0;
    EXPECT_EQ(Json::dump(doc), "{\n  \"a\": 1.5,\n  \"list\": [\n    1.0,\n    2.0\n  ]\n}");
}

TEST(Json, ReadersCheckTypesAndReportBadInputAsDecodeError) {
    EXPECT_THROW(Json::parse("{\"a\": "), DecodeError);
    json doc = Json::parse(R"({"s":"x","n":2,"f":2.5,"b":true,"z":null})");
    EXPECT_EQ(Json::string(doc, "s"), "x");
    EXPECT_EQ(Json::integer(doc, "n"), 2);
    EXPECT_THROW(Json::integer(doc, "f"), DecodeError);
    EXPECT_DOUBLE_EQ(Json::number(doc, "n"), 2.0);
    EXPECT_THROW(Json::number(doc, "s"), DecodeError);
    EXPECT_THROW(Json::string(doc, "missing"), DecodeError);
    EXPECT_FALSE(Json::optString(doc, "z"));
    EXPECT_FALSE(Json::optNumber(doc, "missing"));
    EXPECT_THROW(Json::optNumber(doc, "s"), DecodeError);
    EXPECT_THROW(Json::string(json::array(), "s"), DecodeError);
}

TEST(Json, WholeNumbersOutsideTheirTypeAreRefusedNotWrapped) {
    const json doc = Json::parse(R"({"huge": 18446744073709551615, "past": 9223372036854775808,
                                     "top": 9223372036854775807, "big": 4294967301, "low": -2147483649,
                                     "whole": 3.0, "null": null})");
    EXPECT_THROW(Json::integer(doc, "huge"), DecodeError);
    EXPECT_THROW(Json::integer(doc, "past"), DecodeError);
    EXPECT_EQ(Json::integer(doc, "top"), std::numeric_limits<long long>::max());
    EXPECT_EQ(Json::integer(doc, "big"), 4294967301);
    EXPECT_THROW(Json::integerIn<int>(doc, "big"), DecodeError);
    EXPECT_THROW(Json::integerIn<int>(doc, "low"), DecodeError);
    EXPECT_EQ(Json::integerIn<std::uint8_t>(doc, "whole"), 3);
    EXPECT_THROW(Json::integer(doc, "big", 0, 100), DecodeError);
    EXPECT_THROW(Json::optIntegerIn<int>(doc, "big"), DecodeError);
    EXPECT_FALSE(Json::optIntegerIn<int>(doc, "null"));
    EXPECT_FALSE(Json::optIntegerIn<int>(doc, "missing"));
    try {
        Json::integerIn<int>(doc, "big");
    } catch (const DecodeError& error) {
        EXPECT_STREQ(error.what(), "\"big\" is out of range");
    }
}
