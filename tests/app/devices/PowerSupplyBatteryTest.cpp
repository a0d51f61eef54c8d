#include "app/devices/PowerSupplyBattery.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using Battery = DeviceOutputs::Battery;

TEST(PowerSupplyBattery, ReadsTheKernelsTexts) {
    EXPECT_EQ(PowerSupplyBattery::parse("85\n", "Discharging\n"), (Battery{0.85, "On battery"}));
    EXPECT_EQ(PowerSupplyBattery::parse("100", "Full"), (Battery{1.0, "Full"}));
    EXPECT_EQ(PowerSupplyBattery::parse("0", "Charging"), (Battery{0.0, "Charging"}));
    // A level without a state the user would understand keeps its level.
    EXPECT_EQ(PowerSupplyBattery::parse("40", "Not charging"), (Battery{0.4, std::nullopt}));
    EXPECT_EQ(PowerSupplyBattery::parse("40", "Unknown"), (Battery{0.4, std::nullopt}));
    EXPECT_EQ(PowerSupplyBattery::parse(std::nullopt, std::nullopt), Battery{});
}

TEST(PowerSupplyBattery, NonsenseGivesNoLevel) {
    for (const char* bad : {"", "abc", "85%", "-5", "101", "4 2", "99999999999999999999"})
        EXPECT_EQ(PowerSupplyBattery::parse(std::string(bad), "Full").level, std::nullopt) << bad;
}

TEST(PowerSupplyBattery, NodesWithoutADeviceFindNothing) {
    EXPECT_EQ(PowerSupplyBattery::locate("/nonexistent/node"), std::nullopt);
    EXPECT_EQ(PowerSupplyBattery::locate("/dev/null"), std::nullopt);
    EXPECT_EQ(PowerSupplyBattery::hidrawNode("/dev/null"), std::nullopt);
    EXPECT_EQ(PowerSupplyBattery::hidrawNode("/dev/hidraw5"), "/dev/hidraw5");
    EXPECT_EQ(PowerSupplyBattery(std::string("/sys/class/power_supply/nothing-here")).read(), Battery{});
}
