#include "testkit/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

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
    // Full-size boards: 104 keys, and the ISO board's extra key beside the left Shift.
    EXPECT_EQ(KeyboardLayout::ansi().keys().size(), 104u);
    EXPECT_EQ(KeyboardLayout::iso().keys().size(), 105u);
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
    EXPECT_EQ(KeyboardLayout::iso().key(62)->name, "Right Ctrl");
    // The main block comes first, then the navigation block and the keypad.
    EXPECT_EQ(ansi.front().name, "Escape");
    EXPECT_EQ(ansi[74].name, "Print Screen");
    EXPECT_EQ(ansi.back().name, "Keypad .");
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
        for (int linux = 0; linux < 768; ++linux) hits[LinuxKeyCodes::toKeyCode(linux, kind)]++;
        for (const auto& spec : KeyboardLayout::layout(kind).keys())
            EXPECT_EQ(hits[spec.code], spec.name == "Pause" ? 2 : 1) << title(kind) << " key " << spec.name;
    }
}

TEST(LinuxKeyCodes, NavigationBlockKeypadAndRightModifiersAreKeysOfBothBoards) {
    // Linux key code and the key it lights; NumLock changes the keypad's symbols, not its codes.
    const std::vector<std::pair<int, std::string>> keys{
        {99, "Print Screen"}, {70, "Scroll Lock"}, {119, "Pause"},  {411, "Pause"},  {110, "Insert"},
        {102, "Home"},        {104, "Page Up"},    {111, "Delete"}, {107, "End"},    {109, "Page Down"},
        {103, "Up arrow"},    {105, "Left arrow"}, {108, "Down arrow"}, {106, "Right arrow"},
        {69, "Num Lock"},     {98, "Keypad /"},    {55, "Keypad *"}, {74, "Keypad -"}, {71, "Keypad 7"},
        {72, "Keypad 8"},     {73, "Keypad 9"},    {78, "Keypad +"}, {75, "Keypad 4"}, {76, "Keypad 5"},
        {77, "Keypad 6"},     {79, "Keypad 1"},    {80, "Keypad 2"}, {81, "Keypad 3"}, {96, "Keypad Enter"},
        {82, "Keypad 0"},     {83, "Keypad ."},    {97, "Right Ctrl"}, {126, "Right Super"}, {125, "Left Super"},
        {127, "Menu"},        {100, "AltGr"},
    };
    for (Kind kind : allCases<Kind>()) {
        const auto& layout = KeyboardLayout::layout(kind);
        for (const auto& [linux, name] : keys) {
            auto spec = layout.key(LinuxKeyCodes::toKeyCode(linux, kind));
            ASSERT_TRUE(spec) << title(kind) << " Linux key " << linux;
            EXPECT_EQ(spec->name, name) << title(kind) << " Linux key " << linux;
        }
        // The board's new keys take codes clear of every virtual code (the arrows keep theirs), so
        // no key of an earlier log changes its meaning.
        for (const auto& placed : layout.side)
            EXPECT_TRUE(placed.key.code >= LinuxKeyCodes::unmappedBase ||
                        (placed.key.code >= 123 && placed.key.code <= 126))
                << placed.key.name;
        EXPECT_GT(layout.key(LinuxKeyCodes::toKeyCode(126, kind))->code, LinuxKeyCodes::unmappedBase);
    }
    // Alt+Print and Ctrl+Pause are the same keys to X11 (SysRq and Break are their second symbols).
    EXPECT_EQ(LinuxKeyCodes::toKeyCode(99, Kind::ansi), LinuxKeyCodes::lifted(99));
    // The consumer "Print" key is another key than Print Screen, and is not drawn.
    EXPECT_FALSE(KeyboardLayout::ansi().key(LinuxKeyCodes::toKeyCode(210, Kind::ansi)));
    EXPECT_EQ(KeyboardLayout::ansi().name(LinuxKeyCodes::toKeyCode(210, Kind::ansi)), "Print (document)");
}

TEST(KeyboardLayout, KeysNoBoardDrawsAreNamed) {
    const auto& ansi = KeyboardLayout::ansi();
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(464, Kind::ansi)), "Fn");
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(183, Kind::ansi)), "F13");
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(113, Kind::ansi)), "Mute");
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(141, Kind::ansi)), "Setup");
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(660, Kind::ansi)), "Macro 5");
    // A code the kernel gives no key, and its "unknown" key, say so and give the code.
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(84, Kind::ansi)), "Unknown key (code 84)");
    EXPECT_EQ(ansi.name(LinuxKeyCodes::toKeyCode(240, Kind::ansi)), "Unknown key (code 240)");
    EXPECT_EQ(ansi.name(9999), "Key 9999");
    EXPECT_EQ(ansi.name(0), "A");
}

TEST(LinuxKeyCodes, EveryKeyTheKernelNamesBelowWhatAnXServerPassesOnHasAName) {
    // The codes the kernel assigns to no key (and 240, its "unknown key"), up to 248.
    const std::set<int> unassigned{0, 84, 195, 196, 197, 198, 199, 240};
    for (Kind kind : allCases<Kind>())
        for (int linux = 0; linux <= 248; ++linux) {
            const std::string name = KeyboardLayout::layout(kind).name(LinuxKeyCodes::toKeyCode(linux, kind));
            EXPECT_EQ(name.starts_with("Unknown key"), unassigned.contains(linux)) << linux << " " << name;
        }
}

TEST(KeyboardLayout, TheIsoKeyBesideLeftShiftIsTheLessGreaterKeyOnEitherBoard) {
    // Linux calls it the 102nd key; a PC board prints < and > on it.
    auto iso = KeyboardLayout::iso().key(LinuxKeyCodes::toKeyCode(86, Kind::iso));
    ASSERT_TRUE(iso);
    EXPECT_EQ(iso->label, "< >");
    EXPECT_EQ(iso->name, "< > key");
    EXPECT_EQ(KeyboardLayout::ansi().name(LinuxKeyCodes::toKeyCode(86, Kind::ansi)), "< > key");
    // The key left of "1" keeps its names.
    EXPECT_EQ(KeyboardLayout::iso().name(LinuxKeyCodes::toKeyCode(41, Kind::iso)), "Section");
    EXPECT_EQ(KeyboardLayout::ansi().name(LinuxKeyCodes::toKeyCode(41, Kind::ansi)), "Grave accent");
}

namespace {
std::set<std::string> names(const std::vector<KeySpec>& keys) {
    std::set<std::string> set;
    for (const auto& key : keys) set.insert(key.name);
    return set;
}
} // namespace

TEST(KeyboardLayout, EachBoardAddsItsBlockToTheOneBefore) {
    using Board = KeyboardBoard;
    // The main block's 74 keys (75 on ISO) and the arrows; the navigation block's 9 more; the keypad's 17.
    const std::map<Board, std::pair<std::size_t, std::size_t>> sizes{
        {Board::compact, {78, 79}}, {Board::tenkeyless, {87, 88}}, {Board::fullSize, {104, 105}}};
    for (const auto& [board, size] : sizes) {
        EXPECT_EQ(KeyboardLayout::ansi().keys(board).size(), size.first) << title(board);
        EXPECT_EQ(KeyboardLayout::iso().keys(board).size(), size.second) << title(board);
    }
    const auto compact = names(KeyboardLayout::ansi().keys(Board::compact));
    const auto tenkeyless = names(KeyboardLayout::ansi().keys(Board::tenkeyless));
    for (const char* key : {"Up arrow", "Left arrow", "Escape", "F12", "Right Ctrl", "Menu"})
        EXPECT_TRUE(compact.contains(key)) << key;
    for (const char* key : {"Insert", "Print Screen", "Delete", "Keypad 1"}) EXPECT_FALSE(compact.contains(key)) << key;
    EXPECT_TRUE(tenkeyless.contains("Insert"));
    EXPECT_FALSE(tenkeyless.contains("Num Lock"));
    EXPECT_EQ(KeyboardLayout::ansi().keys(Board::fullSize), KeyboardLayout::ansi().keys());
    EXPECT_EQ(KeyboardLayout::units(Board::compact), 18);
    EXPECT_EQ(KeyboardLayout::units(Board::tenkeyless), 18);
    EXPECT_EQ(KeyboardLayout::units(Board::fullSize), 22.5);
    // The board is kept as its raw value.
    EXPECT_EQ(rawValue(Board::fullSize), "fullSize");
    EXPECT_EQ(fromRawValue<Board>("tenkeyless"), Board::tenkeyless);
    EXPECT_EQ(title(Board::compact), "Compact (laptop)");
}

TEST(KeyboardLayout, OnlyKeysManyBoardsOfTheSizeLackOrTheDesktopKeepsAreOptional) {
    using Board = KeyboardBoard;
    auto optional = [](Board board) {
        std::set<std::string> set;
        for (const auto& key : KeyboardLayout::iso().keys(board))
            if (KeyboardLayout::optional(board, key.code)) set.insert(key.name);
        return set;
    };
    EXPECT_EQ(optional(Board::compact), (std::set<std::string>{"Left Super", "Right Super", "Menu", "Right Ctrl"}));
    EXPECT_EQ(optional(Board::tenkeyless),
              (std::set<std::string>{"Left Super", "Right Super", "Menu", "Print Screen"}));
    EXPECT_EQ(optional(Board::fullSize), (std::set<std::string>{"Left Super", "Right Super", "Menu", "Print Screen"}));
}

// What a test counts: every key of the board, an optional one only once pressed, nothing lost or
// counted twice between the two lists.
TEST(KeyboardLayout, ATestExpectsTheBoardsKeysAndItsOptionalOnesOncePressed) {
    using Board = KeyboardBoard;
    for (Kind kind : allCases<Kind>())
        for (Board board : allCases<Board>()) {
            const auto& layout = KeyboardLayout::layout(kind);
            const auto none = layout.expected(board, {});
            std::vector<KeySpec> both = none.expected;
            both.insert(both.end(), none.unpressed.begin(), none.unpressed.end());
            EXPECT_EQ(names(both), names(layout.keys(board))) << title(board);
            EXPECT_EQ(both.size(), layout.keys(board).size()) << title(board);
            for (const auto& key : none.unpressed) EXPECT_TRUE(KeyboardLayout::optional(board, key.code)) << key.name;
            for (const auto& key : none.expected) EXPECT_FALSE(KeyboardLayout::optional(board, key.code)) << key.name;
        }
    // Menu pressed on a compact board: expected from then on, in its place among the keys.
    const int menu = 54;
    const auto pressed = KeyboardLayout::ansi().expected(KeyboardBoard::compact, {menu, 0});
    EXPECT_EQ(names(pressed.unpressed), (std::set<std::string>{"Left Super", "Right Super", "Right Ctrl"}));
    EXPECT_EQ(pressed.expected.size(), KeyboardLayout::ansi().expected(KeyboardBoard::compact, {}).expected.size() + 1);
    EXPECT_TRUE(names(pressed.expected).contains("Menu"));
    EXPECT_EQ(pressed.expected.back().name, "Right arrow"); // keys() order: the main block, then the arrows
}

TEST(KeyboardLayout, KeysCarryThePCNamesInTheSameGeometry) {
    auto labels = [](const std::vector<KeySlot>& row) {
        std::vector<std::string> texts;
        for (const auto& slot : row)
            for (const auto& key : slot.keys()) texts.push_back(key.label + "/" + std::to_string(slot.width()));
        return texts;
    };
    // A PC keyboard sends no Fn: the bottom row is the PC's eight keys, the space bar where it was.
    EXPECT_EQ(labels(KeyboardLayout::bottomRow()),
              (std::vector<std::string>{"Ctrl/1.500000", "Super/1.250000", "Alt/1.500000", "/5.000000",
                                        "AltGr/1.250000", "Super/1.250000", "Menu/1.250000", "Ctrl/1.500000"}));
    for (Kind kind : allCases<Kind>()) {
        const auto& layout = KeyboardLayout::layout(kind);
        EXPECT_EQ(layout.key(51)->label, "Backspace");
        EXPECT_EQ(layout.key(51)->width, 1.5);
        EXPECT_EQ(layout.key(36)->name, "Enter");
        EXPECT_EQ(layout.key(53)->label, "Esc");
        EXPECT_EQ(layout.key(55)->name, "Left Super");
        EXPECT_EQ(layout.key(61)->name, "AltGr");
        for (const auto& spec : layout.keys()) {
            for (const char* other : {"command", "option", "return", "delete", "control"})
                EXPECT_EQ(spec.label.find(other), std::string::npos) << spec.label;
            EXPECT_NE(spec.label, "Fn");
        }
        EXPECT_FALSE(layout.key(KeyboardLayout::function));
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
