// Which lines of the mapping files SDL is given: what SDL would keep of them, without a line that
// would cut SDL's reading short, and no more than the cap, the more important files' first.
#include "testkit/ControllerMappingText.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

std::string mapping(const std::string& guid, const std::string& name, const std::string& platform = "Linux") {
    return guid + "," + name + ",a:b0,b:b1,platform:" + platform + ",\n";
}

} // namespace

TEST(ControllerMappingText, ANulLineIsSkippedAndCountedAndTheLinesAfterItAreRead) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += mapping("0300000000000000000000000000" + std::to_string(1000 + i), "Pad " + std::to_string(i));
    text.insert(text.find("Pad 50,") + 3, 1, '\0');
    text += "# a comment\n\nno platform at all\n" + mapping("05000000000000000000000000000001", "Elsewhere", "Windows") +
            "05000000000000000000000000000002,Cut,a:b0,platform:Linux\n" + // no comma after the platform: SDL skips it
            mapping("05000000000000000000000000000003", "Any case", "lINUX");
    const auto merged = ControllerMappingText::merge({text}, "Linux", 4000);
    ASSERT_EQ(merged.files.size(), 1u);
    EXPECT_EQ(merged.files[0].mappings, 100u);
    EXPECT_EQ(merged.files[0].skipped, 1u);
    EXPECT_EQ(merged.mappings, 100u);
    EXPECT_EQ(merged.text.find('\0'), std::string::npos);
    EXPECT_NE(merged.text.find("Pad 99,"), std::string::npos) << "the lines after it are there";
    EXPECT_EQ(merged.text.find("Pad 50,"), std::string::npos);
    EXPECT_NE(merged.text.find("Any case"), std::string::npos);
}

// The later line of a GUID replaces an earlier one, in a file and across files (the user's file
// comes last), whatever the case of its hexadecimal digits; past the cap the least important
// files' mappings are left out, so the user's own ones always count.
TEST(ControllerMappingText, OneMappingAGuidTheMoreImportantFilesFirstUpToTheCap) {
    const std::string pad = "030000005e0400008e02000014010000";
    std::string system;
    for (int i = 0; i < 10; ++i) system += mapping("0300000000000000000000000000" + std::to_string(2000 + i), "System " + std::to_string(i));
    system += mapping(pad, "System pad") + mapping(pad, "System pad again");
    const std::string user = mapping("0300000000000000000000000000" + std::to_string(3000), "User only") +
                             mapping("030000005E0400008E02000014010000", "User pad");

    const auto all = ControllerMappingText::merge({system, user}, "Linux", 4000);
    EXPECT_EQ(all.mappings, 12u);
    EXPECT_EQ(all.replaced, 2u);
    EXPECT_EQ(all.leftOut, 0u);
    EXPECT_NE(all.text.find("User pad"), std::string::npos);
    EXPECT_EQ(all.text.find("System pad"), std::string::npos);

    const auto capped = ControllerMappingText::merge({system, user}, "Linux", 5);
    EXPECT_EQ(capped.mappings, 5u);
    EXPECT_EQ(capped.leftOut, 7u);
    for (const char* kept : {"User pad", "User only", "System 9,", "System 8,", "System 7,"})
        EXPECT_NE(capped.text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(capped.text.find("System 6,"), std::string::npos);
    EXPECT_LT(capped.text.find("System 7,"), capped.text.find("User only")) << "in file order";
    EXPECT_EQ(capped.files[0].mappings, 12u) << "what a file held is told whatever was given";
}
