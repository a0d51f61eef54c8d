// Reading the settings file's text by hand-edited and foreign forms; round trips of every escape
// through the writer and QSettings are in the preferences tests.
#include "testkit/SettingsText.h"

#include <gtest/gtest.h>

using namespace RorozErurEvo;

namespace {

std::map<std::string, std::string> byKey(const std::vector<SettingsText::Entry>& entries) {
    std::map<std::string, std::string> map;
    for (const auto& e : entries) map[e.key] = (e.bytes ? "bytes:" : "") + e.value;
    return map;
}

} // namespace

TEST(SettingsText, ReadsSectionsCommentsAndHandEditedValues) {
    const std::string text = "; a comment\r\n"
                             "[General]\r\n"
                             "  companyName =  Bench Co   ; trailing comment\r\n"
                             "quoted=\"  kept blanks  \"\n"
                             "list=a, b\n"
                             "geometry=@Variant(\\0\\0\\0\\x7f)\n"
                             "at=@@home\n"
                             "plainAt=@home\n"
                             "no equals sign\n"
                             "=no key\n"
                             "twice=first\n"
                             "twice=second\n"
                             "bytes=@ByteArray(\\xff\\0)\n"
                             "[Window]\n"
                             "size=wide\n"
                             "[general]\n"
                             "odd%20key%U00E9=\\x41\\102\n"
                             "broken=caf\xff";
    const auto entries = byKey(SettingsText::read(text));
    EXPECT_EQ(entries, (std::map<std::string, std::string>{
                           {"companyName", "Bench Co"},
                           {"quoted", "  kept blanks  "},
                           {"list", "a, b"},
                           {"at", "@home"},
                           {"plainAt", "@home"},
                           {"twice", "second"},
                           {"bytes", std::string("bytes:\xff\0", 8)},
                           {"Window/size", "wide"},
                           {"odd key\xc3\xa9", "AB"},
                           {"broken", "caf\xef\xbf\xbd"},
                       }))
        << "unknown forms such as @Variant are skipped, not misread";
}

TEST(SettingsText, WhatTheWriterWritesReadsBackAsItWas) {
    const std::vector<SettingsText::Entry> entries{
        {"a/b", " x, y; \"z\" = \\ \n\t\x01" "1f ", false},
        {"bytes", std::string("\0\x7f\xff" "a", 4), true},
        {"tech", "@Zo\xc3\xab", false},
    };
    EXPECT_EQ(byKey(SettingsText::read(SettingsText::write(entries))), byKey(entries));
}
