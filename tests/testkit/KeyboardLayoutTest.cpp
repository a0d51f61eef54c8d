#include "testkit/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace RorozErurEvo;
using Kind = KeyboardLayout::Kind;

namespace {
int count(const std::vector<KeySpec>& keys, int code) {
    return static_cast<int>(std::count_if(keys.begin(), keys.end(), [&](const KeySpec& k) { return k.code == code; }));
}
} // namespace

TEST(KeyboardLayout, BothLayoutsHaveSixRowsOfFourteenAndAHalfUnits) {
    for (Kind kind : allCases<Kind>()) {
        const auto& layout = KeyboardLayout::layout(kind);
        EXPECT_EQ(layout.kind, kind);
        ASSERT_EQ(layout.rows.size(), 6u);
        for (std::size_t r = 0; r < layout.rows.size(); ++r) {
            double sum = 0;
            for (const auto& slot : layout.rows[r]) sum += slot.width();
            EXPECT_DOUBLE_EQ(sum, 14.5) << title(kind) << " row " << r;
        }
    }
    EXPECT_EQ(KeyboardLayout::ansi().keys().size(), 77u);
    EXPECT_EQ(KeyboardLayout::iso().keys().size(), 78u);
}

TEST(KeyboardLayout, KeyListKeepsTheFirstSpecOfEachCode) {
    auto iso = KeyboardLayout::iso().keys();
    auto ansi = KeyboardLayout::ansi().keys();
    EXPECT_EQ(count(iso, 10), 1);
    EXPECT_EQ(KeyboardLayout::iso().key(10)->name, "Section");
    EXPECT_EQ(count(iso, 50), 1);
    EXPECT_EQ(count(ansi, 10), 0);
    // The ISO return key is two slots with one code; the upper part, met first, wins.
    auto ret = KeyboardLayout::iso().key(36);
    ASSERT_TRUE(ret);
    EXPECT_EQ(ret->label, "Enter");
    EXPECT_EQ(ret->width, 1);
    EXPECT_FALSE(KeyboardLayout::iso().key(62));
    EXPECT_FALSE(KeyboardLayout::ansi().key(62));
    // Stacked arrows are two keys, up before down, between left and right.
    auto left = std::find_if(ansi.begin(), ansi.end(), [](const KeySpec& k) { return k.code == 123; });
    ASSERT_NE(left, ansi.end());
    ASSERT_LE(std::distance(left, ansi.end()), 4);
    EXPECT_EQ(left[1].code, 126);
    EXPECT_EQ(left[2].code, 125);
    EXPECT_EQ(left[3].code, 124);
    EXPECT_EQ(KeyboardLayout::ansi().key(0)->name, "A");
    EXPECT_EQ(KeyboardLayout::ansi().key(42)->label, "\\");
}

TEST(KeyboardLayout, ModifierBits) {
    EXPECT_EQ(KeyboardLayout::modifierBit(62), 0x2000u);
    EXPECT_EQ(KeyboardLayout::modifierBit(63), 0x800000u);
    EXPECT_EQ(KeyboardLayout::modifierBit(54), 0x10u);
    EXPECT_FALSE(KeyboardLayout::modifierBit(57));
    EXPECT_FALSE(KeyboardLayout::modifierBit(53));
    EXPECT_FALSE(KeyboardLayout::modifierBit(-1));
    EXPECT_FALSE(KeyboardLayout::modifierBit(64));
    EXPECT_EQ(KeyboardLayout::modifierCodes().size(), 10u);
}

TEST(KeyboardLayout, KeySpecJsonRequiresEveryKey) {
    KeySpec spec(36, "", "Return", 0.75);
    EXPECT_EQ(KeySpec::fromJson(spec.toJson()), spec);
    EXPECT_EQ(KeySpec(0, "A").name, "A");
    EXPECT_THROW(KeySpec::fromJson(json{{"code", 0}, {"label", "A"}, {"width", 1}}), DecodeError);
    EXPECT_THROW(KeySpec::fromJson(json{{"code", "0"}, {"label", "A"}, {"name", "A"}, {"width", 1}}), DecodeError);
    EXPECT_THROW(KeySpec::fromJson(json::array()), DecodeError);
    // A code past an int is refused, never wrapped onto another key (4294967301 would be 5).
    for (const char* code : {"4294967301", "-2147483649", "18446744073709551615", "9223372036854775808"})
        EXPECT_THROW(KeySpec::fromJson(Json::parse(std::string(R"({"code": )") + code +
                                                   R"(, "label": "A", "name": "A", "width": 1})")),
                     DecodeError)
            << code;
    EXPECT_EQ(KeySpec::fromJson(json{{"code", 2147483647}, {"label", ""}, {"name", "Top"}, {"width", 1}}).code,
              2147483647);
    EXPECT_EQ(rawValue(Kind::iso), "iso");
    EXPECT_EQ(title(Kind::ansi), "US (ANSI)");
}

TEST(LinuxKeyCodes, EveryLayoutKeyIsReachableFromALinuxCodeOnItsLayout) {
    for (Kind kind : allCases<Kind>()) {
        std::map<int, int> hits;
        for (int linux = 0; linux < 600; ++linux) hits[LinuxKeyCodes::toKeyCode(linux, kind)]++;
        for (const auto& spec : KeyboardLayout::layout(kind).keys())
            EXPECT_EQ(hits[spec.code], 1) << title(kind) << " key " << spec.name;
    }
}

TEST(KeyboardLayout, KeysCarryThePCNamesInTheSameGeometry) {
    auto labels = [](const std::vector<KeySlot>& row) {
        std::vector<std::string> texts;
        for (const auto& slot : row)
            for (const auto& key : slot.keys()) texts.push_back(key.label + "/" + std::to_string(slot.width()));
        return texts;
    };
    EXPECT_EQ(labels(KeyboardLayout::bottomRow()),
              (std::vector<std::string>{"Fn/1.000000", "Ctrl/1.000000", "Alt/1.000000", "Super/1.250000",
                                        "/5.000000", "Menu/1.250000", "AltGr/1.000000", "←/1.000000",
                                        "↑/1.000000", "↓/1.000000", "→/1.000000"}));
    for (Kind kind : allCases<Kind>()) {
        const auto& layout = KeyboardLayout::layout(kind);
        EXPECT_EQ(layout.key(51)->label, "Backspace");
        EXPECT_EQ(layout.key(51)->width, 1.5);
        EXPECT_EQ(layout.key(36)->name, "Enter");
        EXPECT_EQ(layout.key(53)->label, "Esc");
        EXPECT_EQ(layout.key(55)->name, "Left Super");
        EXPECT_EQ(layout.key(61)->name, "AltGr");
        for (const auto& spec : layout.keys())
            for (const char* other : {"command", "option", "return", "delete", "control"})
                EXPECT_EQ(spec.label.find(other), std::string::npos) << spec.label;
    }
    // The Menu key (KEY_COMPOSE) lights the slot right of the space bar.
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(127, Kind::ansi), 54);
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(100, Kind::iso), 61); // AltGr
}

TEST(LinuxKeyCodes, KeysThatMoveBetweenLayoutsAreMappedByPosition) {
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(41, Kind::iso), 10);  // left of "1"
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(86, Kind::iso), 50);  // beside left Shift
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(41, Kind::ansi), 50);
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(1, Kind::ansi), 53);
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(82, Kind::ansi), LinuxKeyCodes::unmappedBase + 82); // keypad 0
}
