#include "app/devices/CaptureBuffer.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

namespace {

std::vector<double> times(const std::vector<StickSample>& samples) {
    std::vector<double> t;
    for (const auto& s : samples) t.push_back(s.t);
    return t;
}

} // namespace

TEST(CaptureBuffer, RepeatedStickSampleRecordsAndStampsNothing) {
    CaptureBuffer buffer;
    buffer.recordStick("L", 0.1, 0.2, std::nullopt, 1.0);
    buffer.recordStick("L", 0.1, 0.2, std::nullopt, 2.0);

    EXPECT_EQ(buffer.sticks("L", 0, 10).size(), 1u);
    EXPECT_EQ(buffer.stamps(0, 10), std::vector<double>{1.0});
    EXPECT_EQ(buffer.snapshot().lastEvent, 1.0);
    EXPECT_EQ(buffer.snapshot().sticks.at("L").t, 1.0);

    // The same position with a raw point where there was none is a new reading, and so is a
    // different raw point.
    buffer.recordStick("L", 0.1, 0.2, RawPoint{10, 20}, 3.0);
    buffer.recordStick("L", 0.1, 0.2, RawPoint{10, 21}, 4.0);
    buffer.recordStick("L", 0.1, 0.2, RawPoint{10, 21}, 5.0);
    EXPECT_EQ(times(buffer.sticks("L", 0, 10)), (std::vector<double>{1.0, 3.0, 4.0}));

    // Each key is judged against its own latest sample.
    buffer.recordStick("R", 0.1, 0.2, std::nullopt, 6.0);
    EXPECT_EQ(buffer.sticks("R", 0, 10).size(), 1u);
}

TEST(CaptureBuffer, AxisDuplicatesCompareValueAndRawCount) {
    CaptureBuffer buffer;
    buffer.recordAxis("T", 0.5, std::nullopt, 1.0);
    buffer.recordAxis("T", 0.5, std::nullopt, 2.0);
    buffer.recordAxis("T", 0.5, 128, 3.0);
    buffer.recordAxis("T", 0.5, 128, 4.0);
    buffer.recordAxis("T", 0.6, 128, 5.0);

    const auto samples = buffer.axes("T", 0, 10);
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[1], (TriggerSample{3.0, 0.5, 128}));
    EXPECT_EQ(buffer.stamps(0, 10), (std::vector<double>{1.0, 3.0, 5.0}));
    EXPECT_EQ(buffer.snapshot().axes.at("T").value, 0.6);
}

TEST(CaptureBuffer, ButtonStateChangesAloneAreRecorded) {
    CaptureBuffer buffer;
    buffer.recordButton("A", false, 0.5); // a release of a released button
    buffer.recordButton("A", true, 1.0);
    buffer.recordButton("A", true, 1.1); // a press of a held button
    buffer.recordButton("A", false, 1.2);

    const auto events = buffer.events(0, 10);
    EXPECT_EQ(events, (std::vector<ButtonEvent>{{"A", true, 1.0}, {"A", false, 1.2}}));
    auto now = buffer.snapshot();
    EXPECT_EQ(now.presses.at("A"), 1);
    EXPECT_TRUE(now.pressed.empty());
    EXPECT_EQ(buffer.stamps(0, 10), (std::vector<double>{1.0, 1.2}));

    buffer.recordButton("B", true, 2.0);
    buffer.resetPresses();
    now = buffer.snapshot();
    EXPECT_TRUE(now.presses.empty());
    EXPECT_EQ(now.pressed, std::set<std::string>{"B"});
    EXPECT_EQ(buffer.events(0, 10).size(), 3u);
    // Counting starts again from zero after the reset.
    buffer.recordButton("A", true, 3.0);
    EXPECT_EQ(buffer.snapshot().presses.at("A"), 1);
}

TEST(CaptureBuffer, LogsTrimToTheNewestHundredThousand) {
    // A millisecond apart, so that the entry limits bite well inside every log's span.
    auto at = [](int i) { return i / 1000.0; };
    CaptureBuffer buffer;
    for (int i = 0; i < 150'000; ++i) buffer.recordStick("L", i * 1e-6, 0, std::nullopt, at(i));
    EXPECT_EQ(buffer.sticks("L", -1, 1e9).size(), 150'000u);
    EXPECT_EQ(buffer.stamps(-1, 1e9).size(), 150'000u);

    buffer.recordStick("L", 1.0, 0, std::nullopt, at(150'000));
    const auto kept = buffer.sticks("L", -1, 1e9);
    ASSERT_EQ(kept.size(), 100'000u);
    EXPECT_EQ(kept.front().t, at(50'001));
    EXPECT_EQ(kept.back().t, at(150'000));
    const auto stamps = buffer.stamps(-1, 1e9);
    ASSERT_EQ(stamps.size(), 100'000u);
    EXPECT_EQ(stamps.front(), at(50'001));

    // The raw log trims by the same counts; its tracker keeps running.
    for (int i = 0; i <= 150'000; ++i) buffer.recordRaw("e1", i, at(i));
    const auto values = buffer.rawValues("e1", -1, 1e9);
    ASSERT_EQ(values.size(), 100'000u);
    EXPECT_EQ(values.front(), 50'001);
    EXPECT_EQ(buffer.rawTrackers().at("e1").changes, 150'001);

    // So does the one button log.
    for (int i = 0; i <= 150'000; ++i) buffer.recordButton("A", i % 2 == 0, at(i));
    const auto events = buffer.events(-1, 1e9);
    ASSERT_EQ(events.size(), 100'000u);
    EXPECT_EQ(events.front().t, at(50'001));
}

TEST(CaptureBuffer, WindowsIncludeBothEnds) {
    CaptureBuffer buffer;
    for (int i = 0; i < 5; ++i) {
        buffer.recordStick("L", i, 0, std::nullopt, i);
        buffer.recordAxis("T", i * 0.1, std::nullopt, i);
        buffer.recordButton("A", i % 2 == 0, i);
        buffer.recordMotion(MotionSample{double(i), Vector3{}, std::nullopt});
        buffer.recordTouch(TouchSample{double(i), 0, 0.1 * i, 0});
        buffer.recordRaw("e1", i, i);
    }
    EXPECT_EQ(times(buffer.sticks("L", 1, 3)), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(buffer.axes("T", 1, 3).size(), 3u);
    EXPECT_EQ(buffer.events(1, 3).size(), 3u);
    EXPECT_EQ(buffer.motion(1, 3).size(), 3u);
    EXPECT_EQ(buffer.touches(1, 3).size(), 3u);
    // Stick, axis and button at one time are one report, with one stamp.
    EXPECT_EQ(buffer.stamps(1, 3), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(buffer.rawValues("e1", 1, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(buffer.sticks("L", 3, 1).empty());
    EXPECT_TRUE(buffer.sticks("missing", 0, 10).empty());
    EXPECT_TRUE(buffer.rawValues("missing", 0, 10).empty());
}

TEST(CaptureBuffer, WindowsOfALogWhoseTimesGoBackKeepLogOrder) {
    // A source may deliver a stamp older than one already recorded; the window must still hold
    // every record inside it, in the order recorded.
    CaptureBuffer buffer;
    const double order[] = {1.0, 5.0, 2.0, 4.0, 3.0, 9.0};
    for (int i = 0; i < 6; ++i) buffer.recordStick("L", i, 0, std::nullopt, order[i]);
    EXPECT_EQ(times(buffer.sticks("L", 2, 4)), (std::vector<double>{2.0, 4.0, 3.0}));
    EXPECT_EQ(times(buffer.sticks("L", 1, 3)), (std::vector<double>{1.0, 2.0, 3.0})); // three separate runs
    EXPECT_EQ(buffer.stamps(2, 5), (std::vector<double>{5.0, 2.0, 4.0, 3.0}));
    EXPECT_EQ(buffer.snapshot().lastEvent, 9.0);
    // The newest sample at or before a time is found by scanning back from the newest entry.
    EXPECT_EQ(buffer.stick("L", 4.5)->t, 3.0);

    // A NaN time must not make the window pick records outside it.
    buffer.recordStick("N", 0, 0, std::nullopt, std::nan(""));
    EXPECT_TRUE(buffer.sticks("N", 0, 10).empty());
}

TEST(CaptureBuffer, SampleAtATime) {
    CaptureBuffer buffer;
    EXPECT_FALSE(buffer.stick("L", 5).has_value());
    buffer.recordStick("L", 0.1, 0, std::nullopt, 1.0);
    buffer.recordStick("L", 0.2, 0, std::nullopt, 2.0);
    buffer.recordAxis("T", 0.3, std::nullopt, 1.5);

    EXPECT_FALSE(buffer.stick("L", 0.99).has_value());
    EXPECT_EQ(buffer.stick("L", 1.0)->x, 0.1);
    EXPECT_EQ(buffer.stick("L", 1.99)->x, 0.1);
    EXPECT_EQ(buffer.stick("L", 2.0)->x, 0.2);
    EXPECT_FALSE(buffer.axis("T", 1.4).has_value());
    EXPECT_EQ(buffer.axis("T", 9)->value, 0.3);
    EXPECT_FALSE(buffer.axis("missing", 9).has_value());
}

TEST(CaptureBuffer, TrailIsTheTailAfterTheNewestOlderSample) {
    CaptureBuffer buffer;
    EXPECT_TRUE(buffer.trail("L", 1, 10).empty());
    for (int i = 0; i < 5; ++i) buffer.recordStick("L", i, 0, std::nullopt, 10.0 + i);

    EXPECT_EQ(buffer.trail("L", 100, 14).size(), 5u);          // everything is recent
    EXPECT_TRUE(buffer.trail("L", 1, 100).empty());            // everything is old
    EXPECT_EQ(times(buffer.trail("L", 2, 14)), (std::vector<double>{12, 13, 14})); // 12 is at the edge
}

TEST(CaptureBuffer, OnlyStickAxisAndButtonRecordsStamp) {
    CaptureBuffer buffer;
    buffer.recordMotion(MotionSample{1.0, std::nullopt, Vector3{0, -1, 0}});
    buffer.recordTouch(TouchSample{1.0, 0, 0.5, 0.5});
    buffer.liftTouch(0);
    buffer.recordRaw("e1", 7, 1.0);
    EXPECT_TRUE(buffer.stamps(-1e9, 1e9).empty());
    EXPECT_EQ(buffer.snapshot().lastEvent, 0);

    buffer.recordButton("A", true, 5.0);
    buffer.recordStick("L", 1, 0, std::nullopt, 3.0); // older than the last event
    EXPECT_EQ(buffer.stamps(0, 10), (std::vector<double>{5.0, 3.0}));
    EXPECT_EQ(buffer.snapshot().lastEvent, 5.0);
}

TEST(CaptureBuffer, TouchesFollowFingersOnTheSurface) {
    CaptureBuffer buffer;
    buffer.recordTouch(TouchSample{1.0, 0, 0.1, 0.1});
    buffer.recordTouch(TouchSample{1.0, 1, -0.1, -0.1});
    buffer.recordTouch(TouchSample{1.1, 0, 0.2, 0.1});
    buffer.liftTouch(1);
    buffer.liftTouch(3); // never on the surface

    const auto now = buffer.snapshot();
    ASSERT_EQ(now.touches.size(), 1u);
    EXPECT_EQ(now.touches.at(0).x, 0.2);
    EXPECT_EQ(buffer.touches(0, 2).size(), 3u); // lifting logs nothing and removes nothing
}

TEST(CaptureBuffer, RawRangeResetKeepsTheCurrentValue) {
    CaptureBuffer buffer;
    buffer.recordRaw("e1", 10, 0.0);
    buffer.recordRaw("e1", 250, 0.1);
    buffer.recordRaw("e1", 128, 0.2);
    auto tracker = buffer.rawTrackers().at("e1");
    EXPECT_EQ(tracker.minSeen, 10);
    EXPECT_EQ(tracker.maxSeen, 250);
    EXPECT_EQ(tracker.window(), 1.0);

    buffer.resetRawRange();
    tracker = buffer.rawTrackers().at("e1");
    EXPECT_EQ(tracker.minSeen, 128);
    EXPECT_EQ(tracker.maxSeen, 128);
    EXPECT_EQ(buffer.rawValues("e1", 0, 1), (std::vector<int>{10, 250, 128}));
}
