#include "testkit/DeviceInfo.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

DeviceInfo device(std::string name, std::optional<std::string> serial = std::nullopt,
                  std::optional<int> vendorID = std::nullopt, std::optional<int> productID = std::nullopt,
                  std::optional<std::string> category = std::nullopt) {
    DeviceInfo info;
    info.name = std::move(name);
    info.serial = std::move(serial);
    info.vendorID = vendorID;
    info.productID = productID;
    info.category = std::move(category);
    return info;
}

} // namespace

TEST(DeviceInfoSameUnit, SerialsDecideWhenBothHaveOne) {
    EXPECT_TRUE(device("Pad", " ABC1 ").isSameUnit(device("Other name", "abc1\n")));
    EXPECT_FALSE(device("Pad", " ABC1 ", 1).isSameUnit(device("Pad", "abc1", 2)));
    EXPECT_TRUE(device("Pad", "ABC1", 1).isSameUnit(device("Pad", "abc1")));
    EXPECT_FALSE(device("Pad", "ABC1", 1, 2).isSameUnit(device("Pad", "ABC2", 1, 2)));
}

TEST(DeviceInfoSameUnit, UsbIdentityWhenASerialIsMissing) {
    EXPECT_TRUE(device("Pad", "ABC1", 1, 2).isSameUnit(device("Renamed", "  ", 1, 2)));
    EXPECT_FALSE(device("Pad", std::nullopt, 1, 2).isSameUnit(device("Pad", std::nullopt, 1, 3)));
    // Only one product id known: falls through to the name.
    EXPECT_TRUE(device("Pad", std::nullopt, 1, 2).isSameUnit(device("pad", std::nullopt, 1)));
}

TEST(DeviceInfoSameUnit, NameAndCategoryAsTheLastResort) {
    EXPECT_TRUE(device("Pad").isSameUnit(device(" pad ")));
    EXPECT_FALSE(device("Pad").isSameUnit(device("")));
    EXPECT_TRUE(device("").isSameUnit(device(" ")));
    EXPECT_FALSE(device("Pad", {}, {}, {}, "Gamepad").isSameUnit(device("Pad", {}, {}, {}, "Wheel")));
    EXPECT_TRUE(device("Pad", {}, {}, {}, "Gamepad").isSameUnit(device("Pad")));
}
