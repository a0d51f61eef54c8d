#include "testkit/Thresholds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "testkit/ControllerFamily.h"
#include "testkit/LimitOrder.h"

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

TEST(LimitOrder, EveryShippedRecordKeepsItsPairsInOrderAndEachPairPointsTheWayItsMeasureWorsens) {
    using LimitOrder::Worse;
    std::vector<Thresholds> shipped{Thresholds::standard()};
    for (auto family : allCases<ControllerFamily>())
        shipped.push_back(typical(family));
    for (const Thresholds& record : shipped)
        for (const auto& pair : LimitOrder::pairs()) EXPECT_TRUE(LimitOrder::inOrder(record, pair));

    EXPECT_EQ(LimitOrder::pairs().size(), 15u);
    EXPECT_EQ(LimitOrder::pairOf(&Thresholds::driftFail)->worse, Worse::above);
    EXPECT_EQ(LimitOrder::pairOf(&Thresholds::triggerReachWarn)->worse, Worse::below);
    EXPECT_EQ(LimitOrder::pairOf(&Thresholds::rangeFail)->worse, Worse::below);
    EXPECT_EQ(LimitOrder::pairOf(&Thresholds::pedalReachFail)->worse, Worse::below);
    EXPECT_EQ(LimitOrder::pairOf(&Thresholds::soakGapRateWarn)->fail, &Thresholds::soakGapRateFail);
    EXPECT_FALSE(LimitOrder::pairOf(&Thresholds::noiseWarn)) << "a single limit has no partner";
    EXPECT_FALSE(LimitOrder::pairOf(&Thresholds::soakCoverageWarn));

    Thresholds t;
    const auto drift = *LimitOrder::pairOf(&Thresholds::driftWarn);
    t.driftWarn = 0.2;
    t.driftFail = 0.08;
    EXPECT_FALSE(LimitOrder::inOrder(t, drift));
    t.driftWarn = 0.08;
    EXPECT_TRUE(LimitOrder::inOrder(t, drift)) << "equal limits leave the warn band empty";
    t.driftWarn = std::nan("");
    EXPECT_FALSE(LimitOrder::inOrder(t, drift));
    const auto reach = *LimitOrder::pairOf(&Thresholds::triggerReachFail);
    t.triggerReachWarn = 0.8; // below its fail of 0.85: a pull of 0.82 would fail without a warning first
    EXPECT_FALSE(LimitOrder::inOrder(t, reach));
}

TEST(LimitOrder, ARecordIsRefusedForItsFirstImpossibleLimitWithTheReason) {
    EXPECT_FALSE(LimitOrder::refusal(Thresholds::standard()));
    for (auto family : allCases<ControllerFamily>()) EXPECT_FALSE(LimitOrder::refusal(typical(family)));

    Thresholds t;
    t.soakMinutes = -1; // a field no pair holds is still a limit that can't be negative
    t.driftWarn = 0.5;  // and is reported before any pair
    auto refused = LimitOrder::refusal(t);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->field, &Thresholds::soakMinutes);
    EXPECT_FALSE(refused->pair);
    EXPECT_EQ(refused->reason, "soakMinutes -1 is below zero");

    t.soakMinutes = 10;
    refused = LimitOrder::refusal(t);
    ASSERT_TRUE(refused && refused->pair);
    EXPECT_EQ(refused->pair->fail, &Thresholds::driftFail);
    EXPECT_EQ(refused->reason, "driftWarn 0.5 lies above driftFail 0.08; higher is worse, so warn can be at most fail");

    t = Thresholds{};
    t.rangeWarn = 0.5;
    EXPECT_EQ(LimitOrder::refusal(t)->reason,
              "rangeWarn 0.5 lies below rangeFail 0.75; lower is worse, so warn can be at least fail");
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        t = Thresholds{};
        t.settleWarnMs = bad;
        EXPECT_EQ(LimitOrder::refusal(t)->reason, "settleWarnMs is not a finite number");
    }
    t = Thresholds{};
    t.soakGapRateFail = -0.0;
    t.soakGapRateWarn = 0;
    EXPECT_FALSE(LimitOrder::refusal(t)) << "zero limits are possible";
}

TEST(LimitOrder, ProfilesAreRefusedForTheFamilyAtFaultOnly) {
    FamilyProfiles profiles;
    Thresholds fine = typical(ControllerFamily::xbox);
    fine.driftFail = 0.3;
    profiles.set(fine, ControllerFamily::xbox);
    EXPECT_FALSE(LimitOrder::refusal(profiles));

    Thresholds impossible = typical(ControllerFamily::n64);
    impossible.jitterWarn = -0.1;
    profiles.set(impossible, ControllerFamily::n64);
    auto refused = LimitOrder::refusal(profiles);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->family, ControllerFamily::n64);
    EXPECT_TRUE(refused->reason.starts_with(title(ControllerFamily::n64) + ": jitterWarn")) << refused->reason;

    profiles.reset(ControllerFamily::n64);
    profiles.custom["retired"] = impossible; // never consulted, so never in the way
    EXPECT_FALSE(LimitOrder::refusal(profiles));
}
