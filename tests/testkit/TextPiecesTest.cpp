#include "testkit/TextPieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace RorozErurEvo;

namespace {

std::vector<std::string> all(std::string_view text, std::size_t pieceBytes, std::size_t longestLine) {
    TextPieces pieces(text, pieceBytes, longestLine);
    std::vector<std::string> result;
    while (!pieces.done()) result.push_back(pieces.next());
    EXPECT_EQ(pieces.taken(), text.size());
    EXPECT_TRUE(pieces.next().empty());
    return result;
}

std::string joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const auto& piece : pieces) text += piece;
    return text;
}

bool startsACharacter(const std::string& piece) {
    return piece.empty() || (static_cast<unsigned char>(piece[0]) & 0xC0) != 0x80;
}

} // namespace

TEST(TextPieces, PiecesEndOnCharactersAndJoinToTheTextWhenNoLineIsTooLong) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += "Stick drifts é 日本 😀\n";
    const auto pieces = all(text, 7, 100);
    EXPECT_EQ(joined(pieces), text);
    for (const auto& piece : pieces) {
        EXPECT_LE(piece.size(), 7u);
        EXPECT_FALSE(piece.empty());
        EXPECT_TRUE(startsACharacter(piece)) << piece;
    }
    EXPECT_TRUE(all("", 10, 10).empty());
}

// The breaks a reader adds are listed, so that it can give back the text as it was: without
// them the pieces are the text, byte for byte.
TEST(TextPieces, EveryAddedBreakIsListedAndTheTextIsKept) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += i % 7 ? "word " : "a-much-longer-word-without-a-space ";
    text += "\nshort\n" + std::string(100, 'x');
    TextPieces pieces(text, 64, 30);
    std::string kept;
    std::size_t added = 0;
    while (!pieces.done()) {
        std::string piece = pieces.next();
        for (auto at = pieces.breaks().rbegin(); at != pieces.breaks().rend(); ++at) {
            ASSERT_EQ(piece.at(*at), '\n');
            piece.erase(*at, 1);
            ++added;
        }
        kept += piece;
    }
    EXPECT_EQ(kept, text);
    EXPECT_GT(added, 40u);
}

TEST(TextPieces, ALongLineIsBrokenAtItsLastSpaceOrAtTheLimitAcrossPieces) {
    // Words of four letters: each line takes as many as fit in 12 code points, the break after
    // the space, which stays.
    EXPECT_EQ(joined(all("abcd efgh ijkl mnop qrst", 100, 12)), "abcd efgh \nijkl mnop \nqrst");
    // One word longer than a line is broken at the limit; code points are counted, not bytes.
    EXPECT_EQ(joined(all("ééééééé", 3, 3)), "ééé\nééé\né");
    // Thirty megabytes on one line: every line of the result is at most the limit.
    const std::string huge(30u << 20, 'g');
    TextPieces pieces(huge, 1u << 20, 1000);
    std::size_t count = 0, longest = 0, run = 0;
    while (!pieces.done())
        for (char c : pieces.next()) {
            if (c == '\n') {
                longest = std::max(longest, run);
                run = 0;
            } else {
                ++run;
                ++count;
            }
        }
    EXPECT_EQ(count, huge.size());
    EXPECT_EQ(std::max(longest, run), 1000u);
}
