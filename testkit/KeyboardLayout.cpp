#include "testkit/KeyboardLayout.h"

#include <unordered_set>

namespace RorozErurEvo {

KeySpec::KeySpec(int code, std::string label, std::optional<std::string> name, double width)
    : code(code), label(label), name(name ? std::move(*name) : std::move(label)), width(width) {}

json KeySpec::toJson() const { return json{{"code", code}, {"label", label}, {"name", name}, {"width", width}}; }

KeySpec KeySpec::fromJson(const json& object) {
    Json::requireObject(object, "key");
    KeySpec spec;
    spec.code = Json::integerIn<int>(object, "code");
    spec.label = Json::string(object, "label");
    spec.name = Json::string(object, "name");
    spec.width = Json::number(object, "width");
    return spec;
}

double KeySlot::width() const {
    if (auto* spec = std::get_if<KeySpec>(&content)) return spec->width;
    if (auto* stacked = std::get_if<Stack>(&content)) return stacked->upper.width;
    return std::get<Gap>(content).width;
}

std::vector<KeySpec> KeySlot::keys() const {
    if (auto* spec = std::get_if<KeySpec>(&content)) return {*spec};
    if (auto* stacked = std::get_if<Stack>(&content)) return {stacked->upper, stacked->lower};
    return {};
}

const std::set<int>& KeyboardLayout::modifierCodes() {
    static const std::set<int> codes{leftShift,   rightShift,  leftControl,  rightControl, leftOption,
                                     rightOption, leftCommand, rightCommand, capsLock,     function};
    return codes;
}

std::optional<unsigned> KeyboardLayout::modifierBit(int code) {
    // Indexed by code − 54; 0 marks a modifier without a flag bit of its own (Caps Lock).
    static constexpr std::array<unsigned, 10> bits{0x10, 0x8, 0x2, 0, 0x20, 0x1, 0x4, 0x40, 0x2000, 0x800000};
    if (code < 54 || code > 63) return std::nullopt;
    unsigned bit = bits[static_cast<std::size_t>(code - 54)];
    if (bit == 0) return std::nullopt;
    return bit;
}

std::vector<KeySlot> KeyboardLayout::letterRow(const std::vector<std::pair<int, std::string>>& letters,
                                               const std::vector<KeySpec>& tail) {
    std::vector<KeySlot> row;
    for (const auto& [code, letter] : letters) row.push_back(KeySlot::key(KeySpec(code, letter)));
    for (const auto& spec : tail) row.push_back(KeySlot::key(spec));
    return row;
}

const std::vector<KeySlot>& KeyboardLayout::functionRow() {
    static const std::vector<KeySlot> row = [] {
        std::vector<KeySlot> slots{KeySlot::key(KeySpec(53, "Esc", "Escape", 1.5))};
        const std::array<int, 12> codes{122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111};
        // Appended rather than "F" + …: g++ 12 at -O3 takes the latter for an oversized copy.
        for (std::size_t i = 0; i < codes.size(); ++i)
            slots.push_back(KeySlot::key(KeySpec(codes[i], std::string("F").append(std::to_string(i + 1)))));
        slots.push_back(KeySlot::gap(1));
        return slots;
    }();
    return row;
}

// The PC bottom row: eight keys, the space bar where it always was. A PC keyboard sends no Fn key,
// so none is drawn; the arrows sit in the navigation block.
const std::vector<KeySlot>& KeyboardLayout::bottomRow() {
    static const std::vector<KeySlot> row{
        KeySlot::key(KeySpec(59, "Ctrl", "Left Ctrl", 1.5)),
        KeySlot::key(KeySpec(55, "Super", "Left Super", 1.25)),
        KeySlot::key(KeySpec(58, "Alt", "Left Alt", 1.5)),
        KeySlot::key(KeySpec(49, "", "Space", 5)),
        KeySlot::key(KeySpec(61, "AltGr", "AltGr", 1.25)),
        KeySlot::key(KeySpec(LinuxKeyCodes::lifted(126), "Super", "Right Super", 1.25)),
        KeySlot::key(KeySpec(54, "Menu", "Menu", 1.25)),
        KeySlot::key(KeySpec(62, "Ctrl", "Right Ctrl", 1.5)),
    };
    return row;
}

const std::vector<PlacedKey>& KeyboardLayout::sideBlocks() {
    using LinuxKeyCodes::lifted;
    // Half a unit between the blocks: the navigation block is three keys wide, the keypad four.
    constexpr double nav = mainUnits + 0.5, pad = nav + 3.5;
    constexpr Board arrows = Board::compact, navigation = Board::tenkeyless, keypad = Board::fullSize;
    static const std::vector<PlacedKey> keys{
        {KeySpec(lifted(99), "PrtSc", "Print Screen"), nav, 0, 1, navigation},
        {KeySpec(lifted(70), "ScrLk", "Scroll Lock"), nav + 1, 0, 1, navigation},
        {KeySpec(lifted(119), "Pause", "Pause"), nav + 2, 0, 1, navigation},
        {KeySpec(lifted(110), "Ins", "Insert"), nav, 1, 1, navigation},
        {KeySpec(lifted(102), "Home", "Home"), nav + 1, 1, 1, navigation},
        {KeySpec(lifted(104), "PgUp", "Page Up"), nav + 2, 1, 1, navigation},
        {KeySpec(lifted(111), "Del", "Delete"), nav, 2, 1, navigation},
        {KeySpec(lifted(107), "End", "End"), nav + 1, 2, 1, navigation},
        {KeySpec(lifted(109), "PgDn", "Page Down"), nav + 2, 2, 1, navigation},
        {KeySpec(126, "↑", "Up arrow"), nav + 1, 4, 1, arrows},
        {KeySpec(123, "←", "Left arrow"), nav, 5, 1, arrows},
        {KeySpec(125, "↓", "Down arrow"), nav + 1, 5, 1, arrows},
        {KeySpec(124, "→", "Right arrow"), nav + 2, 5, 1, arrows},

        {KeySpec(lifted(69), "Num", "Num Lock"), pad, 1, 1, keypad},
        {KeySpec(lifted(98), "/", "Keypad /"), pad + 1, 1, 1, keypad},
        {KeySpec(lifted(55), "*", "Keypad *"), pad + 2, 1, 1, keypad},
        {KeySpec(lifted(74), "-", "Keypad -"), pad + 3, 1, 1, keypad},
        {KeySpec(lifted(71), "7", "Keypad 7"), pad, 2, 1, keypad},
        {KeySpec(lifted(72), "8", "Keypad 8"), pad + 1, 2, 1, keypad},
        {KeySpec(lifted(73), "9", "Keypad 9"), pad + 2, 2, 1, keypad},
        {KeySpec(lifted(78), "+", "Keypad +"), pad + 3, 2, 2, keypad},
        {KeySpec(lifted(75), "4", "Keypad 4"), pad, 3, 1, keypad},
        {KeySpec(lifted(76), "5", "Keypad 5"), pad + 1, 3, 1, keypad},
        {KeySpec(lifted(77), "6", "Keypad 6"), pad + 2, 3, 1, keypad},
        {KeySpec(lifted(79), "1", "Keypad 1"), pad, 4, 1, keypad},
        {KeySpec(lifted(80), "2", "Keypad 2"), pad + 1, 4, 1, keypad},
        {KeySpec(lifted(81), "3", "Keypad 3"), pad + 2, 4, 1, keypad},
        {KeySpec(lifted(96), "Enter", "Keypad Enter"), pad + 3, 4, 2, keypad},
        {KeySpec(lifted(82), "0", "Keypad 0", 2), pad, 5, 1, keypad},
        {KeySpec(lifted(83), ".", "Keypad ."), pad + 2, 5, 1, keypad},
    };
    return keys;
}

double KeyboardLayout::units(Board board) { return board == Board::fullSize ? boardUnits : mainUnits + 0.5 + 3; }

namespace {

std::vector<KeySlot> numberRow(KeySpec first) {
    std::vector<KeySlot> row{KeySlot::key(std::move(first))};
    const std::array<std::pair<int, const char*>, 10> digits{
        {{18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"}, {22, "6"}, {26, "7"}, {28, "8"}, {25, "9"}, {29, "0"}}};
    for (const auto& [code, digit] : digits) row.push_back(KeySlot::key(KeySpec(code, digit)));
    row.push_back(KeySlot::key(KeySpec(27, "-", "Minus")));
    row.push_back(KeySlot::key(KeySpec(24, "=", "Equals")));
    row.push_back(KeySlot::key(KeySpec(51, "Backspace", "Backspace", 1.5)));
    return row;
}

std::vector<KeySlot> concat(std::vector<KeySlot> head, const std::vector<KeySlot>& rest) {
    head.insert(head.end(), rest.begin(), rest.end());
    return head;
}

std::vector<KeySlot> topLetters(KeySpec last) {
    return concat({KeySlot::key(KeySpec(48, "Tab", "Tab", 1.5))},
                  KeyboardLayout::letterRow({{12, "Q"}, {13, "W"}, {14, "E"}, {15, "R"}, {17, "T"}, {16, "Y"},
                                             {32, "U"}, {34, "I"}, {31, "O"}, {35, "P"}},
                                            {KeySpec(33, "[", "Left bracket"), KeySpec(30, "]", "Right bracket"),
                                             std::move(last)}));
}

std::vector<KeySlot> homeLetters(std::vector<KeySpec> ending) {
    std::vector<KeySpec> tail{KeySpec(41, ";", "Semicolon"), KeySpec(39, "'", "Quote")};
    tail.insert(tail.end(), ending.begin(), ending.end());
    return concat({KeySlot::key(KeySpec(57, "Caps Lock", "Caps Lock", 1.75))},
                  KeyboardLayout::letterRow({{0, "A"}, {1, "S"}, {2, "D"}, {3, "F"}, {5, "G"}, {4, "H"}, {38, "J"},
                                             {40, "K"}, {37, "L"}},
                                            tail));
}

std::vector<KeySlot> bottomLetters(std::vector<KeySlot> start) {
    return concat(std::move(start),
                  KeyboardLayout::letterRow({{6, "Z"}, {7, "X"}, {8, "C"}, {9, "V"}, {11, "B"}, {45, "N"}, {46, "M"}},
                                            {KeySpec(43, ",", "Comma"), KeySpec(47, ".", "Period"),
                                             KeySpec(44, "/", "Slash"), KeySpec(60, "Shift", "Right Shift", 2.25)}));
}

} // namespace

namespace {
// The ISO board's extra key beside the left Shift, which PC boards print "<" and ">" on (a Mac's
// code for it is the grave accent's).
constexpr const char* lessGreaterName = "< > key";
} // namespace

const KeyboardLayout& KeyboardLayout::ansi() {
    static const KeyboardLayout layout{
        Kind::ansi,
        {functionRow(), numberRow(KeySpec(50, "`", "Grave accent")), topLetters(KeySpec(42, "\\", "Backslash")),
         homeLetters({KeySpec(36, "Enter", "Enter", 1.75)}),
         bottomLetters({KeySlot::key(KeySpec(56, "Shift", "Left Shift", 2.25))}), bottomRow()},
        sideBlocks()};
    return layout;
}

const KeyboardLayout& KeyboardLayout::iso() {
    static const KeyboardLayout layout{
        Kind::iso,
        {functionRow(), numberRow(KeySpec(10, "§", "Section")), topLetters(KeySpec(36, "Enter", "Enter")),
         homeLetters({KeySpec(42, "\\", "Backslash"), KeySpec(36, "", "Enter", 0.75)}),
         bottomLetters({KeySlot::key(KeySpec(56, "Shift", "Left Shift", 1.25)),
                        KeySlot::key(KeySpec(50, "< >", lessGreaterName))}),
         bottomRow()},
        sideBlocks()};
    return layout;
}

const KeyboardLayout& KeyboardLayout::layout(Kind kind) { return kind == Kind::iso ? iso() : ansi(); }

std::vector<KeySpec> KeyboardLayout::keys() const { return keys(Board::fullSize); }

std::vector<PlacedKey> KeyboardLayout::sideKeys(Board board) const {
    std::vector<PlacedKey> placed;
    for (const auto& key : side)
        if (key.board <= board) placed.push_back(key);
    return placed;
}

std::vector<KeySpec> KeyboardLayout::keys(Board board) const {
    std::vector<KeySpec> list;
    std::unordered_set<int> seen;
    for (const auto& row : rows)
        for (const auto& slot : row)
            for (auto& spec : slot.keys())
                if (seen.insert(spec.code).second) list.push_back(std::move(spec));
    for (const auto& placed : side)
        if (placed.board <= board && seen.insert(placed.key.code).second) list.push_back(placed.key);
    return list;
}

std::optional<KeySpec> KeyboardLayout::key(int code) const {
    for (auto& spec : keys())
        if (spec.code == code) return spec;
    return std::nullopt;
}

bool KeyboardLayout::keptByDesktop(int code) {
    // The common desktops bind a lone Super to their overview and Print Screen to their screenshot
    // tool, and grab them: a healthy key then never reaches the tester's window. (Right Super is
    // optional already, as many boards lack it.)
    return code == leftCommand || code == LinuxKeyCodes::lifted(99);
}

bool KeyboardLayout::optional(Board board, int code) {
    if (keptByDesktop(code)) return true;
    // Gaming boards of every size give the place of right Super or of Menu to an Fn key, which
    // sends nothing; laptops mostly have neither, and many (the arrows or Fn in its place) no
    // right Ctrl.
    if (code == LinuxKeyCodes::lifted(126) || code == 54) return true;
    return board == Board::compact && code == rightControl;
}

KeyboardLayout::Expected KeyboardLayout::expected(Board board, const std::set<int>& pressed) const {
    Expected counted;
    for (auto& spec : keys(board))
        (optional(board, spec.code) && !pressed.contains(spec.code) ? counted.unpressed : counted.expected)
            .push_back(std::move(spec));
    return counted;
}

std::string KeyboardLayout::name(int code) const {
    if (auto spec = key(code)) return spec->name;
    // The ISO key beside the left Shift takes the code that its neighbour left of "1" has on an
    // ISO board; with the ANSI board chosen it is still the < > key.
    if (kind == Kind::ansi && code == 10) return lessGreaterName;
    if (auto spec = layout(kind == Kind::iso ? Kind::ansi : Kind::iso).key(code)) return spec->name;
    if (code == function) return "Fn";
    if (code >= LinuxKeyCodes::unmappedBase && code <= LinuxKeyCodes::lifted(LinuxKeyCodes::largestCode)) {
        const int linuxCode = code - LinuxKeyCodes::unmappedBase;
        return LinuxKeyCodes::name(linuxCode).value_or("Unknown key (code " + std::to_string(linuxCode) + ")");
    }
    return "Key " + std::to_string(code);
}

std::string title(KeyboardLayout::Kind kind) { return kind == KeyboardLayout::Kind::iso ? "ISO" : "US (ANSI)"; }

std::string title(KeyboardBoard board) {
    switch (board) {
    case KeyboardBoard::compact: return "Compact (laptop)";
    case KeyboardBoard::tenkeyless: return "Tenkeyless";
    case KeyboardBoard::fullSize: break;
    }
    return "Full-size";
}

std::string phrase(KeyboardBoard board) {
    switch (board) {
    case KeyboardBoard::compact: return "compact board";
    case KeyboardBoard::tenkeyless: return "tenkeyless board";
    case KeyboardBoard::fullSize: break;
    }
    return "full-size board";
}

namespace LinuxKeyCodes {

namespace {
// Linux evdev key code → layout key code, for keys that sit in the same place on both layouts.
struct Pair {
    int linux;
    int key;
};
constexpr Pair fixedPairs[] = {
    {1, 53},                                                                   // Esc
    {2, 18},   {3, 19},   {4, 20},   {5, 21},  {6, 23},  {7, 22},  {8, 26},   // 1 … 7
    {9, 28},   {10, 25},  {11, 29},  {12, 27}, {13, 24}, {14, 51},            // 8 9 0 - = Backspace
    {15, 48},  {16, 12},  {17, 13},  {18, 14}, {19, 15}, {20, 17}, {21, 16},  // Tab Q W E R T Y
    {22, 32},  {23, 34},  {24, 31},  {25, 35}, {26, 33}, {27, 30}, {28, 36},  // U I O P [ ] Enter
    {29, 59},  {30, 0},   {31, 1},   {32, 2},  {33, 3},  {34, 5},  {35, 4},   // LCtrl A S D F G H
    {36, 38},  {37, 40},  {38, 37},  {39, 41}, {40, 39},                      // J K L ; '
    {42, 56},  {43, 42},  {44, 6},   {45, 7},  {46, 8},  {47, 9},  {48, 11},  // LShift \ Z X C V B
    {49, 45},  {50, 46},  {51, 43},  {52, 47}, {53, 44}, {54, 60},            // N M , . / RShift
    {56, 58},  {57, 49},  {58, 57},                                           // LAlt Space CapsLock
    {59, 122}, {60, 120}, {61, 99},  {62, 118}, {63, 96}, {64, 97}, {65, 98}, // F1 … F7
    {66, 100}, {67, 101}, {68, 109}, {87, 103}, {88, 111},                    // F8 … F12
    {97, 62},  {100, 61}, {103, 126}, {105, 123}, {106, 124}, {108, 125},     // RCtrl RAlt arrows
    // Left Super, Fn, and the Menu key, which PC keyboards have right of the space bar.
    {125, 55}, {464, 63}, {127, 54},
};
constexpr int linuxGrave = 41;  // the key left of "1"
constexpr int linux102nd = 86;  // the extra key beside the left Shift on ISO keyboards
constexpr int linuxPause = 119;
constexpr int linuxBreak = 411; // Ctrl+Pause, as some keyboards report it

// The system's names of the keys a keyboard may send that no layout draws: every code the kernel
// assigns below 249 (an X server passes on no higher one), and the keyboard keys above it.
constexpr std::pair<int, const char*> linuxNames[] = {
    {85, "Zenkaku/Hankaku"}, {89, "Ro"}, {90, "Katakana"}, {91, "Hiragana"}, {92, "Henkan"},
    {93, "Katakana/Hiragana"}, {94, "Muhenkan"}, {95, "Keypad JP comma"}, {101, "Line Feed"}, {112, "Macro"},
    {113, "Mute"}, {114, "Volume Down"}, {115, "Volume Up"}, {116, "Power"}, {117, "Keypad ="},
    {118, "Keypad ±"}, {120, "Scale"}, {121, "Keypad ,"}, {122, "Hangeul"}, {123, "Hanja"}, {124, "Yen"},
    {128, "Stop"}, {129, "Again"}, {130, "Props"}, {131, "Undo"}, {132, "Front"}, {133, "Copy"},
    {134, "Open"}, {135, "Paste"}, {136, "Find"}, {137, "Cut"}, {138, "Help"}, {139, "Menu (show)"},
    {140, "Calculator"}, {141, "Setup"}, {142, "Sleep"}, {143, "Wake Up"}, {144, "File"}, {145, "Send File"},
    {146, "Delete File"}, {147, "Transfer"}, {148, "Launch 1"}, {149, "Launch 2"}, {150, "Browser"},
    {151, "MS-DOS"}, {152, "Screen Lock"}, {153, "Rotate Display"}, {154, "Cycle Windows"}, {155, "Mail"},
    {156, "Bookmarks"}, {157, "Computer"}, {158, "Back"}, {159, "Forward"}, {160, "Close CD"},
    {161, "Eject"}, {162, "Eject/Close CD"}, {163, "Next Track"}, {164, "Play/Pause"},
    {165, "Previous Track"}, {166, "Stop Media"}, {167, "Record"}, {168, "Rewind"}, {169, "Phone"},
    {170, "ISO"}, {171, "Tools"}, {172, "Home Page"}, {173, "Refresh"}, {174, "Exit"}, {175, "Move"},
    {176, "Edit"}, {177, "Scroll Up"}, {178, "Scroll Down"}, {179, "Keypad ("}, {180, "Keypad )"},
    {181, "New"}, {182, "Redo"}, {183, "F13"}, {184, "F14"}, {185, "F15"}, {186, "F16"}, {187, "F17"},
    {188, "F18"}, {189, "F19"}, {190, "F20"}, {191, "F21"}, {192, "F22"}, {193, "F23"}, {194, "F24"},
    {200, "Play CD"}, {201, "Pause CD"}, {202, "Launch 3"}, {203, "Launch 4"}, {204, "All Applications"},
    {205, "Suspend"}, {206, "Close"}, {207, "Play"}, {208, "Fast Forward"}, {209, "Bass Boost"},
    {210, "Print (document)"}, {211, "HP"}, {212, "Camera"}, {213, "Sound"}, {214, "Question"},
    {215, "Email"}, {216, "Chat"}, {217, "Search"}, {218, "Connect"}, {219, "Finance"}, {220, "Sport"},
    {221, "Shop"}, {222, "Alt Erase"}, {223, "Cancel"}, {224, "Brightness Down"}, {225, "Brightness Up"},
    {226, "Media"}, {227, "Switch Display"}, {228, "Keyboard Light Toggle"}, {229, "Keyboard Light Down"},
    {230, "Keyboard Light Up"}, {231, "Send"}, {232, "Reply"}, {233, "Forward Mail"}, {234, "Save"},
    {235, "Documents"}, {236, "Battery"}, {237, "Bluetooth"}, {238, "WLAN"}, {239, "UWB"},
    {241, "Next Video Source"}, {242, "Previous Video Source"}, {243, "Brightness Cycle"},
    {244, "Brightness Auto"}, {245, "Display Off"}, {246, "WWAN"}, {247, "Wireless"},
    {248, "Microphone Mute"}, {418, "Zoom In"}, {419, "Zoom Out"}, {420, "Zoom Reset"}, {433, "Log Off"},
    {438, "Context Menu"}, {444, "Notification Center"}, {464, "Fn"}, {465, "Fn+Esc"}, {466, "Fn+F1"},
    {467, "Fn+F2"}, {468, "Fn+F3"}, {469, "Fn+F4"}, {470, "Fn+F5"}, {471, "Fn+F6"}, {472, "Fn+F7"},
    {473, "Fn+F8"}, {474, "Fn+F9"}, {475, "Fn+F10"}, {476, "Fn+F11"}, {477, "Fn+F12"}, {478, "Fn+1"},
    {479, "Fn+2"}, {480, "Fn+D"}, {481, "Fn+E"}, {482, "Fn+F"}, {483, "Fn+S"}, {484, "Fn+B"},
    {485, "Fn+Right Shift"}, {530, "Touchpad Toggle"}, {531, "Touchpad On"}, {532, "Touchpad Off"},
    {560, "Light Sensor Toggle"}, {561, "Rotation Lock Toggle"}, {562, "Refresh Rate Toggle"},
    {577, "Task Manager"}, {579, "Control Panel"}, {580, "App Select"}, {581, "Screen Saver"},
    {582, "Voice Command"}, {583, "Assistant"}, {584, "Next Keyboard Layout"}, {585, "Emoji Picker"},
    {586, "Dictate"}, {592, "Brightness Min"}, {593, "Brightness Max"}, {633, "Privacy Screen Toggle"},
    {634, "Selective Screenshot"}, {688, "Macro Record Start"}, {689, "Macro Record Stop"},
    {690, "Macro Preset Cycle"}, {691, "Macro Preset 1"}, {692, "Macro Preset 2"}, {693, "Macro Preset 3"},
};
// The kernel numbers a gaming keyboard's macro keys Macro 1 … Macro 30 from this code on.
constexpr int linuxMacro1 = 656, linuxMacroCount = 30;
} // namespace

int toKeyCode(int linuxCode, KeyboardLayout::Kind kind) {
    bool iso = kind == KeyboardLayout::Kind::iso;
    if (linuxCode == linuxGrave) return iso ? 10 : 50;
    if (linuxCode == linux102nd) return iso ? 50 : 10;
    if (linuxCode == linuxBreak) return lifted(linuxPause);
    for (const auto& pair : fixedPairs)
        if (pair.linux == linuxCode) return pair.key;
    return lifted(linuxCode);
}

std::optional<std::string> name(int linuxCode) {
    for (const auto& [code, text] : linuxNames)
        if (code == linuxCode) return std::string(text);
    if (linuxCode >= linuxMacro1 && linuxCode < linuxMacro1 + linuxMacroCount)
        return "Macro " + std::to_string(linuxCode - linuxMacro1 + 1);
    return std::nullopt;
}

} // namespace LinuxKeyCodes
} // namespace RorozErurEvo
