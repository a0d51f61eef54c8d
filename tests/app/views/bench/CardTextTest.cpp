#include "app/views/bench/CardText.h"

#include "app/paint/Symbols.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace RorozErurEvo;

TEST(CardText, KeysAndButtonNamesFollowTheTestIdentifier) {
    const GuidedTest leftDrift{TestKind::drift, "Left Stick", GuidedTest::Target::stick("ls"), false};
    const QString key = CardText::key(leftDrift);
    EXPECT_EQ(key, "test-drift-left-stick-processed");
    EXPECT_EQ(CardText::runName(key), "run-test-drift-left-stick-processed");
    EXPECT_EQ(CardText::doneName(key), "done-test-drift-left-stick-processed");

    // Every blank and bar becomes a dash, capitals go; the source names the values read.
    const GuidedTest raw{TestKind::circularity, "Pair 1  X", GuidedTest::Target::stick("pair-1"), true};
    EXPECT_EQ(CardText::key(raw), "test-circularity-pair-1--x-raw");
    const GuidedTest lights{TestKind::lights, "", GuidedTest::Target::device(), true};
    EXPECT_EQ(CardText::key(lights), "test-lights--manual");
    const GuidedTest triggers{TestKind::adaptiveTriggers, "", GuidedTest::Target::device(), false};
    EXPECT_EQ(CardText::key(triggers), "test-adaptivetriggers--manual");
    EXPECT_EQ(CardText::headlineName(TestKind::adaptiveTriggers), "headline-adaptiveTriggers");
}

TEST(CardText, StatesAndRunButton) {
    using S = CardText::State;
    EXPECT_EQ(CardText::state(TestKind::drift, false, false), S::ready);
    EXPECT_EQ(CardText::state(TestKind::drift, true, true), S::running); // a rerun hides the old result
    EXPECT_EQ(CardText::state(TestKind::drift, false, true), S::done);
    for (TestKind manual : {TestKind::rumble, TestKind::lights, TestKind::adaptiveTriggers})
        EXPECT_EQ(CardText::state(manual, false, true), S::manual);
    EXPECT_EQ(CardText::runTitle(false), "Run");
    EXPECT_EQ(CardText::runTitle(true), "Run Again");
    EXPECT_TRUE(CardText::runEnabled(false, false));
    EXPECT_FALSE(CardText::runEnabled(true, false));
    EXPECT_FALSE(CardText::runEnabled(false, true));
    EXPECT_EQ(CardText::headerName("Left stick \u00B7 Drift at rest", Verdict::fail), "Left stick \u00B7 Drift at rest, Fail");
    EXPECT_EQ(CardText::headerName("Battery", std::nullopt), "Battery");
}

TEST(CardText, ManualAnswersAndTheirSegments) {
    EXPECT_EQ(CardText::answerCode(std::nullopt), 0);
    EXPECT_EQ(CardText::answerCode(true), 1);
    EXPECT_EQ(CardText::answerCode(false), 2);
    for (int code : {1, 2}) EXPECT_EQ(CardText::answerCode(CardText::answerOfCode(code)), code);
    EXPECT_EQ(CardText::answerOfCode(0), std::nullopt);
    EXPECT_EQ(CardText::answerSegments()[0], "\u2013");
    EXPECT_EQ(CardText::answerSegments()[2], "Doesn't");
    EXPECT_EQ(CardText::saveTitle(false), "Save Result");
    EXPECT_EQ(CardText::saveTitle(true), "Update Result");
    EXPECT_EQ(CardText::playName("Left motor, gentle"), "Play Left motor, gentle");
    EXPECT_EQ(CardText::answerName("Red"), "Red result");
}

TEST(CardText, SoakLengthsAndRunConditions) {
    EXPECT_EQ(CardText::soakLengthLabel(5), "5 min");
    EXPECT_EQ(CardText::soakLengthIndex(5), 0);
    EXPECT_EQ(CardText::soakLengthIndex(15), 2);
    EXPECT_EQ(CardText::soakLengthIndex(7), -1); // set in the settings: no selection
    EXPECT_EQ(CardText::soakLengthIndex(10.5), -1);
    EXPECT_TRUE(CardText::soakRunEnabled(false, false, false));
    EXPECT_FALSE(CardText::soakRunEnabled(true, false, false));
    EXPECT_FALSE(CardText::soakRunEnabled(false, true, false));
    EXPECT_FALSE(CardText::soakRunEnabled(false, false, true));
}

TEST(CardText, SoakClockAndProgressStopAtTheEnd) {
    EXPECT_EQ(CardText::soakStatus(600, 0), "Keep a stick moving. 10:00 left.");
    EXPECT_EQ(CardText::soakStatus(600, 75.5), "Keep a stick moving. 8:44 left.");
    EXPECT_DOUBLE_EQ(CardText::soakFraction(600, 150), 0.25);
    // The runner finishes on its next tick; until then the bar stays full.
    EXPECT_EQ(CardText::soakStatus(600, 603), "Keep a stick moving. 0:00 left.");
    EXPECT_DOUBLE_EQ(CardText::soakFraction(600, 603), 1.0);
    EXPECT_DOUBLE_EQ(CardText::soakFraction(0, 5), 0.0);
}

TEST(CardText, SoakCaptionCountsInSingularAndPlural) {
    SoakReport report;
    report.seconds = 0; // no length yet: no share of input
    report.gaps = {SoakSpan{}};
    report.outages = {};
    EXPECT_EQ(CardText::soakCaption(report, std::nullopt), "1 dropout \u00B7 0 disconnects \u00B7 input 0% of the time");

    report.seconds = 120;
    report.activeSeconds = 117;
    report.gaps = {SoakSpan{}, SoakSpan{}};
    report.outages = {SoakSpan{}};
    EXPECT_EQ(CardText::soakCaption(report, 249.6),
              "2 dropouts \u00B7 1 disconnect \u00B7 input 97.5% of the time \u00B7 250 reports/s now");
    report.activeSeconds = 130; // counted past the end never reads as more than all of it
    EXPECT_EQ(CardText::soakCaption(report, 0.0),
              "2 dropouts \u00B7 1 disconnect \u00B7 input 100% of the time \u00B7 0 reports/s now");
}

TEST(CardText, EveryCardSymbolIsDrawn) {
    for (TestKind kind : allCases<TestKind>()) {
        const std::string name = GuidedTest{kind, "", GuidedTest::Target::device(), false}.symbol();
        EXPECT_TRUE(Symbols::known(QString::fromStdString(name))) << name;
    }
    EXPECT_TRUE(Symbols::known("play.fill"));
    EXPECT_TRUE(Symbols::known("antenna.radiowaves.left.and.right.slash"));
}
