#pragma once
// The two keyboards the keyboard tester draws and expects, US (ANSI) and ISO, each a main block
// with the navigation block and the numeric keypad beside it, and the three sizes of board cut
// from them: compact (the main block and the arrows, as a laptop has), tenkeyless (with the
// navigation block) and full-size (with the keypad). Keys are identified by their virtual key
// code (the code the main block was written in), never by the character a key produces;
// LinuxKeyCodes maps the codes Linux reports onto them.
#include <array>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/Json.h"

namespace RorozErurEvo {

namespace LinuxKeyCodes {
// Keys the virtual code space has no place for (the navigation block, the keypad, right Super and
// any key no layout draws) keep the Linux key code, lifted by this offset clear of every virtual
// code, so a key is the same input in every log whether or not it is drawn.
constexpr int unmappedBase = 1000;
constexpr int largestCode = 0x2ff; // the kernel's KEY_MAX
constexpr int lifted(int linuxCode) { return unmappedBase + linuxCode; }
} // namespace LinuxKeyCodes

struct KeySpec {
    int code = 0;
    std::string label;
    std::string name;
    double width = 1; // key units; one unit is a letter key

    KeySpec() = default;
    // A missing name takes the label (letters, digits and F keys are built this way).
    KeySpec(int code, std::string label, std::optional<std::string> name = std::nullopt, double width = 1);

    json toJson() const;
    static KeySpec fromJson(const json& object); // all four keys required
    friend bool operator==(const KeySpec&, const KeySpec&) = default;
};

// One position in a row: a key, two half-height keys stacked (upper first), or a gap.
struct KeySlot {
    struct Stack {
        KeySpec upper;
        KeySpec lower;
        friend bool operator==(const Stack&, const Stack&) = default;
    };
    struct Gap {
        double width = 1;
        friend bool operator==(const Gap&, const Gap&) = default;
    };
    std::variant<KeySpec, Stack, Gap> content;

    static KeySlot key(KeySpec spec) { return KeySlot{std::move(spec)}; }
    static KeySlot stack(KeySpec upper, KeySpec lower) { return KeySlot{Stack{std::move(upper), std::move(lower)}}; }
    static KeySlot gap(double width) { return KeySlot{Gap{width}}; }

    double width() const;
    std::vector<KeySpec> keys() const;
    friend bool operator==(const KeySlot&, const KeySlot&) = default;
};

// The sizes of board, smallest first: each has every key of the one before it.
enum class KeyboardBoard { compact, tenkeyless, fullSize };

// A key of the blocks beside the main block, on the board's grid: the column and row of its
// top-left corner in key units from the main block's top-left, its height in rows (the keypad's
// Enter and + span two), and the smallest board that has it.
struct PlacedKey {
    KeySpec key;
    double column = 0;
    int row = 0;
    int height = 1;
    KeyboardBoard board = KeyboardBoard::fullSize;
    friend bool operator==(const PlacedKey&, const PlacedKey&) = default;
};

struct KeyboardLayout {
    enum class Kind { ansi, iso };
    using Board = KeyboardBoard;

    Kind kind = Kind::ansi;
    std::vector<std::vector<KeySlot>> rows; // the main block: top row first, slots left to right
    std::vector<PlacedKey> side;            // the navigation block, then the keypad

    // Width of the main block's rows, and of the whole full-size board, in key units.
    static constexpr double mainUnits = 14.5;
    static constexpr double boardUnits = 22.5;
    // Width of a board of that size: the main block, then the arrows or the navigation block
    // (three keys and the half unit before them), then the keypad.
    static double units(Board board);

    // Virtual key codes of the modifier keys.
    static constexpr int leftShift = 56, rightShift = 60, leftControl = 59, rightControl = 62, leftOption = 58,
                         rightOption = 61, leftCommand = 55, rightCommand = 54, capsLock = 57, function = 63;
    static const std::set<int>& modifierCodes();
    // The modifier-flag bit the system sets while that physical key is down; none for other codes.
    static std::optional<unsigned> modifierBit(int code);

    static const KeyboardLayout& layout(Kind kind);
    static const KeyboardLayout& ansi();
    static const KeyboardLayout& iso();
    static const std::vector<KeySlot>& functionRow();
    static const std::vector<KeySlot>& bottomRow();
    // Print Screen, Scroll Lock, Pause, the six editing keys and the arrows; then the keypad.
    static const std::vector<PlacedKey>& sideBlocks();
    // A run of letter keys (code, letter) followed by the run's fixed punctuation keys.
    static std::vector<KeySlot> letterRow(const std::vector<std::pair<int, std::string>>& letters,
                                          const std::vector<KeySpec>& tail);

    // Flat key list: the main block's rows top to bottom, then the side blocks; the first spec of a
    // code wins. Built anew on every call. Without a board, the keys of the full-size board.
    std::vector<KeySpec> keys() const;
    std::vector<KeySpec> keys(Board board) const;
    // The keys beside the main block that a board of that size has.
    std::vector<PlacedKey> sideKeys(Board board) const;
    std::optional<KeySpec> key(int code) const;
    // Keys that the desktop commonly keeps for itself, so a healthy one may never reach the
    // tester: left Super and Print Screen.
    static bool keptByDesktop(int code);
    // Keys of the board that a test counts when they are pressed and never requires: those the
    // desktop keeps, and those many healthy boards of that size lack: right Super and Menu, whose
    // places often hold an Fn key that sends nothing, and on a compact board right Ctrl, which
    // laptops with their arrows or Fn there lack.
    static bool optional(Board board, int code);
    // What a test of a board of that size counts once the keys `pressed` were pressed: `expected`
    // is every key of the board but the optional ones nobody pressed, which are `unpressed`; both
    // in keys() order. The tester's result, its progress and its drawing's note all count so.
    struct Expected {
        std::vector<KeySpec> expected;
        std::vector<KeySpec> unpressed;
    };
    Expected expected(Board board, const std::set<int>& pressed) const;
    // The name of any key code: this layout's name for it, else the name of the same key on the
    // other layout, else the system's name of the Linux key it was lifted from, else "Unknown key
    // (code N)" with the Linux key code, else "Key " and the code.
    std::string name(int code) const;

    friend bool operator==(const KeyboardLayout&, const KeyboardLayout&) = default;
};

std::string title(KeyboardLayout::Kind kind);
// "Compact (laptop)", "Tenkeyless", "Full-size".
std::string title(KeyboardBoard board);
// "compact board", "tenkeyless board", "full-size board": the board in a sentence.
std::string phrase(KeyboardBoard board);

template <> struct EnumTable<KeyboardLayout::Kind> {
    static constexpr std::array entries{EnumEntry{KeyboardLayout::Kind::ansi, "ansi"},
                                        EnumEntry{KeyboardLayout::Kind::iso, "iso"}};
};

template <> struct EnumTable<KeyboardBoard> {
    static constexpr std::array entries{EnumEntry{KeyboardBoard::compact, "compact"},
                                        EnumEntry{KeyboardBoard::tenkeyless, "tenkeyless"},
                                        EnumEntry{KeyboardBoard::fullSize, "fullSize"}};
};

namespace LinuxKeyCodes {
// The layout's key code for a Linux (evdev) key code. Two keys sit in different places on the two
// layouts and are mapped by position: on ISO the key left of "1" is Section (10) and the key beside
// the left Shift is the grave accent (50); on ANSI the key left of "1" is the grave accent. Break
// is the Pause key pressed with Ctrl. Codes without a virtual counterpart are lifted.
int toKeyCode(int linuxCode, KeyboardLayout::Kind kind);
// The system's name for a Linux key code that no layout draws ("F13", "Mute"), or none for a
// code the kernel assigns to no key (84) or that no keyboard sends.
std::optional<std::string> name(int linuxCode);
} // namespace LinuxKeyCodes

} // namespace RorozErurEvo
