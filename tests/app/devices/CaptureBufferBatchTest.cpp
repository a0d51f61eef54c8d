// A report written through a Batch must leave the buffer exactly as the plain writers leave it,
// call for call: the same entries in every log to the last digit, the same trims, the same live
// figures and the same storage. The stream below is random but seeded, and the buffers have a
// small budget, so that every log trims again and again, and new elements keep coming, so that
// the limits shrink part-way through reports.
#include "app/devices/CaptureBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

void expectSameBuffers(CaptureBuffer& batched, CaptureBuffer& plain, const std::vector<std::string>& keys,
                       double now) {
    constexpr double all = 1e12;
    EXPECT_EQ(batched.snapshot(), plain.snapshot());
    EXPECT_EQ(batched.rawTrackers(), plain.rawTrackers());
    EXPECT_EQ(batched.rawLive(now), plain.rawLive(now));
    EXPECT_EQ(batched.stamps(-all, all), plain.stamps(-all, all));
    EXPECT_EQ(batched.events(-all, all), plain.events(-all, all));
    EXPECT_EQ(batched.memoryBytes(), plain.memoryBytes());
    for (const auto& key : keys) {
        EXPECT_EQ(batched.sticks(key, -all, all), plain.sticks(key, -all, all)) << key;
        EXPECT_EQ(batched.axes(key, -all, all), plain.axes(key, -all, all)) << key;
        EXPECT_EQ(batched.rawValues(key, -all, all), plain.rawValues(key, -all, all)) << key;
    }
}

TEST(CaptureBufferBatch, AReportWrittenAtOnceEqualsItsValuesWrittenOneByOne) {
    constexpr std::size_t budget = 256u << 10; // a few hundred entries a log
    CaptureBuffer batched(budget);
    CaptureBuffer plain(budget);
    // Six keys from the start, then another every 2,000 reports.
    std::vector<std::string> keys{"x", "y", "hat", "a", "lt", "pair"};
    for (int n = 0; n < 12; ++n) keys.push_back("late" + std::to_string(n));
    std::vector<CaptureBuffer::Slot> slots;
    for (const auto& key : keys) slots.push_back(batched.slot(key));

    std::mt19937 random(7);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    double t = 100;
    for (int report = 0; report < 30'000; ++report) {
        // Mostly 125 µs on, sometimes the same time again or a step back, and twice a jump
        // past every span.
        const int step = pick(100);
        t += report % 12'000 == 11'999 ? 2000 : step < 8 ? 0 : step < 10 ? -0.01 : 0.000125;
        const int keyCount = 6 + std::min(12, report / 2'000);
        if (report % 7'500 == 7'499) expectSameBuffers(batched, plain, keys, t); // the live figures move on too
        CaptureBuffer::Batch batch(batched);
        for (int n = pick(12); n-- > 0;) {
            const int k = pick(keyCount);
            const auto& key = keys[static_cast<std::size_t>(k)];
            const auto slot = slots[static_cast<std::size_t>(k)];
            // A few values only, so that many repeat the one before and are not logged again.
            const double at = pick(20) == 0 ? t + 0.00005 : t; // a second time within one report
            const int raw = pick(4);
            const double unit = raw / 3.0;
            switch (pick(5)) {
            case 0:
                batch.raw(slot, raw, at);
                plain.recordRaw(key, raw, at);
                break;
            case 1: {
                const std::optional<CaptureBuffer::RawCount> count = pick(3) ? std::optional(raw) : std::nullopt;
                batch.axis(slot, unit, count, at);
                plain.recordAxis(key, unit, count, at);
                break;
            }
            case 2: {
                const std::optional<RawPoint> point = pick(3) ? std::optional(RawPoint{raw, pick(4)}) : std::nullopt;
                const double y = pick(4) / 3.0;
                batch.stick(slot, unit, y, point, at);
                plain.recordStick(key, unit, y, point, at);
                break;
            }
            case 3:
                batch.button(slot, raw % 2 == 1, at);
                plain.recordButton(key, raw % 2 == 1, at);
                break;
            default:
                batch.triggerPress(slot, unit, at);
                plain.recordTriggerPress(key, unit, at);
                break;
            }
        }
    }
    expectSameBuffers(batched, plain, keys, t);
    // The stream did what it is for: logs trimmed, and the last key wrote.
    EXPECT_LT(batched.stamps(-1e12, 1e12).size(), 30'000u);
    EXPECT_FALSE(batched.sticks("late11", -1e12, 1e12).empty());
}

} // namespace
