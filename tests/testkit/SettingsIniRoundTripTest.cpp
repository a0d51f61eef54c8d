// Saves of hand-edited settings files: what the user sets is what the next start reads, whatever
// refused lines the file holds, and every kept line comes back byte for byte, save after save.
#include "SettingsIniRoundTrip.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

// `text` read, `key` set to `value`, written: the text written, which must read back with the
// value set and write again unchanged.
std::string savedWith(const std::string& text, const std::string& key, const std::string& value) {
    const auto first = SettingsIni::read(text);
    auto values = SettingsIniRoundTrip::byKey(first.entries);
    values[key] = {key, value, false};
    const std::string written = SettingsIni::write(SettingsIniRoundTrip::entriesOf(values), first.kept);
    const auto again = SettingsIni::read(written);
    EXPECT_EQ(SettingsIniRoundTrip::byKey(again.entries), values) << written;
    EXPECT_EQ(again.refusedLines, first.refusedLines) << written;
    EXPECT_EQ(SettingsIni::write(again.entries, again.kept), written) << "written again, nothing moves";
    return written;
}

} // namespace

// A refused last line left open by the file's end takes whatever follows it, so it stays last;
// naming the key the user set, it goes under a section no setting is in, or the next start would
// read it over the value set.
TEST(SettingsIniRoundTrip, AnOpenLastLineNeverTakesAwayTheValueSet) {
    EXPECT_EQ(savedWith("companyName=Acme, @\"Inc", "companyName", "Acme"),
              "[General]\n"
              "companyName=Acme\n"
              "\n"
              "[]\n"
              "companyName=Acme, @\"Inc");
    // Naming another key, it stays under its own header.
    EXPECT_EQ(savedWith("[general]\nx=a, @b\\", "companyName", "Acme"),
              "[General]\n"
              "companyName=Acme\n"
              "\n"
              "[general]\n"
              "x=a, @b\\");
}

// A key of a section whose name holds a "/" or "\" is written in that section, after the kept
// line of the same key there: in the section of its first part it would be read first, and the
// kept line would take it away.
TEST(SettingsIniRoundTrip, AValueInASectionNamedWithASlashOutlastsItsKeptLine) {
    for (const std::string header : {"[a/b]", "[a\\b]"}) {
        const std::string text = header + "\nc=@Rect(1 2)\nc=1\n";
        EXPECT_EQ(savedWith(text, "companyName", "Acme"), "[General]\ncompanyName=Acme\n\n" + text) << header;
        EXPECT_EQ(savedWith(text, "a/b/c", "2"), header + "\nc=@Rect(1 2)\nc=2\n") << header;
    }
}

// A key of several parts goes to the deepest of its leading parts that names a section with kept
// lines ("a/b/c/d" to "[a\\b\\c]"), after them, whatever sections of fewer parts have kept lines too;
// a part between that names none ("a/b") leaves the key in the section of its first part.
TEST(SettingsIniRoundTrip, AKeyOfManyPartsGoesToTheDeepestSectionWithKeptLines) {
    std::string written = "[a]\nx=@Rect(1 2)\n[a\\b\\c]\nd=@Rect(1 2)\n[a\\x]\ny=@Rect(1 2)\n";
    for (const std::string key : {"a/b/c/d", "a/b/d", "a/x/y/z", "a/b/c/d/e"}) written = savedWith(written, key, key);
    EXPECT_EQ(written, "[a]\n"
                       "x=@Rect(1 2)\n"
                       "b\\d=a/b/d\n"
                       "\n"
                       "[a\\b\\c]\n"
                       "d=@Rect(1 2)\n"
                       "d=a/b/c/d\n"
                       "d\\e=a/b/c/d/e\n"
                       "\n"
                       "[a\\x]\n"
                       "y=@Rect(1 2)\n"
                       "y\\z=a/x/y/z\n");
}

// A kept line's header comes back as it stood at every save, also when it is not the header
// the writer would give its section (bytes that are not UTF-8, another case, an escape), and the
// section's settings follow under it.
TEST(SettingsIniRoundTrip, KeptHeadersComeBackAsTheyStoodAtEverySave) {
    const std::string text = "[Gen\xFFral]\nx=@Rect(1 2)\ny=1\n[general]\nno equals sign\n[Gen%UFFFDral]\nz=a, @b\n";
    std::string written = text;
    for (int save = 0; save < 3; ++save) written = savedWith(written, "companyName", "Acme " + std::to_string(save));
    EXPECT_EQ(written, "[general]\n"
                       "no equals sign\n"
                       "companyName=Acme 2\n"
                       "\n"
                       "[Gen\xFFral]\n"
                       "x=@Rect(1 2)\n"
                       "[Gen%UFFFDral]\n"
                       "z=a, @b\n"
                       "y=1\n");
}

namespace {

// A hand-edited file of random lines: headers, settings, refused values and keys, junk, line
// ends of every kind, and at times a last line the end leaves open.
std::string randomFile(std::mt19937& random) {
    static const std::vector<std::string> headers{
        "[General]", "[general]", "[ General ]", "[a]", "[a/b]", "[a\\b]", "[A]", "[Gen\xFFral]", "[Gen%UFFFDral]",
        "[]", "[ ]", "[a%+1]", "[%General]", "[a]junk", "[x\\\r", "[a/]", "[\"q\nr\"]", "[\\ \r]"};
    static const std::vector<std::string> keys{
        "companyName", "trailSeconds", "c", "b\\c", "a\\b\\c", "k%+1", "x", "Gen%UFFFDral\\x", "", " ", "%U00E9",
        "\xEF\xBB\xBF" "bom", "\"q=r\""};
    static const std::vector<std::string> values{
        "1", "Acme, Inc", "\"q\"", "@@a", "caf\xC3\xA9", "@Rect(1 2)", "Acme, @\"Inc\"", "a\\0b", "\\xd800", "caf\xC3",
        "a, @b", "one \\\n two", "\"a\nb\"", "x ; comment", "@Variant(\\0)", "\\x"};
    static const std::vector<std::string> junk{"no equals", "\xEF\xBB\xBF", "; comment", "bad\\\r", "\xFF\x01", "="};
    static const std::vector<std::string> ends{"\n", "\r\n", "\r", "\n\n", "\\\r\r"};
    static const std::vector<std::string> openTails{"=\"open", "=a, @\"b", "=x\\", "\"", "=\\\r"};
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    std::string text = random() % 4 == 0 ? "\xEF\xBB\xBF" : "";
    for (int line = static_cast<int>(random() % 12); line >= 0; --line) {
        const unsigned kind = random() % 10;
        text += kind < 2 ? pick(headers) : kind < 8 ? pick(keys) + "=" + pick(values) : pick(junk);
        text += pick(ends);
    }
    if (random() % 2 == 0) text += pick(keys) + pick(openTails);
    return text;
}

} // namespace

// Random hand-edited files, each read and saved several times with one setting changed: every
// save reads back as set, with the same kept lines.
TEST(SettingsIniRoundTrip, RandomHandEditedFilesSurviveEverySave) {
    std::mt19937 random(3);
    constexpr int files = 5000;
    for (int n = 0; n < files; ++n) {
        const std::string text = randomFile(random);
        const std::string fault = SettingsIniRoundTrip::fault(text, static_cast<std::uint32_t>(random()), 4);
        ASSERT_EQ(fault, "") << "file " << n << ":\n" << text;
    }
}

// A key longer than any setting, with its section, is kept as it stands rather than read: a long
// header over many lines would otherwise cost its length for each of them at start (a damaged
// file of 1 MB, gigabytes). A key at the bound is still read, and the user's setting beside the
// long ones survives the save.
TEST(SettingsIniRoundTrip, AKeyLongerThanAnySettingIsKeptUnread) {
    const std::string header = "[" + std::string(260, 'h') + "]\n";
    std::string lines;
    for (int n = 0; n < 100; ++n) lines += "key" + std::to_string(n) + "=1\n";
    const std::string text = "[General]\ncompanyName=Acme\n\n" + header + lines;
    const auto contents = SettingsIni::read(text);
    EXPECT_EQ(contents.refusedLines, 100u);
    ASSERT_FALSE(contents.refused.empty());
    EXPECT_EQ(contents.refused.front().cause, "the key is longer than 256 characters");
    EXPECT_EQ(contents.refused.front().key, std::string(60, 'h') + "\u2026");
    ASSERT_EQ(contents.entries.size(), 1u);
    EXPECT_EQ(savedWith(text, "companyName", "Acme, Inc"), "[General]\ncompanyName=\"Acme, Inc\"\n\n" + header + lines);

    const std::string atBound = "[" + std::string(251, 'h') + "]\nkey1=1\n"; // "hhh…/key1": 256
    const auto read = SettingsIni::read(atBound);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries.front().key.size(), 256u);

    // A long key refused for a cause of its own is named by its start too, and every save of the
    // file still reads back as set.
    const std::string looseEscape = "r" + std::string(300, '\'') + "% 1p=x\n";
    const auto loose = SettingsIni::read(looseEscape);
    ASSERT_EQ(loose.refused.size(), 1u);
    EXPECT_EQ(loose.refused.front().key, "r" + std::string(59, '\'') + "\u2026");
    for (std::uint32_t seed = 0; seed < 40; ++seed)
        EXPECT_EQ(SettingsIniRoundTrip::fault(looseEscape, seed, 3), "") << "seed " << seed;
}
