#pragma once
// The two full-size keyboards the keyboard tester draws and expects: US (ANSI) and ISO, each a main
// block with the navigation block and the numeric keypad beside it. Keys are identified by their
// virtual key code (the code the main block was written in), never by the character a key
// produces; LinuxKeyCodes maps the codes Linux reports onto them.
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

// A key of the blocks beside the main block, on the board's grid: the column and row of its
// top-left corner in key units from the main block's top-left, and its height in rows (the
// keypad's Enter and + span two).
struct PlacedKey {
    KeySpec key;
    double column = 0;
    int row = 0;
    int height = 1;
    friend bool operator==(const PlacedKey&, const PlacedKey&) = default;
};

struct KeyboardLayout {
    enum class Kind { ansi, iso };

    Kind kind = Kind::ansi;
    std::vector<std::vector<KeySlot>> rows; // the main block: top row first, slots left to right
    std::vector<PlacedKey> side;            // the navigation block, then the keypad

    // Width of the main block's rows, and of the whole board, in key units.
    static constexpr double mainUnits = 14.5;
    static constexpr double boardUnits = 22.5;

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
    // code wins. Built anew on every call.
    std::vector<KeySpec> keys() const;
    std::optional<KeySpec> key(int code) const;
    // The name of any key code: this layout's name for it, else the other layout's, else the
    // name of the Linux key it was lifted from ("Linux key 700" when that has none), else "Key "
    // and the code.
    std::string name(int code) const;

    friend bool operator==(const KeyboardLayout&, const KeyboardLayout&) = default;
};

std::string title(KeyboardLayout::Kind kind);

template <> struct EnumTable<KeyboardLayout::Kind> {
    static constexpr std::array entries{EnumEntry{KeyboardLayout::Kind::ansi, "ansi"},
                                        EnumEntry{KeyboardLayout::Kind::iso, "iso"}};
};

namespace LinuxKeyCodes {
// The layout's key code for a Linux (evdev) key code. Two keys sit in different places on the two
// layouts and are mapped by position: on ISO the key left of "1" is Section (10) and the key beside
// the left Shift is the grave accent (50); on ANSI the key left of "1" is the grave accent. Break
// is the Pause key pressed with Ctrl. Codes without a virtual counterpart are lifted.
int toKeyCode(int linuxCode, KeyboardLayout::Kind kind);
// A name for a Linux key code that no layout draws ("F13", "Mute"), or none.
std::optional<std::string> name(int linuxCode);
} // namespace LinuxKeyCodes

} // namespace RorozErurEvo
