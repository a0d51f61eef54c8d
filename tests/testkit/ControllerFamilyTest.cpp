#include "testkit/ControllerFamily.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {
ControllerFamily familyOf(std::string name, std::optional<int> vendor = std::nullopt,
                          std::optional<int> product = std::nullopt, std::optional<std::string> category = std::nullopt) {
    DeviceInfo device{.name = std::move(name), .category = std::move(category), .vendorID = vendor, .productID = product};
    return ControllerFamilies::detect(device);
}
} // namespace

TEST(ControllerFamily, DetectionPrefersNamesThenUsbIds) {
    EXPECT_EQ(familyOf("Wireless Controller", 0x054C), ControllerFamily::playStation);
    EXPECT_EQ(familyOf("Wireless Controller"), ControllerFamily::generic);
    EXPECT_EQ(familyOf("Wireless Controller", 0x045E), ControllerFamily::xbox);
    EXPECT_EQ(familyOf("Wireless Controller", 0x057E), ControllerFamily::nintendoSwitch);
    EXPECT_EQ(familyOf("Wireless Controller", 0x1234), ControllerFamily::generic);

    EXPECT_EQ(familyOf("Retro N64 pad", 0x045E), ControllerFamily::n64);
    EXPECT_EQ(familyOf("Switch Pro Controller", 0x057E, 0x2019), ControllerFamily::n64);
    EXPECT_EQ(familyOf("Adapter", 0x057E, 0x0337), ControllerFamily::gameCube);
    EXPECT_EQ(familyOf("Nintendo 64 Adapter", 0x057E, 0x0337), ControllerFamily::n64);
    EXPECT_EQ(familyOf("xbox dualsense"), ControllerFamily::xbox);
    EXPECT_EQ(familyOf("Pad", std::nullopt, std::nullopt, "DualShock 4"), ControllerFamily::playStation);
    EXPECT_EQ(familyOf("Joy-Con (L)"), ControllerFamily::nintendoSwitch);
    // Only both ids together identify a product.
    EXPECT_EQ(familyOf("Pad", std::nullopt, 0x2019), ControllerFamily::generic);
}

TEST(ControllerFamily, TypicalThresholdsDepartFromStandardOnlyWhereListed) {
    EXPECT_EQ(typical(ControllerFamily::playStation), Thresholds::standard());
    EXPECT_EQ(typical(ControllerFamily::generic), Thresholds::standard());
    Thresholds n64 = Thresholds::standard();
    n64.driftWarn = 0.05, n64.driftFail = 0.1, n64.circularityWarn = 0.1, n64.circularityFail = 0.18;
    n64.outerDeadzoneWarn = 0.15, n64.outerDeadzoneFail = 0.35, n64.snapbackWarn = 0.07, n64.snapbackFail = 0.12;
    n64.settleWarnMs = 350, n64.gate = GateShape::octagonN64;
    EXPECT_EQ(typical(ControllerFamily::n64), n64);
    EXPECT_EQ(typical(ControllerFamily::gameCube).gate, GateShape::octagonGameCube);
}

TEST(FamilyProfiles, OverridesAreKeptOnlyWhenTheyDiffer) {
    FamilyProfiles profiles;
    EXPECT_EQ(profiles.thresholds(ControllerFamily::generic), Thresholds::standard());

    Thresholds looser = typical(ControllerFamily::xbox);
    looser.driftWarn = 0.06;
    profiles.set(looser, ControllerFamily::xbox);
    EXPECT_TRUE(profiles.isCustom(ControllerFamily::xbox));
    EXPECT_EQ(profiles.thresholds(ControllerFamily::xbox), looser);

    profiles.set(typical(ControllerFamily::xbox), ControllerFamily::xbox);
    EXPECT_FALSE(profiles.isCustom(ControllerFamily::xbox));
    profiles.set(looser, ControllerFamily::xbox);
    profiles.reset(ControllerFamily::xbox);
    profiles.reset(ControllerFamily::xbox);
    EXPECT_EQ(profiles, FamilyProfiles{});
}

TEST(FamilyProfiles, JsonFormKeepsUnknownKeysAndNeedsCustom) {
    EXPECT_EQ(FamilyProfiles::fromJson(json::parse(R"({"custom":{}})")), FamilyProfiles{});
    EXPECT_THROW(FamilyProfiles::fromJson(json::parse("{}")), DecodeError);
    EXPECT_THROW(FamilyProfiles::fromJson(json::parse(R"({"custom":[]})")), DecodeError);
    EXPECT_THROW(FamilyProfiles::fromJson(json::parse(R"([])")), DecodeError);

    auto read = FamilyProfiles::fromJson(json::parse(R"({"custom":{"n64":{"driftWarn":0.07},"future":{}}})"));
    EXPECT_EQ(read.thresholds(ControllerFamily::n64).driftWarn, 0.07);
    EXPECT_EQ(read.thresholds(ControllerFamily::n64).gate, GateShape::round); // missing keys take the standard
    EXPECT_EQ(FamilyProfiles::fromJson(read.toJson()), read);
    EXPECT_TRUE(read.toJson()["custom"].contains("future"));

    FamilyProfiles built({{ControllerFamily::gameCube, Thresholds::standard()}});
    EXPECT_TRUE(built.isCustom(ControllerFamily::gameCube));
}

TEST(ProfileLabel, NamesTheThresholdsInForce) {
    EXPECT_EQ(ProfileLabel::text(std::nullopt, true), "Your thresholds");
    EXPECT_EQ(ProfileLabel::text(ControllerFamily::generic, false), "Your thresholds");
    EXPECT_EQ(ProfileLabel::text(ControllerFamily::nintendoSwitch, false), "Switch family profile (typical)");
    EXPECT_EQ(ProfileLabel::text(ControllerFamily::n64, true), "N64-style family profile (your shop's)");
}
