#pragma once
// The two keyboards the keyboard tester draws and expects: US (ANSI) and ISO. Keys are identified
// by their virtual key code (the code the layouts were written in), never by the character a key
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

struct KeyboardLayout {
    enum class Kind { ansi, iso };

    Kind kind = Kind::ansi;
    std::vector<std::vector<KeySlot>> rows; // top row first, slots left to right

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
    // A run of letter keys (code, letter) followed by the run's fixed punctuation keys.
    static std::vector<KeySlot> letterRow(const std::vector<std::pair<int, std::string>>& letters,
                                          const std::vector<KeySpec>& tail);

    // Flat key list, rows top to bottom; the first spec of a code wins. Built anew on every call.
    std::vector<KeySpec> keys() const;
    std::optional<KeySpec> key(int code) const;

    friend bool operator==(const KeyboardLayout&, const KeyboardLayout&) = default;
};

std::string title(KeyboardLayout::Kind kind);

template <> struct EnumTable<KeyboardLayout::Kind> {
    static constexpr std::array entries{EnumEntry{KeyboardLayout::Kind::ansi, "ansi"},
                                        EnumEntry{KeyboardLayout::Kind::iso, "iso"}};
};

namespace LinuxKeyCodes {
// Offset that lifts a Linux key code without a counterpart in the layouts' code space clear of
// every code the layouts use, so such keys still register as inputs of their own.
constexpr int unmappedBase = 1000;
// The layout's key code for a Linux (evdev) key code. Two keys sit in different places on the two
// layouts and are mapped by position: on ISO the key left of "1" is Section (10) and the key beside
// the left Shift is the grave accent (50); on ANSI the key left of "1" is the grave accent.
int toKeyCode(int linuxCode, KeyboardLayout::Kind kind);
} // namespace LinuxKeyCodes

} // namespace RorozErurEvo
