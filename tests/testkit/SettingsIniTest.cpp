// Reading the settings file's text by hand-edited and foreign forms; the same forms read by
// QSettings, and round trips of every escape through both, are in the settings format tests.
#include "testkit/SettingsIni.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

std::map<std::string, std::string> byKey(const std::vector<SettingsIni::Entry>& entries) {
    std::map<std::string, std::string> map;
    for (const auto& e : entries) map[e.key] = (e.bytes ? "bytes:" : "") + e.value;
    return map;
}

std::vector<std::string> refusals(const SettingsIni::Contents& contents) {
    std::vector<std::string> lines;
    for (const auto& r : contents.refused) lines.push_back(std::to_string(r.line) + " " + r.key + ": " + r.cause);
    return lines;
}

} // namespace

TEST(SettingsIni, ReadsSectionsCommentsAndHandEditedValues) {
    const std::string text = "\xEF\xBB\xBF; a comment\r\n"
                             "[General]\r\n"
                             "  companyName =  Bench Co   ; trailing comment\r\n"
                             "quoted=\"  kept blanks  \"\n"
                             "at=@@home\n"
                             "plainAt=@home\n"
                             "twice=first\n"
                             "twice=second\n"
                             "bytes=@ByteArray(\\xff\\0)\n"
                             "[Window]\n"
                             "size=wide\n"
                             "[general]\n"
                             "odd%20key%U00E9=\\x41\\102\n"
                             "broken=caf\xff\n"
                             "joined=one \\\n two\n"
                             "spans=\"first\nsecond\"\n"
                             "noDigits=a\\xZ\\q\n"
                             "wraps=\\x10041\n"
                             "bom=\xEF\xBB\xBFkept?\n"
                             "pct%=100%zz";
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(byKey(contents.entries), (std::map<std::string, std::string>{
                                           {"companyName", "Bench Co"},
                                           {"quoted", "  kept blanks  "},
                                           {"at", "@home"},
                                           {"plainAt", "@home"},
                                           {"twice", "second"},
                                           {"bytes", std::string("bytes:\xff\0", 8)},
                                           {"Window/size", "wide"},
                                           {"odd key\xc3\xa9", "AB"},
                                           {"broken", "caf\xef\xbf\xbd"},
                                           {"joined", "one  two"},
                                           {"spans", "first\nsecond"},
                                           {"noDigits", "aZ"},
                                           {"wraps", "A"},
                                           {"bom", "kept?"},
                                           {"pct%", "100%zz"},
                                       }));
    EXPECT_TRUE(contents.refused.empty()) << refusals(contents).front();
}

// Forms QSettings reads as something no setting holds, or reads leniently, are refused with the
// line and the cause, and take away an earlier value of their key.
TEST(SettingsIni, RefusesWhatNoSettingHoldsWithItsLineAndCause) {
    const std::string text = "[General]\n"
                             "nul=a\\0b\n"
                             "overlong=\"x\"\n"
                             "overlong=\xC0\x80\n" // U+FFFD twice, as QSettings reads it: kept
                             "late=kept\n"
                             "late=a, @b\n"
                             "cut=\"caf\xC3\"\xA9\n"
                             "lone=\\xd83d\n"
                             "geometry=@Variant(\\0\\0\\0\\x7f)\n"
                             "@String=@String(a\\0)\n"
                             "k%+1=loose\n"
                             "no equals sign\n"
                             "\r"
                             "=no key\n"
                             "[]\n"
                             "x=1\n";
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(byKey(contents.entries), (std::map<std::string, std::string>{{"overlong", "\uFFFD\uFFFD"}}));
    EXPECT_EQ(refusals(contents), (std::vector<std::string>{
                                      "2 nul: the text holds a NUL character",
                                      "6 late: the value is a list (a comma outside quotes) with an item that starts with \u201C@\u201D",
                                      "7 cut: a UTF-8 sequence in the value is cut off",
                                      "8 lone: the text holds half of a UTF-16 surrogate pair",
                                      "9 geometry: the value is of a type no setting has",
                                      "10 @String: the text holds a NUL character",
                                      "11 k%+1: a \u201C%\u201D in the key is followed by a number in a loose form",
                                      "12 : the line has no \u201C=\u201D",
                                      "14 : the key or its section has no name",
                                      "16 /x: the key or its section has no name",
                                  }));
}

// A file that is no settings file (a binary one saved in its place) refuses nearly every line:
// all are counted, and only the earliest few listed, whichever section they are read in; the
// settings among them are read all the same.
TEST(SettingsIni, ThousandsOfRefusedLinesAreCountedAndTheEarliestListed) {
    // Sections are read in the order of their names: "[z]"'s lines, the file's first, are read last.
    std::string text = "[z]\n";
    for (int i = 0; i < 3000; ++i) text += i == 1500 ? "kept=yes\n" : "\x7f\x01junk " + std::to_string(i) + "\n";
    text += "[a]\n";
    for (int i = 0; i < 3000; ++i) text += "list=" + std::to_string(i) + ",@x\n";
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(byKey(contents.entries), (std::map<std::string, std::string>{{"z/kept", "yes"}}));
    EXPECT_EQ(contents.refusedLines, 5999u);
    ASSERT_EQ(contents.refused.size(), SettingsIni::mostRefusalsListed);
    for (std::size_t i = 0; i < contents.refused.size(); ++i) {
        EXPECT_EQ(contents.refused[i].line, i + 2);
        EXPECT_EQ(contents.refused[i].cause, "the line has no \u201C=\u201D");
    }
}

TEST(SettingsIni, WhatTheWriterWritesReadsBackAsItWas) {
    const std::vector<SettingsIni::Entry> entries{
        {"a/b", " x, y; \"z\" = \\ \n\t\x01" "1f ", false},
        {"bytes", std::string("\0\x7f\xff" "a", 4), true},
        {"tech", "@Zo\xc3\xab", false},
        {"caf\xc3\xa9 \xe6\x8a\x80 \xf0\x9f\x98\x80", "\xEF\xBB\xBF" "starts with a byte order mark", false},
        {"tab", "\t\xEF\xBB\xBF" "after an escape", false},
    };
    const std::string text = SettingsIni::write(entries);
    EXPECT_NE(text.find("caf%E9%20%U6280%20%UD83D%UDE00="), std::string::npos) << text;
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(byKey(contents.entries), byKey(entries));
    EXPECT_TRUE(contents.refused.empty());

    // A NUL never reaches a setting: the writer drops it from a text.
    EXPECT_EQ(byKey(SettingsIni::read(SettingsIni::write({{"n", std::string("a\0b", 3), false}})).entries),
              (std::map<std::string, std::string>{{"n", "ab"}}));
}

// A value typed with commas reads as the text typed, its commas and the blanks beside them kept,
// where QSettings would read a list; only a list QSettings would read as values of other types
// (an item that starts with "@") is refused.
TEST(SettingsIni, AValueTypedWithCommasReadsAsTheTextTyped) {
    const std::string text = "[General]\n"
                             "companyName=Acme, Inc\n"
                             "spaced =  a ,b  ,  c  \n"
                             "quoted=\"x, y\" , \" z \"\n"
                             "empty=a,,\n"
                             "escaped=a\\t, b\\,\n"
                             "at=a, @b\n"
                             "atFirst=@@a, b\n"
                             "quotedAt=a, \"@b\"\n"
                             "cut=caf\xC3,\xA9\n";
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(byKey(contents.entries), (std::map<std::string, std::string>{
                                           {"companyName", "Acme, Inc"},
                                           {"spaced", "a ,b  ,  c"},
                                           {"quoted", "x, y,  z "},
                                           {"empty", "a,,"},
                                           {"escaped", "a\t, b"},
                                       }));
    const std::string typed = ": the value is a list (a comma outside quotes) with an item that starts with \u201C@\u201D";
    EXPECT_EQ(refusals(contents), (std::vector<std::string>{"7 at" + typed, "8 atFirst" + typed, "9 quotedAt" + typed,
                                                            "10 cut: a UTF-8 sequence in the value is cut off"}));
    // Written again, the text reads back as it was: quoted, as QSettings writes a text with a comma.
    const std::string again = SettingsIni::write(contents.entries);
    EXPECT_NE(again.find("companyName=\"Acme, Inc\"\n"), std::string::npos) << again;
    EXPECT_EQ(byKey(SettingsIni::read(again).entries), byKey(contents.entries));
}

// Every line the reader refuses is written back as it stood, in its section and before the
// settings there, so that a setting after it still wins; lines of a section without settings, or
// whose name cannot be read, under their header; a last line the end of the file left open, last.
// Read again, the file gives the same settings and refuses the same lines.
TEST(SettingsIni, RefusedLinesAreWrittenBackAsTheyStood) {
    const std::string text = "[General]\n"
                             "size=@Size(1 2)\n"
                             "companyName=Bench\n"
                             "companyName=@Rect(1 2 3 4)\n"
                             "no equals sign\n"
                             "trailSeconds=@Variant(x)\n"
                             "trailSeconds=2\n"
                             "[Window]\n"
                             "place=\"@Point(1\n 2)\"\n"
                             "[Other Program]\n"
                             "geometry=@Rect(0 0 1 1)\n"
                             "state=@Variant(\\0)  ; a comment\n"
                             "[a%+1]\n"
                             "x=1\n"
                             "[General]\n"
                             "\"never closed\n"
                             "still open";
    const auto first = SettingsIni::read(text);
    ASSERT_EQ(first.refusedLines, 9u);
    auto entries = first.entries;
    entries.push_back({"Window/width", "640", false});
    const std::string written = SettingsIni::write(entries, first.kept);
    EXPECT_EQ(written, "[General]\n"
                       "size=@Size(1 2)\n"
                       "companyName=@Rect(1 2 3 4)\n"
                       "no equals sign\n"
                       "trailSeconds=@Variant(x)\n"
                       "trailSeconds=2\n"
                       "\n"
                       "[Window]\n"
                       "place=\"@Point(1\n 2)\"\n"
                       "width=640\n"
                       "\n"
                       "[a%+1]\n"
                       "x=1\n"
                       "\n"
                       "[Other Program]\n"
                       "geometry=@Rect(0 0 1 1)\n"
                       "state=@Variant(\\0)  \n"
                       "\n"
                       "[General]\n"
                       "\"never closed\n"
                       "still open");
    const auto again = SettingsIni::read(written);
    EXPECT_EQ(byKey(again.entries), byKey(entries));
    EXPECT_EQ(again.refusedLines, first.refusedLines);
    std::vector<std::string> causes, causesAgain;
    for (const auto& r : first.refused) causes.push_back(r.key + ": " + r.cause);
    for (const auto& r : again.refused) causesAgain.push_back(r.key + ": " + r.cause);
    std::sort(causes.begin(), causes.end());
    std::sort(causesAgain.begin(), causesAgain.end());
    EXPECT_EQ(causesAgain, causes);
    EXPECT_EQ(SettingsIni::write(again.entries, again.kept), written) << "written again, nothing moves";
}

namespace {

// Read, with a setting added written, and read again: the same settings and the same refusals.
void expectKeptAsRead(const std::string& text) {
    const auto first = SettingsIni::read(text);
    auto entries = first.entries;
    entries.push_back({"k", "1", false});
    const std::string written = SettingsIni::write(entries, first.kept);
    const auto again = SettingsIni::read(written);
    EXPECT_EQ(byKey(again.entries), byKey(entries)) << text;
    EXPECT_EQ(again.refusedLines, first.refusedLines) << text;
    EXPECT_EQ(SettingsIni::write(again.entries, again.kept), written) << text;
}

} // namespace

// The lines of a section named "[]" stay under it: moved under "[General]", "x=1" would become
// a setting.
TEST(SettingsIni, KeptLinesOfAnEmptyNamedSectionDoNotBecomeSettings) {
    for (const std::string text : {"[]\nx=1\n", "[ ]\nx=1\n"}) expectKeptAsRead(text);
}

// A kept line ending in an escaped carriage return takes nothing after it: its written line end
// would otherwise join the next setting to it.
TEST(SettingsIni, KeptLineEndingInAnEscapedReturnSwallowsNoSetting) {
    for (const std::string text : {"[General]\nbad\\\r\r", "[General]\nbad\\\r\rz=2\n"}) expectKeptAsRead(text);
}

// A header ending in an escaped blank or carriage return is written back with it: cut off, or
// followed by a "\n" that its escape takes, the header would swallow the kept line under it.
TEST(SettingsIni, AHeaderEndingInAnEscapeKeepsTheLinesUnderIt) {
    for (const std::string text : {"[\\ \r]", "[\\\r\rno equals sign\n", "[x\\\t\nno equals sign\n"}) expectKeptAsRead(text);
}

// A section's refused lines make one run under each header text they stood under: two headers of
// the same text, with another section between them, one run; a header of another text, its own.
TEST(SettingsIni, RefusedLinesRunUnderEachHeaderTextOfTheirSection) {
    const auto contents = SettingsIni::read("[a]\nbad 1\n[b]\nbad 2\n[a]\nbad 3\n[ a ]\nbad 4\n[a]\nbad 5\n");
    std::vector<std::string> runs;
    for (const auto& kept : contents.kept) runs.push_back(kept.section.value_or("-") + " " + kept.header + " " + kept.lines);
    EXPECT_EQ(runs, (std::vector<std::string>{"a [a] bad 1\nbad 3\n", "a [ a ] bad 4\n", "a [a] bad 5\n", "b [b] bad 2\n"}));
}
