#include "testkit/InputName.h"
#include "testkit/SoakStrip.h"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace RorozErurEvo;

namespace {
using S = SoakStrip::State;
std::string spokenOf(std::vector<S> bins) { return SoakStrip{60, std::move(bins)}.spoken(); }
} // namespace

TEST(SoakStrip, SpokenCountsRunsNotBins) {
    EXPECT_EQ(spokenOf({}), "input steady throughout");
    EXPECT_EQ(spokenOf({S::ok, S::ok}), "input steady throughout");
    EXPECT_EQ(spokenOf({S::gap, S::gap, S::ok, S::gap, S::disconnected, S::disconnected}),
              "dropouts in 2 places, disconnected once");
    EXPECT_EQ(spokenOf({S::ok, S::gap, S::gap}), "dropouts in 1 place");
    EXPECT_EQ(spokenOf({S::disconnected, S::ok, S::disconnected, S::pause}),
              "disconnected 2 times, some time without input");
    EXPECT_EQ(spokenOf({S::ok, S::pause, S::ok}), "some time without input");
    EXPECT_EQ(word(S::ok), "input OK");
    EXPECT_EQ(word(S::pause), "no input");
}

TEST(SoakStrip, JsonRoundTripAndStrictBins) {
    SoakStrip strip{600, {S::ok, S::pause, S::gap, S::disconnected}};
    json doc = strip.toJson();
    EXPECT_EQ(doc["bins"], json({"ok", "pause", "gap", "disconnected"}));
    EXPECT_EQ(SoakStrip::fromJson(Json::parse(Json::dump(doc))), strip);
    EXPECT_THROW(SoakStrip::fromJson(Json::parse(R"({"seconds":600,"bins":["ok","lost"]})")), DecodeError);
    EXPECT_THROW(SoakStrip::fromJson(Json::parse(R"({"seconds":600,"bins":["ok",1]})")), DecodeError);
    EXPECT_THROW(SoakStrip::fromJson(Json::parse(R"({"seconds":600})")), DecodeError);
    EXPECT_THROW(SoakStrip::fromJson(Json::parse(R"({"bins":[]})")), DecodeError);
}

TEST(InputName, JsonAndHashing) {
    InputName a{"buttonA", "A"};
    EXPECT_EQ(a.toJson(), json({{"id", "buttonA"}, {"name", "A"}}));
    EXPECT_EQ(InputName::fromJson(a.toJson()), a);
    EXPECT_THROW(InputName::fromJson(Json::parse(R"({"id":"x"})")), DecodeError);
    std::unordered_set<InputName> names{a, {"buttonA", "A"}, {"buttonA", "Cross"}};
    EXPECT_EQ(names.size(), 2u);
}
