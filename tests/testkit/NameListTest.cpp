#include "testkit/NameList.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

TEST(NameList, NamesStandApartAndNamesWithCommasArePartedBySemicolons) {
    EXPECT_EQ(NameList::joined({}), "");
    EXPECT_EQ(NameList::joined({"A"}), "A");
    EXPECT_EQ(NameList::joined({"A", "B"}), "A and B");
    EXPECT_EQ(NameList::joined({"F5", "Scroll Lock", "Pause"}), "F5, Scroll Lock and Pause");
    EXPECT_EQ(NameList::joined({"Left, gentle", "Left, strong", "Right, gentle"}),
              "Left, gentle; Left, strong and Right, gentle");
}

TEST(NameList, TheFirstFewThenHowManyMore) {
    const std::vector<std::string> keys{"Escape", "F1", "F2", "F3", "F4"};
    EXPECT_EQ(NameList::firstOf(keys, 3), "Escape, F1, F2 and 2 more");
    EXPECT_EQ(NameList::firstOf(keys, 5), "Escape, F1, F2, F3 and F4");
    EXPECT_EQ(NameList::firstOf({"A", "B", "C", "D"}, 3), "A, B, C and 1 more");
    EXPECT_EQ(NameList::firstOf({"Keypad ,", "Comma", "Slash", "Period"}, 2), "Keypad ,; Comma and 2 more");
}
