#include "testkit/AxisRole.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {
constexpr int desktop = 1, simulation = 2;
constexpr int X = 0x30, Y = 0x31, Z = 0x32, Rz = 0x35, slider = 0x36, dial = 0x37, wheelUsage = 0x38;
} // namespace

TEST(AxisRole, FirstMatchingNameDecidesOnTheDesktopPage) {
    // "pedal" is looked for before "racing", and it decides even where it gives no role.
    EXPECT_EQ(AxisRoles::suggest(desktop, X, "Racing Pedals"), AxisRole::pedal);
    EXPECT_EQ(AxisRoles::suggest(desktop, dial, "Racing Pedals"), std::nullopt);

    EXPECT_EQ(AxisRoles::suggest(desktop, X, "Driving WHEEL"), AxisRole::steering);
    EXPECT_EQ(AxisRoles::suggest(desktop, slider, "Steering unit"), AxisRole::pedal);
    EXPECT_EQ(AxisRoles::suggest(desktop, wheelUsage, "Racing wheel"), std::nullopt);

    EXPECT_EQ(AxisRoles::suggest(desktop, Rz, "Flight Stick"), AxisRole::twist);
    EXPECT_EQ(AxisRoles::suggest(desktop, Z, "Flight Stick"), AxisRole::throttle);
    EXPECT_EQ(AxisRoles::suggest(desktop, dial, "HOTAS X"), AxisRole::throttle);
    EXPECT_EQ(AxisRoles::suggest(desktop, X, "Flight Stick"), std::nullopt);
    EXPECT_EQ(AxisRoles::suggest(desktop, Y, "Flight Stick"), std::nullopt);

    for (int usage : {X, Y, Z, Rz, slider, dial}) EXPECT_EQ(AxisRoles::suggest(desktop, usage, "Gamepad"), std::nullopt);
}

TEST(AxisRole, SimulationPageIgnoresTheNameAndOtherInputGivesNoRole) {
    EXPECT_EQ(AxisRoles::suggest(simulation, 0xC8, "Joystick"), AxisRole::steering);
    EXPECT_EQ(AxisRoles::suggest(simulation, 0xBA, ""), AxisRole::twist);
    EXPECT_EQ(AxisRoles::suggest(simulation, 0xBB, ""), AxisRole::throttle);
    for (int usage : {0xC4, 0xC5, 0xC6}) EXPECT_EQ(AxisRoles::suggest(simulation, usage, ""), AxisRole::pedal);
    for (int usage : {0xB9, 0xBC, 0xC3, 0xC7, 0xC9}) EXPECT_EQ(AxisRoles::suggest(simulation, usage, "Wheel"), std::nullopt);

    EXPECT_EQ(AxisRoles::suggest(std::nullopt, X, "Wheel"), std::nullopt);
    EXPECT_EQ(AxisRoles::suggest(desktop, std::nullopt, "Wheel"), std::nullopt);
    EXPECT_EQ(AxisRoles::suggest(9, X, "Wheel"), std::nullopt);
}

TEST(AxisRole, TestsPerRoleAndRawValues) {
    EXPECT_EQ(testKinds(AxisRole::steering), (std::vector{TestKind::axisSweep, TestKind::axisCenter}));
    EXPECT_EQ(testKinds(AxisRole::twist), (std::vector{TestKind::axisSweep, TestKind::axisCenter}));
    EXPECT_EQ(testKinds(AxisRole::pedal), (std::vector{TestKind::pedal}));
    EXPECT_EQ(testKinds(AxisRole::throttle), (std::vector{TestKind::axisSweep}));
    EXPECT_EQ(fromRawValue<AxisRole>("twist"), AxisRole::twist);
    EXPECT_EQ(fromRawValue<AxisRole>("None"), std::nullopt);
    EXPECT_EQ(title(AxisRole::throttle), "Throttle or slider");
}
