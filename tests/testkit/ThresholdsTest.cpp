#include "testkit/Thresholds.h"

#include <gtest/gtest.h>

#include <limits>

using namespace RorozErurEvo;

TEST(Thresholds, DefaultsAreStandardAndWrittenInFull) {
    Thresholds t;
    EXPECT_EQ(t, Thresholds::standard());
    EXPECT_EQ(t.driftWarn, 0.04);
    EXPECT_EQ(t.settleWarnMs, 250);
    EXPECT_EQ(t.soakDisconnectsAllowed, 0);
    EXPECT_EQ(t.soakMinutes, 10);
    EXPECT_EQ(t.gate, GateShape::round);

    json doc = t.toJson();
    EXPECT_EQ(doc.size(), 43u);
    EXPECT_EQ(doc["gate"], "round");
    EXPECT_EQ(doc["pedalReachFail"], 0.85);
    EXPECT_EQ(Thresholds::fromJson(Json::parse(Json::dump(doc))), Thresholds::standard());
}

TEST(Thresholds, EqualityComparesEveryFieldAndNaNIsNeverEqual) {
    Thresholds changed;
    changed.soakCoverageWarn = 0.7;
    EXPECT_NE(changed, Thresholds::standard());
    Thresholds gate;
    gate.gate = GateShape::square;
    EXPECT_NE(gate, Thresholds::standard());
    Thresholds withNaN;
    withNaN.noiseWarn = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(withNaN == withNaN);
}

TEST(ThresholdsJson, ReadsEachKeyOnItsOwnAndFallsBackToDefaults) {
    EXPECT_EQ(Thresholds::fromJson(json::object()), Thresholds::standard());

    Thresholds expected;
    expected.driftWarn = 0.06;
    EXPECT_EQ(Thresholds::fromJson(Json::parse(R"({"driftWarn": 0.06})")), expected);

    auto forgiving = Thresholds::fromJson(Json::parse(
        R"({"driftWarn": "0.06", "gate": "hexagon", "driftFail": null, "noiseWarn": true, "unknown": 5,
            "soakMinutes": [1], "circularityWarn": {}})"));
    EXPECT_EQ(forgiving, Thresholds::standard());

    auto mixed = Thresholds::fromJson(Json::parse(R"({"gate": "octagonGameCube", "soakGapMs": 150, "edgeReach": 1})"));
    EXPECT_EQ(mixed.gate, GateShape::octagonGameCube);
    EXPECT_EQ(mixed.soakGapMs, 150);
    EXPECT_EQ(mixed.edgeReach, 1.0);
    EXPECT_EQ(mixed.driftWarn, 0.04);
}

TEST(ThresholdsJson, OnlyANonObjectFails) {
    EXPECT_THROW(Thresholds::fromJson(json::array()), DecodeError);
    EXPECT_THROW(Thresholds::fromJson(json(3)), DecodeError);
    EXPECT_THROW(Thresholds::fromJson(json(nullptr)), DecodeError);
    EXPECT_THROW(Thresholds::fromJson(json("{}")), DecodeError);
}
