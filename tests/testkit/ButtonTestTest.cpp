#include "testkit/ButtonTest.h"

#include <gtest/gtest.h>

#include "ButtonEventHelpers.h"
#include "testkit/DisplayText.h"

using namespace RorozErurEvo;
using namespace RorozErurEvo::ButtonLog;

namespace {

// A clean click of an input at t.
void click(std::vector<ButtonEvent>& events, const std::string& input, double t) {
    events.push_back(press(input, t));
    events.push_back(release(input, t + 0.1));
}

const std::vector<InputName> kFace{{"a", "A"}, {"b", "B"}, {"x", "X"}, {"y", "Y"}};

TestResult buttons(const std::vector<InputName>& expected, const std::vector<ButtonEvent>& events) {
    return ButtonTest::result(expected, events, 30, TestKind::buttons, "", "buttons", ValueSource::processed,
                              kResultDate);
}
} // namespace

TEST(ButtonTest, EmptyExpectedListPassesWithZeroCounts) {
    TestResult result = buttons({}, {});
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "all 0 buttons OK, no chatter");
    ASSERT_EQ(result.measures.size(), 3u);
    for (const Measure& m : result.measures)
        EXPECT_EQ(m.value, 0) << m.id;
    EXPECT_TRUE(result.details.empty());
    EXPECT_EQ(result.kind, TestKind::buttons);
    EXPECT_EQ(result.date, kResultDate);
    EXPECT_FALSE(result.plot);
    EXPECT_FALSE(result.timeline);
}

TEST(ButtonTest, EveryButtonCleanPasses) {
    std::vector<ButtonEvent> events;
    for (int i = 0; i < 4; ++i)
        click(events, kFace[i].id, i);
    click(events, "a", 5);
    TestResult result = buttons(kFace, events);
    EXPECT_EQ(result.verdict, Verdict::pass);
    EXPECT_EQ(result.headline, "all 4 buttons OK, no chatter");
    EXPECT_EQ(result.measure("presses")->value, 5);
    EXPECT_TRUE(result.details.empty());
}

TEST(ButtonTest, MissingInputsFailAndAreNamedInExpectedOrder) {
    // "y" is only released, which does not register it; "x" is never touched.
    std::vector<ButtonEvent> events{release("y", 0.5)};
    click(events, "b", 1);
    click(events, "a", 2);
    TestResult result = buttons(kFace, events);
    EXPECT_EQ(result.verdict, Verdict::fail);
    EXPECT_EQ(result.headline, "2 of 4 buttons registered, no chatter");
    EXPECT_EQ(result.measure("missing")->value, 2);
    EXPECT_EQ(result.details, std::vector<std::string>{"Not registered: X, Y."});
}

TEST(ButtonTest, OneChatterWarnsAndTwoFail) {
    std::vector<ButtonEvent> events;
    for (int i = 0; i < 4; ++i)
        click(events, kFace[i].id, i);
    events.push_back(press("b", 1.12)); // 20 ms after B's release
    TestResult once = buttons(kFace, events);
    EXPECT_EQ(once.verdict, Verdict::warn);
    EXPECT_EQ(once.headline, "all 4 buttons OK, chatter on B");
    EXPECT_EQ(once.details, std::vector<std::string>{"Chatter on B: 1× (20 ms)"});

    events.push_back(release("b", 1.2));
    events.push_back(press("b", 1.2045)); // 4.5 ms: one decimal below 10 ms
    events.push_back(press("y", 3.125));  // 25 ms after Y's release
    TestResult more = buttons(kFace, events);
    EXPECT_EQ(more.verdict, Verdict::fail);
    EXPECT_EQ(more.measure("chatter")->value, 3);
    EXPECT_EQ(more.headline, "all 4 buttons OK, chatter on B, Y");
    EXPECT_EQ(more.details,
              (std::vector<std::string>{"Chatter on B: 2× (20 ms, 4.5 ms)", "Chatter on Y: 1× (25 ms)"}));
}

TEST(ButtonTest, OtherInputsOnlyRaiseTheAlsoPressedLine) {
    std::vector<InputName> expected{{"a", "A"}};
    std::vector<ButtonEvent> events;
    click(events, "a", 0);
    // "start" chatters and "home" is only released: neither counts as missing, chatter or presses.
    click(events, "start", 1);
    events.push_back(press("start", 1.11));
    TestResult one = buttons(expected, events);
    EXPECT_EQ(one.verdict, Verdict::pass);
    EXPECT_EQ(one.headline, "all 1 buttons OK, no chatter");
    EXPECT_EQ(one.measure("presses")->value, 1);
    EXPECT_EQ(one.details, std::vector<std::string>{"Also pressed: 1 other input."});

    events.push_back(release("home", 2));
    EXPECT_EQ(buttons(expected, events).details.back(), "Also pressed: 2 other inputs.");
}

TEST(ButtonTest, DetailsComeInOrderForTheKeyboard) {
    std::vector<InputName> keys{{"0", "A"}, {"1", "S"}, {"2", "D"}};
    std::vector<ButtonEvent> events;
    click(events, "0", 0);
    events.push_back(press("0", 0.11));
    click(events, "9", 1);
    TestResult result = ButtonTest::result(keys, events, 30, TestKind::keyboard, "Keyboard", "keys",
                                           ValueSource::manual, kResultDate);
    EXPECT_EQ(result.headline, "1 of 3 keys registered, chatter on A");
    EXPECT_EQ(result.details, (std::vector<std::string>{"Not registered: S, D.", "Chatter on A: 1× (10 ms)",
                                                        "Also pressed: 1 other input."}));
    EXPECT_EQ(result.kind, TestKind::keyboard);
    EXPECT_EQ(result.element, "Keyboard");
    EXPECT_EQ(result.source, ValueSource::manual);
}

// A raw device with a hundred and twenty-eight buttons all chattering: the headline names the
// first few and counts the rest, so it is shown whole rather than cut short by the display bound.
TEST(ButtonTest, ManyChatteringInputsAreNamedFirstAndCounted) {
    std::vector<InputName> expected;
    std::vector<ButtonEvent> events;
    for (int i = 1; i <= 128; ++i) {
        const std::string id = "b" + std::to_string(i);
        expected.push_back({id, "Button " + std::to_string(i)});
        click(events, id, i);
        events.push_back(press(id, i + 0.11)); // 10 ms after the release
    }
    const TestResult result = buttons(expected, events);
    EXPECT_EQ(result.measure("chatter")->value, 128);
    EXPECT_EQ(result.headline, "all 128 buttons OK, chatter on Button 1, Button 2, Button 3 and 125 more");
    EXPECT_EQ(result.details.size(), 128u) << "each chattering button keeps its line";
    EXPECT_EQ(DisplayText::headline(result.headline), result.headline);
}
