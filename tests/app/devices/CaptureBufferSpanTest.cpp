// Every log keeps only its recent span: it fills within it and then stays put, while the
// stretches its readers ask for are answered as from the whole log.
#include "app/devices/CaptureBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

constexpr double tick = 0.008; // the demo's step, seconds

// Writes one changing value into every log at `t`.
void writeAll(CaptureBuffer& buffer, int i, double t) {
    const double v = (i % 100) / 100.0;
    buffer.recordStick("L", v, -v, RawPoint{i % 7, i % 5}, t);
    buffer.recordAxis("T", v, i % 256, t);
    buffer.recordButton("A", (i / 4) % 2 == 0, t); // a change every fourth tick
    buffer.recordMotion(MotionSample{t, Vector3{v, 0, 0}, std::nullopt});
    buffer.recordTouch(TouchSample{t, i % 2, v, -v});
    buffer.recordRaw("e1", i % 256, t);
}

} // namespace

TEST(CaptureBufferSpan, EveryLogHoldsItsSpanAndStopsGrowing) {
    CaptureBuffer buffer;
    int i = 0;
    double t = 0;
    // Longer than the longest span, at the demo's rate.
    const double spanEnd = CaptureBuffer::eventSpan + 10;
    for (; t < spanEnd; t = ++i * tick) writeAll(buffer, i, t);
    const std::size_t filled = buffer.memoryBytes();
    for (const int n = i + 20'000; i < n; t = ++i * tick) writeAll(buffer, i, t);
    // Once full, the storage is reused: not one more byte.
    EXPECT_EQ(buffer.memoryBytes(), filled);

    const double newest = (i - 1) * tick;
    const auto expectSpan = [newest](const auto& entries, double span, const char* log) {
        SCOPED_TRACE(log);
        ASSERT_FALSE(entries.empty());
        auto timeOf = [](const auto& e) {
            if constexpr (std::is_same_v<std::decay_t<decltype(e)>, double>) return e;
            else return e.t;
        };
        // One entry before the span (the value at its start), everything after it.
        EXPECT_LT(timeOf(entries.front()), newest - span);
        EXPECT_GE(timeOf(entries[1]), newest - span);
        EXPECT_GT(timeOf(entries.back()), newest - 4 * tick); // buttons change every fourth tick
    };
    const double all = -1;
    expectSpan(buffer.sticks("L", all, 1e9), CaptureBuffer::stickSpan, "sticks");
    expectSpan(buffer.axes("T", all, 1e9), CaptureBuffer::axisSpan, "axes");
    expectSpan(buffer.events(all, 1e9), CaptureBuffer::eventSpan, "events");
    expectSpan(buffer.motion(all, 1e9), CaptureBuffer::motionSpan, "motion");
    expectSpan(buffer.touches(all, 1e9), CaptureBuffer::touchSpan, "touches");
    expectSpan(buffer.stamps(all, 1e9), CaptureBuffer::stampSpan, "stamps");
    // The raw log answers values only: count them instead.
    const auto raw = buffer.rawValues("e1", all, 1e9);
    const auto inSpan = buffer.rawValues("e1", newest - CaptureBuffer::rawSpan, 1e9);
    EXPECT_EQ(raw.size(), inSpan.size() + 1);
    // The raw tracker's figures are not a log: they keep counting.
    EXPECT_EQ(buffer.rawTrackers().at("e1").changes, i);
}

TEST(CaptureBufferSpan, ReadersGetTheirWholeStretch) {
    // A stick written every tick for 20 minutes, read as the longest test and the trail read it.
    CaptureBuffer buffer;
    int i = 0;
    for (double t = 0; t < 1200; t = ++i * tick) buffer.recordStick("L", (i % 50) / 50.0, 0, std::nullopt, t);
    const double now = (i - 1) * tick;
    const double start = now - 62; // a snapback test at its limit, begun 62 s ago
    std::size_t written = 0;
    for (int k = 0; k < i; ++k) written += k * tick >= start && k * tick <= now;
    EXPECT_EQ(buffer.sticks("L", start, now).size(), written);
    // The value at the test's start is answered, and the trail is the same as a scan of the
    // whole log would give: everything at or after now - 4 s.
    ASSERT_TRUE(buffer.stick("L", start).has_value());
    EXPECT_LE(buffer.stick("L", start)->t, start);
    EXPECT_GT(buffer.stick("L", start)->t, start - tick);
    const auto trail = buffer.trail("L", 4.0, now);
    ASSERT_FALSE(trail.empty());
    EXPECT_GE(trail.front().t, now - 4.0);
    EXPECT_LT(trail.front().t, now - 4.0 + tick);
}

TEST(CaptureBufferSpan, AValueRestingLongerThanTheSpanIsStillTheValueBeforeTheNextMove) {
    // A stick at rest for an hour, then a test starts and the stick moves: the resting sample
    // is still the value at the test's start, as the runners ask for it.
    CaptureBuffer buffer;
    buffer.recordStick("L", 0.01, 0, std::nullopt, 10.0);
    buffer.recordAxis("T", 0.0, 3, 10.0);
    buffer.recordStick("L", 0.5, 0, std::nullopt, 3610.0);
    buffer.recordAxis("T", 0.4, 90, 3610.0);
    ASSERT_TRUE(buffer.stick("L", 3609.0).has_value());
    EXPECT_EQ(buffer.stick("L", 3609.0)->x, 0.01);
    EXPECT_EQ(buffer.axis("T", 3609.0)->raw, 3);
    EXPECT_EQ(buffer.sticks("L", 0, 1e9).size(), 2u);

    // The next move drops it: the span begins after the rest ended.
    buffer.recordStick("L", 0.6, 0, std::nullopt, 3610.0 + CaptureBuffer::stickSpan + 1);
    EXPECT_EQ(buffer.sticks("L", 0, 1e9).size(), 2u);
    EXPECT_EQ(buffer.sticks("L", 0, 1e9).front().x, 0.5);
}

TEST(CaptureBufferSpan, TimesThatAreNotFiniteNeverEmptyALog) {
    CaptureBuffer buffer;
    for (int i = 0; i < 10; ++i) buffer.recordStick("L", i, 0, std::nullopt, i);
    buffer.recordStick("L", 20, 0, std::nullopt, std::numeric_limits<double>::infinity());
    buffer.recordStick("L", 21, 0, std::nullopt, std::nan(""));
    EXPECT_EQ(buffer.sticks("L", 0, 9).size(), 10u);
    EXPECT_EQ(buffer.snapshot().sticks.at("L").x, 21);
}
