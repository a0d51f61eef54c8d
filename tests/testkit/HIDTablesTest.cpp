#include "testkit/AxisScale.h"
#include "testkit/HIDUsage.h"
#include "testkit/HatSwitch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace RorozErurEvo;

TEST(HIDUsage, KeyboardsAndMiceAreToldApartFromGameDevices) {
    EXPECT_FALSE(HIDUsage::isKeyboardOrMouse(1, 5)); // game pad
    EXPECT_FALSE(HIDUsage::isKeyboardOrMouse(1, 4)); // joystick
    EXPECT_TRUE(HIDUsage::isKeyboardOrMouse(7, 0));  // any usage of the keyboard page
    for (int usage : {1, 2, 6, 7}) EXPECT_TRUE(HIDUsage::isKeyboardOrMouse(1, usage)) << usage;
    EXPECT_FALSE(HIDUsage::isKeyboardOrMouse(12, 6)); // the consumer page's usage 6 is no keyboard
}

TEST(HIDUsage, OnlyInputPagesAreShown) {
    for (int page : {1, 2, 3, 4, 5, 6, 9, 12}) EXPECT_TRUE(HIDUsage::isShown(page)) << page;
    for (int page : {0, 7, 8, 10, 11, 13, 0xFF00}) EXPECT_FALSE(HIDUsage::isShown(page)) << page;
}

TEST(HIDUsage, NamesKnownUsagesAndFallsBackToHexadecimal) {
    EXPECT_EQ(HIDUsage::name(1, 0x30), "X");
    EXPECT_EQ(HIDUsage::name(1, 57), "Hat switch");
    EXPECT_EQ(HIDUsage::name(2, 197), "Brake");
    EXPECT_EQ(HIDUsage::name(12, 547), "Home");
    EXPECT_EQ(HIDUsage::name(9, 0), "No button");
    EXPECT_EQ(HIDUsage::name(9, 3), "Button 3");
    EXPECT_EQ(HIDUsage::name(9, 128), "Button 128");
    EXPECT_EQ(HIDUsage::name(1, 58), "Desktop 3A");
    EXPECT_EQ(HIDUsage::name(2, 5), "Simulation 05");
    EXPECT_EQ(HIDUsage::name(5, 0x1234), "Game 1234");
    EXPECT_EQ(HIDUsage::name(6, 1), "Device 01");
    EXPECT_EQ(HIDUsage::name(12, 0xFFF), "Consumer FFF");
    EXPECT_EQ(HIDUsage::name(255, 1), "Page FF usage 01");
    EXPECT_EQ(HIDUsage::name(0xFF00, 0x0A), "Page FF00 usage 0A");
    EXPECT_EQ(HIDUsage::name(3, 48), "Page 03 usage 30"); // VR has no page word
}

TEST(HatSwitch, EightWayHatsFromZeroOrOne) {
    EXPECT_EQ(HatSwitch::direction(0, 0, 7), Direction8::up);
    EXPECT_EQ(HatSwitch::direction(1, 0, 7), Direction8::upRight);
    EXPECT_EQ(HatSwitch::direction(2, 0, 7), Direction8::right);
    EXPECT_EQ(HatSwitch::direction(3, 0, 7), Direction8::downRight);
    EXPECT_EQ(HatSwitch::direction(4, 0, 7), Direction8::down);
    EXPECT_EQ(HatSwitch::direction(6, 0, 7), Direction8::left);
    EXPECT_EQ(HatSwitch::direction(7, 0, 7), Direction8::upLeft);
    EXPECT_EQ(HatSwitch::direction(8, 0, 7), std::nullopt); // the null state: centred
    EXPECT_EQ(HatSwitch::direction(15, 0, 7), std::nullopt);
    EXPECT_EQ(HatSwitch::direction(-1, 0, 7), std::nullopt);

    EXPECT_EQ(HatSwitch::direction(1, 1, 8), Direction8::up);
    EXPECT_EQ(HatSwitch::direction(8, 1, 8), Direction8::upLeft);
    EXPECT_EQ(HatSwitch::direction(0, 1, 8), std::nullopt); // centred below the range
}

TEST(HatSwitch, FourWayHatsAndRangesThatAreNoHat) {
    EXPECT_EQ(HatSwitch::direction(0, 0, 3), Direction8::up);
    EXPECT_EQ(HatSwitch::direction(1, 0, 3), Direction8::right);
    EXPECT_EQ(HatSwitch::direction(2, 0, 3), Direction8::down);
    EXPECT_EQ(HatSwitch::direction(3, 0, 3), Direction8::left);
    EXPECT_EQ(HatSwitch::direction(4, 0, 3), std::nullopt);
    EXPECT_EQ(HatSwitch::direction(4, 0, 4), std::nullopt); // a fifth position lands past upLeft

    for (int value : {0, 1, 2, 3}) EXPECT_EQ(HatSwitch::direction(value, 0, 2), std::nullopt);
    EXPECT_EQ(HatSwitch::direction(0, 7, 0), std::nullopt); // inverted range
    // Ranges at the ends of 64 bits neither overflow nor read as a hat.
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(HatSwitch::direction(0, lowest, highest), std::nullopt);
    EXPECT_EQ(HatSwitch::direction(lowest + 2, lowest, highest), Direction8::right);
}

TEST(HatSwitch, PointsAreSquareCornersAndEdges) {
    EXPECT_EQ(HatSwitch::point(Direction8::upRight), (PlotPoint{1, 1}));
    EXPECT_EQ(HatSwitch::point(Direction8::left), (PlotPoint{-1, 0}));
    EXPECT_EQ(HatSwitch::point(Direction8::down), (PlotPoint{0, -1}));
    EXPECT_EQ(HatSwitch::point(Direction8::downRight), (PlotPoint{1, -1}));
    EXPECT_EQ(HatSwitch::point(std::nullopt), (PlotPoint{0, 0}));
}

TEST(AxisScale, UnitAndCentredScalesClampAndSurviveEmptyRanges) {
    EXPECT_EQ(AxisScale::unit(5, 7, 7), 0);
    EXPECT_EQ(AxisScale::unit(5, 9, 3), 0);
    EXPECT_EQ(AxisScale::unit(300, 0, 255), 1);
    EXPECT_EQ(AxisScale::unit(-4, 0, 255), 0);
    EXPECT_DOUBLE_EQ(AxisScale::unit(64, 0, 256), 0.25);
    EXPECT_DOUBLE_EQ(AxisScale::unit(0, -32768, 32767), 32768.0 / 65535.0);

    EXPECT_DOUBLE_EQ(AxisScale::centered(128, 0, 255), 0.5 / 127.5);
    EXPECT_EQ(AxisScale::centered(0, 0, 255), -1);
    EXPECT_EQ(AxisScale::centered(255, 0, 255), 1);
    EXPECT_EQ(AxisScale::centered(1000, 0, 255), 1);
    EXPECT_EQ(AxisScale::centered(3, 3, 3), 0);
    EXPECT_EQ(AxisScale::centered(3, 4, 3), 0);
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(AxisScale::unit(highest, lowest, highest), 1);
    EXPECT_EQ(AxisScale::centered(lowest, lowest, highest), -1);
}

TEST(AxisScale, SignExtendRepairsOnlySignedFieldsReadUnsigned) {
    EXPECT_EQ(AxisScale::signExtend(65535, 16, -32768, 32767), -1);
    EXPECT_EQ(AxisScale::signExtend(65535, 16, 0, 65535), 65535);
    EXPECT_EQ(AxisScale::signExtend(0x81, 8, -127, 127), -127);
    EXPECT_EQ(AxisScale::signExtend(127, 8, -127, 127), 127);
    EXPECT_EQ(AxisScale::signExtend(-5, 8, -127, 127), -5); // already negative and in range
    EXPECT_EQ(AxisScale::signExtend(200, 0, -127, 127), 200);
    EXPECT_EQ(AxisScale::signExtend(200, 64, -127, 127), 200);
}

TEST(AxisScale, SignExtendIsExactAtEveryWidthUpTo63Bits) {
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    for (int bits = 1; bits <= 63; ++bits) {
        const std::int64_t allOnes = static_cast<std::int64_t>((std::uint64_t{1} << bits) - 1);
        EXPECT_EQ(AxisScale::signExtend(allOnes, bits, -1, 0), -1) << bits;
    }
    // The most negative 63-bit number, 0x4000…0, and the largest pattern that 63 bits can carry.
    EXPECT_EQ(AxisScale::signExtend(std::int64_t{1} << 62, 63, -(std::int64_t{1} << 62), (std::int64_t{1} << 62) - 1),
              -(std::int64_t{1} << 62));
    EXPECT_EQ(AxisScale::signExtend(highest, 63, -1, 0), -1);
    // A value with no 64-bit answer stays as it is rather than wrapping around.
    EXPECT_EQ(AxisScale::signExtend(lowest + 1, 63, lowest, lowest), lowest + 1);
    EXPECT_EQ(AxisScale::signExtend(-1, 63, -10, -5), -1);
    EXPECT_EQ(AxisScale::signExtend(-1, 8, -10, -5), -257);
}
