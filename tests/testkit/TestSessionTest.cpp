#include "testkit/TestSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SessionSamples.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::Samples;

TEST(TestSession, UnitKeyTakesTheFirstNonBlankOfUnitSerialTicket) {
    TestSession s = session("  \t", "2026-03-01T09:00:00Z");
    s.ticket = " T-17\n";
    EXPECT_EQ(s.unitKey(), "T-17");
    s.device.serial = "\u00A0SN-4\u3000"; // Unicode spaces count as blanks too
    EXPECT_EQ(s.unitKey(), "SN-4");
    s.unit = " U1 ";
    EXPECT_EQ(s.unitKey(), "U1");

    TestSession unnamed = session("", "2026-03-01T09:00:00Z");
    unnamed.device.name = " Pad ";
    EXPECT_EQ(unnamed.unitKey(), " Pad "); // the device name is taken as it is
}

TEST(TestSession, VerdictCountsAndTitle) {
    TestSession empty = session("U", "2026-03-01T09:00:00Z");
    EXPECT_EQ(empty.verdict(), Verdict::pass);
    EXPECT_EQ(empty.counts(), (VerdictCounts{0, 0, 0}));
    EXPECT_TRUE(empty.sortedResults().empty());
    EXPECT_EQ(empty.title(), "Wireless Pad");

    TestSession s = session("U", "2026-03-01T09:00:00Z",
                            {result(TestKind::drift, "L", Verdict::warn), result(TestKind::hold, "", Verdict::pass),
                             result(TestKind::dpad, "", Verdict::warn)});
    s.label = "After repair ";
    EXPECT_EQ(s.verdict(), Verdict::warn);
    EXPECT_EQ(s.counts(), (VerdictCounts{1, 2, 0}));
    EXPECT_EQ(s.title(), "Wireless Pad \u2014 After repair ");
}

TEST(TestSession, SortedResultsGoByKindThenByFirstSeenElement) {
    TestSession s = session("U", "2026-03-01T09:00:00Z",
                            {result(TestKind::circularity, "Left stick", Verdict::pass, {}, "1"),
                             result(TestKind::drift, "Right stick", Verdict::pass, {}, "2"),
                             result(TestKind::drift, "Left stick", Verdict::pass, {}, "3"),
                             result(TestKind::drift, "Left stick", Verdict::pass, {}, "4")});
    std::vector<std::string> order;
    for (const auto& r : s.sortedResults()) order.push_back(r.headline);
    EXPECT_EQ(order, (std::vector<std::string>{"3", "4", "2", "1"}));
}

TEST(TestSession, ByUnitGroupsNewestFirst) {
    auto a10 = session("A", "2026-03-01T10:00:00Z");
    auto b1030 = session("B", "2026-03-01T10:30:00Z");
    auto a11 = session(" A", "2026-03-01T11:00:00Z");
    auto groups = TestSession::byUnit({a10, b1030, a11});
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].unit, "A");
    EXPECT_EQ(groups[0].sessions, (std::vector<TestSession>{a11, a10}));
    EXPECT_EQ(groups[1].unit, "B");
    EXPECT_TRUE(TestSession::byUnit({}).empty());
}

TEST(DeviceInfo, IdTextAndReportLines) {
    DeviceInfo d{.name = "Pad"};
    EXPECT_FALSE(d.idText());
    d.vendorID = 0x045E;
    EXPECT_EQ(d.idText(), "VID 045E");
    d.productID = 0x02E0;
    EXPECT_EQ(d.idText(), "VID 045E \u00B7 PID 02E0");
    d.vendorID.reset();
    EXPECT_EQ(d.idText(), "PID 02E0");

    DeviceInfo full{.name = "Pad", .vendor = "Maker", .category = "Pad", .vendorID = 0x54C, .productID = std::nullopt,
                    .serial = "", .transport = "", .batteryLevel = 0.5, .batteryState = "Charging"};
    std::vector<DeviceInfo::Line> expected{
        {"Device", "Pad"}, {"Vendor", "Maker"}, {"USB IDs", "VID 054C"}, {"Connection", ""}, {"Battery", "50% (charging)"}};
    EXPECT_EQ(full.lines(), expected);
    full.batteryLevel = 0.874;
    full.batteryState.reset();
    EXPECT_EQ(full.lines().back().value, "87.4%");

    // What the controller service tells of a pad comes between the connection and the battery.
    full.firmwareVersion = 0x110;
    full.guid = "0300fa";
    EXPECT_EQ(full.firmwareText(), "Firmware 0110");
    EXPECT_EQ(full.lines(), (std::vector<DeviceInfo::Line>{{"Device", "Pad"},
                                                           {"Vendor", "Maker"},
                                                           {"USB IDs", "VID 054C"},
                                                           {"Connection", ""},
                                                           {"Firmware", "0110"},
                                                           {"GUID", "0300fa"},
                                                           {"Battery", "87.4%"}}));
}

TEST(SessionCoder, WritesSortedKeysAndLeavesAbsentOptionalsOut) {
    TestSession s = session("", "2026-03-01T09:05:07Z",
                            {result(TestKind::drift, "Left stick", Verdict::pass, {percent("offset", 0.02)})});
    s.notes = "a/b";
    std::string text = SessionCoder::encode(s);
    json doc = json::parse(text);
    std::vector<std::string> keys;
    for (auto& [key, value] : doc.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"date", "device", "id", "label", "notes", "results", "technician",
                                              "ticket", "unit", "version"}));
    EXPECT_EQ(doc["date"], "2026-03-01T09:05:07Z");
    EXPECT_EQ(doc["unit"], "");
    EXPECT_EQ(doc["device"], json({{"name", "Wireless Pad"}}));
    EXPECT_EQ(doc["id"], s.id.text());
    EXPECT_NE(text.find("\"a\\/b\""), std::string::npos); // "/" escaped
    EXPECT_LT(text.find("\"date\""), text.find("\"device\""));

    s.appVersion = "1.2";
    s.profile = "Your thresholds";
    s.device = DeviceInfo{"Pad", "Maker", "Gamepad", 1, 2, "S/N", "USB", 0.25, "full", 0x0110,
                          "030000004c050000e60c000000016800"};
    EXPECT_EQ(SessionCoder::decode(SessionCoder::encode(s)), s);
    EXPECT_EQ(json::parse(SessionCoder::encode(s))["device"]["firmwareVersion"], 272);
}

TEST(SessionCoder, ReadsMissingMembersAsDefaultsAndRejectsBadFiles) {
    std::string id = Uuid::random().text();
    auto file = [&](const std::string& members) {
        return "{\"id\":\"" + id + "\",\"device\":{\"name\":\"Pad\",\"vendorID\":null}" + members + "}";
    };
    TestSession minimal = SessionCoder::decode(file(",\"date\":\"2026-03-01T09:00:00Z\""));
    EXPECT_EQ(minimal.version, 1);
    EXPECT_EQ(minimal.unit, "");
    EXPECT_TRUE(minimal.results.empty());
    EXPECT_FALSE(minimal.appVersion);
    EXPECT_FALSE(minimal.device.vendorID);

    EXPECT_EQ(SessionCoder::decode(file(",\"date\":\"2026-03-01T09:00:00Z\",\"version\":3")).version, 3);
    EXPECT_EQ(SessionCoder::decode(file(",\"date\":\"2026-03-01T09:00:00Z\",\"unit\":null,\"extra\":[1]")).unit, "");

    for (std::string bad : {file(",\"date\":\"2026-03-01T09:00:00.5Z\""), file(""),
                            file(",\"date\":\"2026-03-01T09:00:00Z\",\"unit\":5"),
                            file(",\"date\":\"2026-03-01T09:00:00Z\",\"results\":{}"),
                            file(",\"date\":\"2026-03-01T09:00:00Z\",\"results\":[{}]"),
                            file(",\"date\":\"2026-03-01T09:00:00Z\",\"version\":2.5"),
                            std::string("{\"id\":\"x\",\"date\":\"2026-03-01T09:00:00Z\",\"device\":{\"name\":\"P\"}}"),
                            std::string("{\"date\":\"2026-03-01T09:00:00Z\",\"id\":\"") + id + "\"}", std::string("[]"),
                            std::string("{\"id\":")})
        EXPECT_THROW(SessionCoder::decode(bad), DecodeError) << bad;
}

TEST(SessionCoder, RefusesNumbersAndTextItCannotWrite) {
    TestSession s = session("U", "2026-03-01T09:00:00Z",
                            {result(TestKind::drift, "L", Verdict::pass, {percent("offset", std::nan(""))})});
    EXPECT_THROW(SessionCoder::encode(s), EncodingError);
    s.results.clear();
    s.device.batteryLevel = std::numeric_limits<double>::infinity();
    EXPECT_THROW(SessionCoder::encode(s), EncodingError);
    s.device.batteryLevel.reset();
    s.device.serial = std::string("\xff\xfe", 2);
    EXPECT_THROW(SessionCoder::encode(s), EncodingError);
}
