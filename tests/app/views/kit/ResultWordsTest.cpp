#include "app/views/kit/ResultWords.h"

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(ResultWords, CapitalizesTheFirstCharacterNotItsFirstByte) {
    EXPECT_EQ(ResultWords::capitalized("rests 3% off centre"), "Rests 3% off centre");
    EXPECT_EQ(ResultWords::capitalized("\u00E9cart large"), "\u00C9cart large");      // two bytes in UTF-8
    EXPECT_EQ(ResultWords::capitalized("e\u0301cart"), "E\u0301cart");                // letter and combining mark
    EXPECT_EQ(ResultWords::capitalized("\U0001D41Ax"), "\U0001D41Ax");               // outside the BMP, no case
    EXPECT_EQ(ResultWords::capitalized("3 of 4 work"), "3 of 4 work");
    EXPECT_EQ(ResultWords::capitalized("\u2013 no data"), "\u2013 no data");
    EXPECT_EQ(ResultWords::capitalized("all Fine"), "All Fine");                      // the rest unchanged
    EXPECT_EQ(ResultWords::capitalized(""), "");
}
