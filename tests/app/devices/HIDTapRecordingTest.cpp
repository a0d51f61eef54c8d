// A whole report recorded at once must leave the buffer exactly as recording its values one by
// one does, and the buffer's ring logs, live figures and memory budget must answer as plain
// logs would.
#include "app/devices/HIDTap.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "testkit/AxisScale.h"

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

// X, Y, Z, Rz, a hat, 14 buttons, a vendor counter, Rx, Ry (triggers beside Z and Rz) and a
// signed 12-bit axis, with report id 1.
const std::vector<std::uint8_t> padDescriptor = {
    0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x85, 0x01,
    0x09, 0x30, 0x09, 0x31, 0x09, 0x32, 0x09, 0x35, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02,
    0x09, 0x39, 0x15, 0x00, 0x25, 0x07, 0x75, 0x04, 0x95, 0x01, 0x81, 0x42,
    0x05, 0x09, 0x19, 0x01, 0x29, 0x0E, 0x25, 0x01, 0x75, 0x01, 0x95, 0x0E, 0x81, 0x02,
    0x06, 0x00, 0xFF, 0x09, 0x20, 0x75, 0x06, 0x95, 0x01, 0x25, 0x3F, 0x81, 0x02,
    0x05, 0x01, 0x09, 0x33, 0x09, 0x34, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02,
    0x09, 0x36, 0x16, 0x01, 0xF8, 0x26, 0xFF, 0x07, 0x75, 0x0C, 0x95, 0x01, 0x81, 0x02, 0x75, 0x04, 0x81, 0x03,
    0xC0,
};

struct ManualClock final : Clock {
    double t = 0;
    double now() const override { return t; }
};

// Every recorded thing of every element, for comparing two buffers.
void expectSameRecording(const HIDTap& a, const HIDTap& b) {
    const auto& ca = *a.capture();
    const auto& cb = *b.capture();
    EXPECT_EQ(ca.snapshot(), cb.snapshot());
    EXPECT_EQ(ca.rawTrackers(), cb.rawTrackers());
    EXPECT_EQ(ca.stamps(-1e9, 1e9), cb.stamps(-1e9, 1e9));
    EXPECT_EQ(ca.events(-1e9, 1e9), cb.events(-1e9, 1e9));
    std::vector<std::string> keys{"pair-1", "pair-2", "custom"};
    for (const auto& e : a.elements()) keys.push_back(e.id);
    for (const auto& key : keys) {
        EXPECT_EQ(ca.sticks(key, -1e9, 1e9), cb.sticks(key, -1e9, 1e9)) << key;
        EXPECT_EQ(ca.axes(key, -1e9, 1e9), cb.axes(key, -1e9, 1e9)) << key;
        EXPECT_EQ(ca.rawValues(key, -1e9, 1e9), cb.rawValues(key, -1e9, 1e9)) << key;
    }
}

TEST(HIDTapRecording, AWholeReportRecordsWhatItsValuesRecordOneByOne) {
    ManualClock clock;
    const auto descriptor = HIDDescriptor::parse(padDescriptor);
    HIDTap fast(1, "/dev/hidraw1", DeviceInfo{.name = "Pad"}, descriptor, clock);
    HIDTap oneByOne(2, "/dev/hidraw2", DeviceInfo{.name = "Pad"}, descriptor, clock);
    HIDReportDecoder decoder(descriptor);
    std::vector<HIDReportDecoder::Value> changed;

    std::mt19937 random(3);
    std::vector<std::uint8_t> report(13, 0);
    report[0] = 1;
    double t = 10;
    for (int n = 0; n < 6000; ++n) {
        // Sticks wobble, triggers and buttons move now and then, the counter always changes, and
        // now and then a short report, a repeated report or a report of another id arrives.
        for (int axis = 1; axis <= 4; ++axis)
            if (random() % 3) report[axis] = static_cast<std::uint8_t>(120 + random() % 16);
        if (random() % 50 == 0) report[5] = static_cast<std::uint8_t>(random());
        if (random() % 40 == 0) report[6] = static_cast<std::uint8_t>(random());
        report[7] = static_cast<std::uint8_t>(report[7] + 4);
        if (random() % 30 == 0) report[8] = static_cast<std::uint8_t>(random());
        if (random() % 30 == 0) report[9] = static_cast<std::uint8_t>(random());
        if (random() % 20 == 0) report[10] = static_cast<std::uint8_t>(random()), report[11] = static_cast<std::uint8_t>(random());
        std::vector<std::uint8_t> sent = report;
        if (random() % 200 == 0) sent.resize(4);
        if (random() % 300 == 0) sent[0] = 2;
        const bool repeat = random() % 10 == 0;
        t += repeat ? 0 : 0.000125 * (1 + random() % 3);

        fast.inputReport(sent, t);
        decoder.decode(sent, changed);
        for (const auto& value : changed) {
            const auto& e = descriptor.elements[value.element];
            auto meta = oneByOne.byID().find("e" + std::to_string(e.cookie));
            if (meta == oneByOne.byID().end()) continue;
            oneByOne.record(meta->second, AxisScale::signExtend(value.value, meta->second.bits, meta->second.min,
                                                                meta->second.max), t);
        }
        // The user edits the pairs now and then: a pair over one axis twice, one over a button.
        if (n == 2000 || n == 4000) {
            const auto& ids = fast.elements();
            std::vector<StickPair> pairs = n == 2000
                ? std::vector<StickPair>{{"pair-1", "Left", ids[1].id, ids[0].id, false, ElementInfo::Role::leftStick},
                                         {"custom", "Odd", ids[2].id, ids[2].id, true, ElementInfo::Role::rightStick},
                                         {"pair-2", "Button", ids[5].id, ids[3].id, true, ElementInfo::Role::rightStick}}
                : std::vector<StickPair>{};
            clock.t = t;
            fast.setPairs(pairs);
            oneByOne.setPairs(pairs);
        }
    }
    expectSameRecording(fast, oneByOne);
    EXPECT_FALSE(fast.capture()->sticks("pair-1", -1e9, 1e9).empty());
    EXPECT_FALSE(fast.capture()->sticks("custom", -1e9, 1e9).empty());
}

// A log that has wrapped round its storage answers windows, trails and look-ups from its
// newest entries, as the trimming rule says.
TEST(HIDTapRecording, LogsAnswerTheSameAfterWrappingRound) {
    CaptureBuffer buffer;
    const int total = 420'001; // trims at 150,001, 200,001, … and stops part-way round
    for (int i = 0; i < total; ++i) buffer.recordStick("s", i % 2 ? 0.5 : -0.5, i * 1e-6, std::nullopt, i * 0.001);
    const auto all = buffer.sticks("s", -1, 1e9);
    // Trims leave 100,000 at 150,001 appends, then every 50,001 appends.
    const std::size_t expected = 100'000 + (total - 150'001) % 50'001;
    ASSERT_EQ(all.size(), expected);
    EXPECT_DOUBLE_EQ(all.front().t, (total - static_cast<int>(expected)) * 0.001);
    EXPECT_DOUBLE_EQ(all.back().t, (total - 1) * 0.001);
    const auto window = buffer.sticks("s", 400.0, 410.0);
    ASSERT_EQ(window.size(), 10'001u);
    EXPECT_DOUBLE_EQ(window.front().t, 400.0);
    EXPECT_EQ(buffer.trail("s", 1.0, (total - 1) * 0.001).size(), 1001u);
    ASSERT_TRUE(buffer.stick("s", 350.0005));
    EXPECT_DOUBLE_EQ(buffer.stick("s", 350.0005)->t, 350.0);
    EXPECT_FALSE(buffer.stick("s", all.front().t - 0.0005));
    // A sample back in time goes to the end of the log and is found by a full scan.
    buffer.recordStick("s", 0.25, 0.25, std::nullopt, 350.0);
    const auto mixed = buffer.sticks("s", 349.9995, 350.0005);
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_DOUBLE_EQ(mixed.back().x, 0.25);
}

// A trail kept frame after frame equals the trail copied afresh, through trims, samples back in
// time, frames without samples and a clock that goes back once.
TEST(HIDTapRecording, AFollowedTrailEqualsAFreshOne) {
    CaptureBuffer buffer;
    std::deque<StickSample> trail;
    CaptureBuffer::TrailCursor cursor;
    std::mt19937 random(11);
    double t = 0, now = 0;
    int changes = 0;
    for (int frame = 0; frame < 1500; ++frame) {
        const int samples = frame % 97 < 5 ? 0 : static_cast<int>(random() % 300);
        for (int i = 0; i < samples; ++i) {
            t += (random() % 4) * 0.0001;
            const double at = random() % 20000 == 0 ? t - 0.3 : t;
            buffer.recordStick("s", static_cast<double>(random() % 100), 0, std::nullopt, at);
        }
        now = frame == 900 ? now - 0.2 : t + 0.001;
        const auto before = trail;
        const bool changed = buffer.followTrail("s", 0.05, now, trail, cursor);
        const auto fresh = buffer.trail("s", 0.05, now);
        ASSERT_EQ(std::vector<StickSample>(trail.begin(), trail.end()), fresh) << "frame " << frame;
        ASSERT_EQ(changed, before != trail) << "frame " << frame;
        changes += changed;
    }
    EXPECT_GT(changes, 1000);
    EXPECT_FALSE(buffer.followTrail("none", 1, now, trail, cursor) && !trail.empty());
}

// A device with thousands of elements flooding its buffer: the whole stays under the budget,
// every element keeps its newest values, and a pad-sized device keeps the full limits.
TEST(HIDTapRecording, AWideDeviceStaysUnderItsMemoryBudget) {
    constexpr std::size_t budget = 64u << 20; // 4 KB an element
    CaptureBuffer buffer(budget);
    constexpr int axes = 16'383;
    std::vector<CaptureBuffer::Slot> elementSlots;
    for (int a = 0; a < axes; ++a) elementSlots.push_back(buffer.slot("e" + std::to_string(a + 1)));
    for (int report = 0; report < 160; ++report) {
        const double t = 100 + report * 0.001;
        {
            CaptureBuffer::Batch batch(buffer);
            for (int a = 0; a < axes; ++a) {
                const int v = (report * 7 + a) % 256;
                batch.raw(elementSlots[static_cast<std::size_t>(a)], v, t);
                batch.axis(elementSlots[static_cast<std::size_t>(a)], v / 255.0, v, t);
            }
        }
        ASSERT_LE(buffer.memoryBytes(), budget) << "after report " << report;
    }
    const double last = 100 + 159 * 0.001;
    EXPECT_EQ(buffer.rawTrackers().at("e5").value, (159 * 7 + 4) % 256);
    EXPECT_DOUBLE_EQ(buffer.axes("e16383", 0, 1e9).back().t, last);
    EXPECT_EQ(buffer.rawValues("e1", last, last), std::vector<int>{(159 * 7) % 256});
    EXPECT_LT(buffer.rawValues("e1", 0, 1e9).size(), 160u); // the oldest went first

    // Two dozen elements of every kind under the real budget: no log is cut early.
    CaptureBuffer pad;
    for (int e = 0; e < 24; ++e) pad.recordRaw("r" + std::to_string(e), 1, 0);
    for (int e = 0; e < 6; ++e) pad.recordAxis("a" + std::to_string(e), 0.5, 1, 0);
    for (int e = 0; e < 3; ++e) pad.recordStick("s" + std::to_string(e), 0.5, 0.5, std::nullopt, 0);
    for (int i = 1; i < 150'000; ++i) pad.recordRaw("r0", i, i * 1e-4);
    EXPECT_EQ(pad.rawValues("r0", -1, 1e9).size(), 150'000u);
}

} // namespace
