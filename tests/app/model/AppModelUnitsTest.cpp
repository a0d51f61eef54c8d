// The thresholds in effect for a device and the record of a new unit.
#include <gtest/gtest.h>

#include "ModelFakes.h"

using namespace Tessarine;
using RorozErurEvo::ControllerFamily;
using RorozErurEvo::Thresholds;

TEST(AppModelUnits, FamilyProfilesApplyOnlyWhenOnAndNotGeneric) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    Thresholds own = Thresholds::standard();
    own.driftWarn = 0.02;
    m.settings().setThresholds(own);
    auto widget = Fakes::controller("gc-1", "Widget");

    EXPECT_EQ(m.settings().family(*widget), ControllerFamily::generic);
    EXPECT_EQ(m.thresholds(*widget), own);
    EXPECT_EQ(m.settings().thresholdsLabel(*widget), "Your thresholds");

    // The user's choice of family beats detection.
    m.settings().setFamilyChoice("gc-1", ControllerFamily::xbox);
    EXPECT_EQ(m.settings().profileFamily(*widget), ControllerFamily::xbox);
    EXPECT_EQ(m.thresholds(*widget), m.settings().familyProfiles().thresholds(ControllerFamily::xbox));
    EXPECT_EQ(m.settings().thresholdsLabel(*widget),
              RorozErurEvo::ProfileLabel::text(ControllerFamily::xbox, false));

    Thresholds custom = Thresholds::standard();
    custom.soakMinutes = 3;
    RorozErurEvo::FamilyProfiles profiles;
    profiles.custom["xbox"] = custom;
    m.settings().setFamilyProfiles(profiles);
    EXPECT_EQ(m.thresholds(*widget), custom);
    EXPECT_EQ(m.settings().thresholdsLabel(*widget),
              RorozErurEvo::ProfileLabel::text(ControllerFamily::xbox, true));

    m.settings().setUseFamilyProfiles(false);
    EXPECT_EQ(m.settings().profileFamily(*widget), std::nullopt);
    EXPECT_EQ(m.thresholds(*widget), own);
}

TEST(AppModelUnits, ANewUnitTakesTheSerialFromTheRawPartnerAndIsNotKept) {
    Fakes::Bench bench;
    AppModel& m = *bench.model;
    m.settings().setDefaultTechnician("Ana");
    auto pad = Fakes::controller("gc-1", "Pad");
    bench.controllers->list = {pad};
    bench.hid->plug(1, Fakes::tap(1, "Pad", bench.clock, {}, "SER-42"));
    m.refreshHID();
    m.refreshControllers();

    EXPECT_EQ(m.deviceLists().unit(*pad),
              (UnitRecord{.unit = "SER-42", .stage = "Before repair", .technician = "Ana"}));
    EXPECT_EQ(m.deviceLists().unit(*Fakes::controller("gc-2", "Pad")).unit, "") << "no serial anywhere";
    EXPECT_TRUE(m.deviceLists().units().empty());

    m.deviceLists().setUnit("gc-1", UnitRecord{.unit = "Ticket 7"});
    EXPECT_EQ(m.deviceLists().unit(*pad).unit, "Ticket 7");
}
