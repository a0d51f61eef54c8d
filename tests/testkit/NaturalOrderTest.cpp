#include "testkit/NaturalOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace RorozErurEvo;

TEST(NaturalOrder, NumbersCompareByValueAndLettersWithoutCase) {
    EXPECT_TRUE(NaturalOrder::less("Trigger 2", "Trigger 10"));
    EXPECT_FALSE(NaturalOrder::less("Trigger 10", "Trigger 2"));
    EXPECT_TRUE(NaturalOrder::less("button 1", "Button 2"));
    EXPECT_TRUE(NaturalOrder::less("Axis", "axis 1"));       // a prefix comes first
    EXPECT_TRUE(NaturalOrder::less("b9", "b10"));
    // Digit runs longer than any integer type still compare by value.
    EXPECT_TRUE(NaturalOrder::less("x99999999999999999999999", "x100000000000000000000000"));
    EXPECT_EQ(NaturalOrder::compare("Same", "Same"), 0);
}

TEST(NaturalOrder, OrderIsTotalSoSortingIsStable) {
    // Names equal but for case or leading zeros still have a fixed order either way round.
    EXPECT_NE(NaturalOrder::compare("a", "A"), 0);
    EXPECT_EQ(NaturalOrder::compare("a", "A"), -NaturalOrder::compare("A", "a"));
    EXPECT_EQ(NaturalOrder::compare("b02", "b2"), -NaturalOrder::compare("b2", "b02"));

    std::vector<std::string> names{"Button 10", "button 2", "Button 1", "Button 02", "Button"};
    std::sort(names.begin(), names.end(), NaturalOrder::less);
    EXPECT_EQ(names, (std::vector<std::string>{"Button", "Button 1", "Button 02", "button 2", "Button 10"}));
}
