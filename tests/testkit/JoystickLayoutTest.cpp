#include "testkit/JoystickLayout.h"

#include <gtest/gtest.h>

#include <map>

#include "testkit/HIDReportDecoder.h"

using namespace RorozErurEvo;
using L = JoystickLayout;

TEST(JoystickLayout, AxisCodesTakeTheUsagesTheKernelGaveThemAndNumberedAxesCountFromX) {
    EXPECT_EQ(L::usageOfAbsCode(0), (HIDUsagePair{1, 0x30}));
    EXPECT_EQ(L::usageOfAbsCode(5), (HIDUsagePair{1, 0x35}));
    EXPECT_EQ(L::usageOfAbsCode(6), (HIDUsagePair{1, 0x36}));
    EXPECT_EQ(L::usageOfAbsCode(9), (HIDUsagePair{2, 0xC4}));
    EXPECT_EQ(L::usageOfAbsCode(10), (HIDUsagePair{2, 0xC5}));
    EXPECT_EQ(L::usageOfAbsCode(0x28), (HIDUsagePair{1, 0x36}));
    EXPECT_EQ(L::numberedAxes(3), (std::vector<HIDUsagePair>{{1, 0x30}, {1, 0x31}, {1, 0x32}}));
}

TEST(JoystickLayout, HatBitsGiveTheHatFieldClockwiseFromUpAndCentredOutsideItsRange) {
    EXPECT_EQ(L::hatValue(0), 8);
    EXPECT_EQ(L::hatValue(L::hatUp), 0);
    EXPECT_EQ(L::hatValue(L::hatUp | L::hatRight), 1);
    EXPECT_EQ(L::hatValue(L::hatRight), 2);
    EXPECT_EQ(L::hatValue(L::hatDown | L::hatRight), 3);
    EXPECT_EQ(L::hatValue(L::hatDown), 4);
    EXPECT_EQ(L::hatValue(L::hatDown | L::hatLeft), 5);
    EXPECT_EQ(L::hatValue(L::hatLeft), 6);
    EXPECT_EQ(L::hatValue(L::hatUp | L::hatLeft), 7);
    EXPECT_EQ(L::hatValue(L::hatUp | L::hatDown), 8);
}

// Every input written into the report reads back through the decoder as the element it is.
TEST(JoystickLayout, ReportsDecodeToTheValuesWritten) {
    const L layout({{1, 0x30}, {2, 0xC5}}, 3, 10);
    const auto& d = layout.descriptor();
    EXPECT_TRUE(d.isGameDevice());
    EXPECT_FALSE(d.numberedReports);
    // 2 × 16 bits of axes, 12 of hats padded to 16, 10 buttons padded to 16: 8 bytes.
    EXPECT_EQ(layout.reportBytes(), 8u);
    EXPECT_EQ(d.inputReportBits.at(0), 64u);
    ASSERT_EQ(d.elements.size(), 15u);
    EXPECT_EQ(d.elements[1].page, 2);
    EXPECT_EQ(d.elements[1].logicalMin, -32768);
    EXPECT_EQ(d.elements[2].usage, 0x39);
    EXPECT_EQ(d.elements[2].logicalMax, 7);
    EXPECT_EQ(d.elements[14].usage, 10);

    auto report = layout.restingReport();
    layout.setAxis(report, 0, -32768);
    layout.setAxis(report, 1, 32767);
    layout.setHat(report, 1, L::hatLeft);
    layout.setButton(report, 9, true);
    layout.setButton(report, 10, true); // no such button
    layout.setAxis(report, 2, 5);       // no such axis

    HIDReportDecoder decoder(d);
    std::vector<HIDReportDecoder::Value> changed;
    decoder.decode(report, changed);
    std::map<std::size_t, std::int64_t> values;
    for (const auto& v : changed) values[v.element] = v.value;
    EXPECT_EQ(values.at(0), -32768);
    EXPECT_EQ(values.at(1), 32767);
    EXPECT_EQ(values.at(2), 8); // centred
    EXPECT_EQ(values.at(3), 6);
    EXPECT_EQ(values.at(4), 8);
    EXPECT_EQ(values.at(5), 0);
    EXPECT_EQ(values.at(14), 1);
}
