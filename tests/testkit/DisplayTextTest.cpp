#include "testkit/DisplayText.h"

#include <gtest/gtest.h>

#include "SessionSamples.h"
#include "testkit/ShownSession.h"

using namespace RorozErurEvo;

TEST(DisplayText, ShortTextsStayWholeAndLongOnesEndInAnEllipsisWithinTheLimit) {
    EXPECT_EQ(DisplayText::field(""), "");
    EXPECT_EQ(DisplayText::field("SN-0042"), "SN-0042");
    const std::string exact(DisplayText::fieldLength, 'g');
    EXPECT_EQ(DisplayText::field(exact), exact);
    const std::string shown = DisplayText::field(exact + "h");
    EXPECT_EQ(shown, std::string(DisplayText::fieldLength - 1, 'g') + "\u2026");
    EXPECT_EQ(DisplayText::codePoints(shown), DisplayText::fieldLength);
    // Thirty megabytes cost what a few bytes do: only the start is read.
    EXPECT_EQ(DisplayText::field(std::string(30u << 20, 'x')).size(), DisplayText::fieldLength - 1 + 3);
    EXPECT_EQ(DisplayText::cut("abc", 0), "\u2026") << "a limit below one still says something was cut";
}

TEST(DisplayText, TextsEndAtTheirLastWholeLine) {
    EXPECT_EQ(DisplayText::field("Wheel\nX"), "Wheel\nX");
    EXPECT_EQ(DisplayText::field("Pad\r\n2\r\n3\r\n4"), "Pad\r\n2\r\n3\u2026");
    EXPECT_EQ(DisplayText::cut("\nlater", 10, 1), "\u2026");
    EXPECT_EQ(DisplayText::cut("one\ntwo\nthree", 100, 2), "one\ntwo\u2026");
    EXPECT_EQ(DisplayText::cut("one\ntwo", 100, 2), "one\ntwo");
    const auto lead = DisplayText::leading("one\ntwo\nthree", 100, 2);
    EXPECT_EQ(lead.text, "one\ntwo");
    EXPECT_TRUE(lead.cut);
    EXPECT_FALSE(DisplayText::leading("one\ntwo", 7, 2).cut);
}

TEST(DisplayText, TheCutNeverSplitsACharacterOrPartsItFromItsMarks) {
    // Two-, three- and four-byte characters: cut by code points, never inside a sequence.
    EXPECT_EQ(DisplayText::cut("ééééé", 4), "ééé\u2026");
    EXPECT_EQ(DisplayText::cut("日本語のテキスト", 3), "日本\u2026");
    EXPECT_EQ(DisplayText::cut("😀😀😀😀", 3), "😀😀\u2026");
    // "e" with a combining acute, a thumb with a skin tone, a joined family, a flag pair: the
    // character goes whole or not at all.
    EXPECT_EQ(DisplayText::cut("abe\u0301xyz", 4), "ab\u2026");
    EXPECT_EQ(DisplayText::cut("ab\U0001F44D\U0001F3FDxyz", 4), "ab\u2026");
    EXPECT_EQ(DisplayText::cut("ab\U0001F468\u200D\U0001F469xyz", 5), "ab\u2026");
    EXPECT_EQ(DisplayText::cut("\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7x", 4), "\U0001F1E9\U0001F1EA\u2026");
    // A character whose marks alone run past the limit is cut between its marks instead of
    // showing nothing.
    std::string zalgo = "a";
    for (int i = 0; i < 200; ++i) zalgo += "\u0301";
    EXPECT_EQ(DisplayText::codePoints(DisplayText::cut(zalgo, 10)), 10u);
    // Bytes that are not UTF-8 are counted one by one and never run past the text.
    EXPECT_EQ(DisplayText::cut(std::string("\xF0\x9F" "abc", 5), 2), std::string("\xF0\x9F" "\u2026"));
    EXPECT_EQ(DisplayText::cut(std::string("ab\xF0", 3), 5), std::string("ab\xF0", 3));
}

TEST(DisplayText, OnlyWordsLongerThanALineOfThePaneGetPlacesToBreak) {
    const std::string guid(DisplayText::longestWord, 'A');
    EXPECT_EQ(DisplayText::breakable("GUID " + guid + " ok"), "GUID " + guid + " ok");
    const std::string zwsp = "\u200B";
    const std::string piece(DisplayText::wordPiece, 'e');
    EXPECT_EQ(DisplayText::breakable("x\n" + piece + piece + "ee h"), "x\n" + piece + zwsp + piece + zwsp + "ee h");
    // Counted in characters: a break never lands inside one.
    std::string accents;
    for (std::size_t i = 0; i < DisplayText::wordPiece + 1; ++i) accents += "\u00E9";
    EXPECT_EQ(DisplayText::breakable(accents + std::string(DisplayText::longestWord, 'x')),
              accents.substr(0, 2 * DisplayText::wordPiece) + zwsp + "\u00E9" + std::string(DisplayText::wordPiece - 1, 'x') +
                  zwsp + std::string(DisplayText::longestWord - DisplayText::wordPiece + 1, 'x'));
}

TEST(ShownSession, ARecordShownKeepsEveryFieldAndCutsOnlyLongTexts) {
    // Short texts: the shown copy equals the record, so no field is left behind.
    TestSession s = Samples::session("SN-1", "2026-03-01T09:00:00Z",
                                     {Samples::result(TestKind::circularity, "Left stick", Verdict::warn,
                                                      {Samples::percent("error", 0.05)}, "5% error")});
    s.results[0].details = {"one", "two"};
    s.results[0].plot = StickPlot{GateShape::round, 0.9, {0.5, std::nullopt}};
    s.results[0].timeline = SoakStrip{60, {SoakStrip::State::ok}};
    s.label = "After";
    s.technician = "Ana";
    s.ticket = "T-1";
    s.notes = "Checked.";
    s.device = DeviceInfo{"Pad", "Maker", "Gamepad", 0x054C, 0x0CE6, "SN", "USB", 0.5, "charging", 0x0110, "0300"};
    s.appVersion = "1.0";
    s.profile = "Yours";
    s.version = 2;
    EXPECT_EQ(DisplayText::shown(s), s);

    // Long ones are cut wherever they are; the notes stay whole for their reader.
    const std::string huge(1u << 20, 'z');
    s.notes = huge;
    for (std::string* text : {&s.unit, &s.label, &s.results[0].element, &s.results[0].headline,
                              &s.results[0].measures[0].label, &s.results[0].details[1], &*s.device.guid})
        *text = huge;
    const TestSession shown = DisplayText::shown(s);
    const std::string cut = DisplayText::field(huge);
    EXPECT_EQ(shown.notes, huge);
    for (const std::string* text : {&shown.unit, &shown.label, &shown.results[0].element,
                                    &shown.results[0].measures[0].label, &shown.results[0].details[1], &*shown.device.guid})
        EXPECT_EQ(*text, cut);
    // A headline has room for every sentence an analysis writes, and no more.
    EXPECT_EQ(shown.results[0].headline, DisplayText::headline(huge));
    EXPECT_EQ(DisplayText::codePoints(shown.results[0].headline), DisplayText::headlineLength);
    EXPECT_TRUE(shown.results[0].headline.ends_with("\u2026"));
    EXPECT_EQ(shown.results[0].measures[0].id, "error") << "ids are kept for lookups";
}
