#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

#include "support/HIDDescriptors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

using namespace RorozErurEvo;
using namespace HIDTestDescriptors;

namespace {

HIDDescriptor parse(const Bytes& bytes) { return HIDDescriptor::parse(bytes); }

std::vector<HIDReportDecoder::Value> decode(HIDReportDecoder& decoder, const Bytes& report) {
    std::vector<HIDReportDecoder::Value> changed;
    decoder.decode(report, changed);
    return changed;
}

// An input element as the parser should give it.
HIDElement field(int cookie, int page, int usage, std::int64_t min, std::int64_t max, int bits, int offset,
                 int reportID = 0) {
    HIDElement e;
    e.cookie = static_cast<std::uint32_t>(cookie);
    e.page = page;
    e.usage = usage;
    e.logicalMin = min;
    e.logicalMax = max;
    e.reportSize = bits;
    e.reportID = reportID;
    e.bitOffset = offset;
    e.isSigned = min < 0;
    return e;
}

// Wraps items in an application collection of a game pad.
Bytes gamePad(Bytes items) {
    Bytes bytes = {0x05, 0x01, 0x09, 0x05, 0xA1, 0x01};
    bytes.insert(bytes.end(), items.begin(), items.end());
    bytes.push_back(0xC0);
    return bytes;
}

} // namespace

TEST(HIDDescriptor, JoystickFieldsBecomeOneElementEachWithTheirPlaceInTheReport) {
    HIDDescriptor d = parse(joystick);
    EXPECT_EQ(d.applications, (std::vector<HIDUsagePair>{{1, 4}}));
    EXPECT_TRUE(d.isGameDevice());
    EXPECT_FALSE(d.isKeyboardOrMouse());
    EXPECT_FALSE(d.numberedReports);
    ASSERT_EQ(d.elements.size(), 6u + 1 + 13); // padding declares no elements
    const int axes[] = {0x30, 0x31, 0x32, 0x35, 0x33, 0x34};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(d.elements[static_cast<std::size_t>(i)], field(i + 1, 1, axes[i], 0, 255, 8, 8 * i)) << i;
    EXPECT_EQ(d.elements[6], field(7, 1, 0x39, 0, 7, 4, 48));
    EXPECT_EQ(d.elements[19], field(20, 9, 13, 0, 1, 1, 56 + 12));
}

TEST(HIDDescriptor, WheelCollectionsAndSimulationUsages) {
    HIDDescriptor d = parse(wheel);
    EXPECT_EQ(d.applications, (std::vector<HIDUsagePair>{{2, 2}}));
    EXPECT_TRUE(d.isGameDevice());
    ASSERT_EQ(d.elements.size(), 1u + 2 + 8);
    EXPECT_EQ(d.elements[0], field(1, 1, 0x30, 0, 65535, 16, 0)); // a 4-byte maximum, unsigned
    EXPECT_EQ(d.elements[1], field(2, 2, 0xC4, 0, 255, 8, 16));
    EXPECT_EQ(d.elements[2], field(3, 2, 0xC5, 0, 255, 8, 24));
}

TEST(HIDDescriptor, CompositeKeyboardAndGamePad) {
    HIDDescriptor d = parse(composite);
    EXPECT_EQ(d.applications, (std::vector<HIDUsagePair>{{1, 6}, {1, 5}}));
    EXPECT_TRUE(d.isGameDevice());
    EXPECT_TRUE(d.isKeyboardOrMouse()); // set aside, so no keyboard is ever seized
    EXPECT_TRUE(d.numberedReports);
    EXPECT_EQ(d.inputReportBits, (std::map<int, std::size_t>{{1, 56}, {2, 24}})); // outputs apart
    // 8 modifiers, 102 key usages of the array, 5 LEDs, X, Y, 4 buttons.
    ASSERT_EQ(d.elements.size(), 8u + 102 + 5 + 2 + 4);
    HIDElement keyA = field(13, 7, 4, 0, 1, 8, 8, 1); // the A key: one of six slots holds 4
    keyA.arraySlots = 6;
    keyA.arrayIndex = 4;
    EXPECT_EQ(d.elements[12], keyA);
    HIDElement led = field(111, 8, 1, 0, 1, 1, 0, 1); // outputs count their own report bits
    led.type = HIDElementType::output;
    EXPECT_EQ(d.elements[110], led);
    EXPECT_EQ(d.elements[115], field(116, 1, 0x30, -127, 127, 8, 0, 2));
}

TEST(HIDDescriptor, LogicalMaximumReadsUnsignedOnlyOverANonNegativeRange) {
    // 0xFF as a one-byte maximum: 255 after a minimum of 0, −1 after a minimum of −128, and the
    // minimum decides even when it is declared after the maximum.
    auto single = [](Bytes globals) {
        Bytes items = {0x09, 0x30};
        items.insert(items.end(), globals.begin(), globals.end());
        Bytes tail = {0x75, 0x08, 0x95, 0x01, 0x81, 0x02};
        items.insert(items.end(), tail.begin(), tail.end());
        return parse(gamePad(items)).elements.at(0);
    };
    EXPECT_EQ(single({0x15, 0x00, 0x25, 0xFF}).logicalMax, 255);
    EXPECT_EQ(single({0x25, 0xFF, 0x15, 0x00}).logicalMax, 255);
    EXPECT_EQ(single({0x15, 0x80, 0x25, 0xFF}).logicalMax, -1);
    EXPECT_EQ(single({0x25, 0xFF, 0x15, 0x80}).logicalMax, -1);
    EXPECT_EQ(single({0x15, 0x80, 0x25, 0xFF}).logicalMin, -128);
    EXPECT_EQ(single({0x16, 0x00, 0x80, 0x26, 0xFF, 0x7F}).logicalMin, -32768);
}

TEST(HIDDescriptor, UsagesPushPopAndExtendedPages) {
    Bytes bytes = gamePad({
        0x05, 0x09, 0x09, 0x01,             // button 1
        0x0B, 0x31, 0x00, 0x01, 0x00,       // a four-byte usage: desktop Y, despite the button page
        0xA4,                               // push
        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, // 3 fields, 2 usages
        0x05, 0x02, 0x25, 0x07, 0xB4,       // pop restores the button page and maximum 0
        0x09, 0x07, 0x75, 0x05, 0x95, 0x01, 0x81, 0x02,
        0x85, 0x03, 0x09, 0x08, 0x81, 0x02, // a report id starts a report of its own
    });
    HIDDescriptor d = parse(bytes);
    ASSERT_EQ(d.elements.size(), 5u);
    EXPECT_EQ((HIDUsagePair{d.elements[0].page, d.elements[0].usage}), (HIDUsagePair{9, 1}));
    EXPECT_EQ((HIDUsagePair{d.elements[1].page, d.elements[1].usage}), (HIDUsagePair{1, 0x31}));
    EXPECT_EQ((HIDUsagePair{d.elements[2].page, d.elements[2].usage}), (HIDUsagePair{1, 0x31})); // the last repeats
    EXPECT_EQ((HIDUsagePair{d.elements[3].page, d.elements[3].usage}), (HIDUsagePair{9, 7}));
    EXPECT_EQ(d.elements[3].logicalMax, 0);
    EXPECT_EQ(d.elements[3].reportSize, 5);
    EXPECT_EQ(d.elements[3].bitOffset, 3);
    EXPECT_EQ(d.elements[4].reportID, 3);
    EXPECT_EQ(d.elements[4].bitOffset, 0);
    EXPECT_TRUE(d.numberedReports);
}

TEST(HIDDescriptor, BadDescriptorsAreErrorsNotCrashes) {
    const Bytes field = {0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02};
    auto fails = [](const Bytes& bytes) {
        EXPECT_THROW(HIDDescriptor::parse(bytes), HIDDescriptorError);
    };
    fails({0x05});                                 // item cut short
    fails({0x27, 0xFF, 0xFF});                     // four-byte item cut short
    fails({0xFE, 0x05, 0x00, 0x01});               // long item cut short
    fails({0xFE});
    fails(gamePad({0xB4}));                        // pop without push
    fails(gamePad({0xA4, 0xA4, 0xA4, 0xA4, 0xA4})); // fifth push
    fails(gamePad({0x85, 0x00}));                  // report id 0
    fails(gamePad({0x86, 0x00, 0x01}));            // report id 256
    fails({0xC0});                                 // end without collection
    fails({0x05, 0x01, 0x09, 0x05, 0xA1, 0x01});   // collection never closed
    fails(gamePad({0x09, 0x30, 0x75, 0x01, 0x96, 0x01, 0x30, 0x81, 0x02})); // 12,289 fields
    fails(gamePad({0x09, 0x30, 0x75, 0x40, 0x96, 0x00, 0x30, 0x81, 0x02})); // report too long
    fails(gamePad({0xF4}));                        // unknown global item
    fails(gamePad({0xA9, 0x01, 0x09, 0x30}));      // delimiter set never closed
    Bytes deep;
    for (int i = 0; i < 33; ++i) deep.insert(deep.end(), {0xA1, 0x00});
    for (int i = 0; i < 33; ++i) deep.push_back(0xC0);
    fails(deep);
    // 2 × 12,288 one-bit fields pass the per-item limits but not the device's element limit.
    fails(gamePad({0x09, 0x30, 0x75, 0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0x81, 0x02}));

    // Padding may be of any size and data fields of 0 or more than 64 bits give no element (both
    // keep their place in the report); empty fields and long items are skipped.
    Bytes fine = gamePad({0x75, 0x00, 0x95, 0x04, 0x81, 0x03, 0x75, 0x48, 0x95, 0x01, 0x81, 0x03,
                          0x09, 0x31, 0x75, 0x00, 0x95, 0x02, 0x81, 0x02, 0x09, 0x32, 0x75, 0x41, 0x81, 0x02,
                          0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x00, 0x81, 0x02});
    fine.insert(fine.end() - 1, field.begin(), field.end());
    HIDDescriptor d = HIDDescriptor::parse(fine);
    ASSERT_EQ(d.elements.size(), 1u);
    EXPECT_EQ(d.elements[0].usage, 0x30);
    EXPECT_EQ(d.elements[0].bitOffset, 72 + 2 * 65);
    EXPECT_TRUE(HIDDescriptor::parse(Bytes{}).elements.empty());
}

TEST(HIDDescriptor, AShortUsageTakesThePageInEffectWhereItIsDeclared) {
    auto usages = [](const Bytes& bytes) {
        std::vector<HIDUsagePair> list;
        for (const auto& e : HIDDescriptor::parse(bytes).elements) list.push_back({e.page, e.usage});
        return list;
    };
    // X on the desktop page, then Brake after a change to the simulation page.
    EXPECT_EQ(usages({0x05, 0x01, 0x09, 0x05, 0xa1, 0x01, 0x09, 0x30, 0x05, 0x02, 0x09, 0xc5, 0x15, 0x00, 0x26,
                      0xff, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xc0}),
              (std::vector<HIDUsagePair>{{1, 0x30}, {2, 0xC5}}));
    // A usage range after a change to the button page.
    EXPECT_EQ(usages({0x05, 0x01, 0x09, 0x05, 0xa1, 0x01, 0x09, 0x30, 0x05, 0x09, 0x19, 0x01, 0x29, 0x02, 0x15,
                      0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0xc0}),
              (std::vector<HIDUsagePair>{{1, 0x30}, {9, 1}, {9, 2}}));
    // A usage written ahead of the first page item takes the page in effect at its main item.
    EXPECT_EQ(parse({0x09, 0x04, 0x05, 0x01, 0xa1, 0x01, 0xc0}).applications, (std::vector<HIDUsagePair>{{1, 4}}));
    EXPECT_EQ(usages(gamePad({0x09, 0x01, 0x05, 0x02, 0x09, 0xc4, 0x05, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x03,
                              0x81, 0x02})),
              (std::vector<HIDUsagePair>{{1, 1}, {2, 0xC4}, {1, 0x30}}));
}

TEST(HIDDescriptor, LocalItemsWithoutDataStandForZero) {
    // A game pad whose Usage Minimum has no data: buttons 0 to 8 in an array.
    HIDDescriptor d = parse({0x05, 0x01, 0x09, 0x05, 0xa1, 0x01, 0x05, 0x09, 0x18, 0x29, 0x08, 0x15, 0x00, 0x25,
                             0x08, 0x75, 0x08, 0x95, 0x01, 0x81, 0x00, 0xc0});
    ASSERT_EQ(d.elements.size(), 9u);
    EXPECT_EQ((HIDUsagePair{d.elements[0].page, d.elements[0].usage}), (HIDUsagePair{9, 0}));
    EXPECT_EQ(d.elements[8].usage, 8);
    EXPECT_EQ(d.elements[8].arrayIndex, 8);
    // A usage without data is usage 0 of the current page.
    EXPECT_EQ(parse(gamePad({0x08, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02})).elements.at(0).usage, 0);
}

TEST(HIDDescriptor, UsageRangesAreCutAtTheLimit) {
    // An array over usages 0…65535 keeps the first 12,288 usages instead of allocating 65,536.
    HIDDescriptor d = parse(gamePad({0x05, 0x09, 0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x26, 0xFF, 0x00,
                                     0x75, 0x08, 0x95, 0x02, 0x81, 0x00}));
    EXPECT_EQ(d.elements.size(), HIDLimits::maxUsages);
    EXPECT_EQ(d.elements.back().usage, static_cast<int>(HIDLimits::maxUsages) - 1);
    // A range whose maximum lies below its minimum adds nothing.
    EXPECT_EQ(parse(gamePad({0x19, 0x05, 0x29, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x00})).elements.size(), 0u);
}

TEST(HIDReportDecoder, JoystickReportsGiveValuesAndOnlyTheChangedOnes) {
    HIDDescriptor d = parse(joystick);
    HIDReportDecoder decoder(d);
    // X 0x80, Y 0x7F, Z 0, Rz 255, Rx 1, Ry 2, hat 8 (centred), buttons 1 and 13.
    auto first = decode(decoder, {0x80, 0x7F, 0x00, 0xFF, 0x01, 0x02, 0x08, 0x01, 0x10});
    ASSERT_EQ(first.size(), d.elements.size()); // everything is new
    EXPECT_EQ(decoder.value(0), 0x80);
    EXPECT_EQ(decoder.value(3), 255);
    EXPECT_EQ(decoder.value(6), 8);
    EXPECT_EQ(decoder.value(7), 1);  // button 1
    EXPECT_EQ(decoder.value(8), 0);  // button 2
    EXPECT_EQ(decoder.value(19), 1); // button 13 in the second byte

    EXPECT_TRUE(decode(decoder, {0x80, 0x7F, 0x00, 0xFF, 0x01, 0x02, 0x08, 0x01, 0x10}).empty());
    auto moved = decode(decoder, {0x81, 0x7F, 0x00, 0xFF, 0x01, 0x02, 0xF2, 0x00, 0x10});
    EXPECT_EQ(moved, (std::vector<HIDReportDecoder::Value>{{0, 0x81}, {6, 2}, {7, 0}}));
}

TEST(HIDReportDecoder, ShortReportsAreReadOnlyAsFarAsTheyGo) {
    HIDDescriptor d = parse(joystick);
    HIDReportDecoder decoder(d);
    auto changed = decode(decoder, {0x10, 0x20, 0x30});
    EXPECT_EQ(changed.size(), 3u);
    EXPECT_FALSE(decoder.value(3));
    EXPECT_FALSE(decoder.value(19));
    EXPECT_TRUE(decode(decoder, {}).empty());
    // The byte of buttons 1 to 8 is there, the one of buttons 9 to 13 is not.
    decode(decoder, {0, 0, 0, 0, 0, 0, 0, 0xFF});
    EXPECT_EQ(decoder.value(14), 1);
    EXPECT_FALSE(decoder.value(15));

    // A device that sends nothing but empty reports, from the start.
    HIDReportDecoder fresh(d);
    EXPECT_TRUE(decode(fresh, {}).empty());
    EXPECT_TRUE(decode(fresh, {}).empty());
}

TEST(HIDReportDecoder, ReportIDsSignedFieldsAndArrays) {
    HIDDescriptor d = parse(composite);
    HIDReportDecoder decoder(d);
    const std::size_t x = 115, y = 116, button1 = 117, keyA = 8 + 4, keyB = 8 + 5;

    auto pad = decode(decoder, {0x02, 0x81, 0x7F, 0x05});
    EXPECT_EQ(pad.size(), 6u);
    EXPECT_EQ(decoder.value(x), -127); // 0x81 in a signed 8-bit field
    EXPECT_EQ(decoder.value(y), 127);
    EXPECT_EQ(decoder.value(button1), 1);
    EXPECT_FALSE(decoder.value(keyA));

    EXPECT_TRUE(decode(decoder, {0x09, 0x00, 0x00}).empty()); // unknown report id
    EXPECT_TRUE(decode(decoder, {}).empty());

    // Report 1: modifiers, then six slots of pressed keys; A (4) and B (5) held.
    decode(decoder, {0x01, 0x00, 0x05, 0x04, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(decoder.value(keyA), 1);
    EXPECT_EQ(decoder.value(keyB), 1);
    EXPECT_EQ(decoder.value(8 + 6), 0);
    auto released = decode(decoder, {0x01, 0x00, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(released, (std::vector<HIDReportDecoder::Value>{{keyA, 0}}));
    EXPECT_EQ(decoder.value(x), -127); // other reports' values stay
}

TEST(HIDReportDecoder, WideFieldsAtOddOffsets) {
    // A 4-bit field, then a signed 64-bit field that straddles nine bytes, then an unsigned 33-bit one.
    HIDDescriptor d = parse(gamePad({0x09, 0x30, 0x75, 0x04, 0x95, 0x01, 0x81, 0x02,
                                     0x09, 0x31, 0x17, 0x00, 0x00, 0x00, 0x80, 0x75, 0x40, 0x81, 0x02,
                                     0x09, 0x32, 0x15, 0x00, 0x75, 0x21, 0x81, 0x02}));
    ASSERT_EQ(d.elements.size(), 3u);
    HIDReportDecoder decoder(d);
    // Field 1 = 0xA; field 2 = −2 (0xFFFF…FE); field 3 = 2^32 + 1.
    Bytes report = {0xEA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0x00, 0x00, 0x00, 0x10};
    decode(decoder, report);
    EXPECT_EQ(decoder.value(0), 0xA);
    EXPECT_EQ(decoder.value(1), -2);
    EXPECT_EQ(decoder.value(2), (std::int64_t{1} << 32) + 1);
    // The same fields in a longer report, where the ones with eight bytes after their first
    // are read in one load.
    HIDReportDecoder longer(d);
    report.resize(24, 0xFF);
    decode(longer, report);
    EXPECT_EQ(longer.value(0), 0xA);
    EXPECT_EQ(longer.value(1), -2);
    EXPECT_EQ(longer.value(2), (std::int64_t{1} << 32) + 1);
}

// Whatever bytes change between reports, the values reported as changed are exactly those that
// differ from the previous report's, in report order, as decoding each report afresh says: for
// a report of a few dozen fields and for one of more fields than the decoder tracks in a word.
TEST(HIDReportDecoder, ReportsChangedValuesExactlyAsAFreshDecodeOfEachReportSays) {
    for (const std::uint8_t axes : {std::uint8_t{6}, std::uint8_t{70}}) {
        const HIDDescriptor d = parse(gamePad({
            0x85, 0x01,                                                                   // report id 1
            0x09, 0x30, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, axes, 0x81, 0x02, // 8-bit axes
            0x05, 0x09, 0x19, 0x01, 0x29, 0x0C, 0x25, 0x01, 0x75, 0x01, 0x95, 0x0C, 0x81, 0x02, // 12 buttons
            0x75, 0x04, 0x95, 0x01, 0x81, 0x03,                                           // padding
            0x05, 0x01, 0x09, 0x31, 0x16, 0x01, 0xF8, 0x26, 0xFF, 0x07, 0x75, 0x0C, 0x95, 0x01, 0x81, 0x02, // signed
            0x75, 0x04, 0x95, 0x01, 0x81, 0x03,                                           // padding
            0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x15, 0x00, 0x25, 0x65, 0x75, 0x08, 0x95, 0x03, 0x81, 0x00, // keys
        }));
        ASSERT_GT(d.elements.size(), std::size_t{axes} + 12u);
        const std::size_t length = 1 + axes + 2 + 2 + 3;
        HIDReportDecoder decoder(d);
        std::map<std::size_t, std::int64_t> known;
        std::mt19937 random(axes);
        Bytes report(length, 0);
        report[0] = 1;
        int reported = 0;
        for (int n = 0; n < 4000; ++n) {
            // A few bytes change, now and then every byte, a short report or another id.
            const int kind = static_cast<int>(random() % 40);
            if (kind == 0) {
                for (std::size_t i = 1; i < length; ++i) report[i] = static_cast<std::uint8_t>(random());
            } else {
                for (int changes = static_cast<int>(random() % 5); changes-- > 0;)
                    report[1 + random() % (length - 1)] = static_cast<std::uint8_t>(random() % 4 ? random() % 4 : random());
            }
            Bytes sent = report;
            if (kind == 1) sent.resize(1 + random() % (length - 1));
            if (kind == 2) sent[0] = 2;

            HIDReportDecoder fresh(d);
            std::vector<HIDReportDecoder::Value> expected;
            for (const auto& value : decode(fresh, sent)) {
                auto [at, added] = known.try_emplace(value.element, value.value);
                if (!added && at->second == value.value) continue;
                at->second = value.value;
                expected.push_back(value);
            }
            ASSERT_EQ(decode(decoder, sent), expected) << "report " << n << ", " << int{axes} << " axes";
            reported += static_cast<int>(expected.size());
        }
        EXPECT_GT(reported, 4000);
    }
}
