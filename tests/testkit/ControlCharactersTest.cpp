#include "testkit/ControlCharacters.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

TEST(ControlCharacters, AreShownEscapedAndEverythingElseIsKept) {
    const std::string forged = "Pad\n[tessarine.model] Quitting\r\t\x1b[2J\x7f";
    EXPECT_TRUE(ControlCharacters::held(forged));
    EXPECT_EQ(ControlCharacters::escaped(forged), "Pad\\n[tessarine.model] Quitting\\r\\t\\x1b[2J\\x7f");
    EXPECT_EQ(ControlCharacters::escaped(std::string("a\0b", 3)), "a\\x00b");
    // C1 controls (U+0085 next line, U+009B the one-byte CSI) and the Unicode line breaks.
    EXPECT_EQ(ControlCharacters::escaped("a\xC2\x85" "b\xC2\x9B" "1m\xE2\x80\xA8" "c\xE2\x80\xA9"),
              "a\\u0085b\\u009b1m\\u2028c\\u2029");
    // Letters, signs and bytes that are no UTF-8 at all pass as they are, a backslash too.
    for (const char* kept : {"Caf\xC3\xA9 \xE6\x8A\x80 \xF0\x9F\x98\x80 \xC2\xA0", "\xFF\xC2", "\xE2\x80", "C:\\n", ""}) {
        EXPECT_FALSE(ControlCharacters::held(kept)) << kept;
        EXPECT_EQ(ControlCharacters::escaped(kept), kept);
    }
}
