#pragma once
// The keyboard tester's result and the counts its screen shows, from the keys pressed on a
// layout with a board of some size chosen. The board's required keys are the yardstick: its
// optional keys count apart once pressed and never change the total, and keys off the board
// are named, never judged.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "testkit/ButtonTest.h"
#include "testkit/Date.h"
#include "testkit/KeyboardLayout.h"
#include "testkit/Samples.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo::KeyboardResult {

// The input name of a key in the log and in results: "key-" and its code.
std::string inputName(int code);
// The code of such a name; none unless what follows "key-" is a whole decimal number.
std::optional<int> keyCode(const std::string& input);

// The board's required keys tested, of how many, and its optional keys pressed.
struct KeyCount {
    int tested = 0;
    int required = 0;
    int optional = 0;
    friend bool operator==(const KeyCount&, const KeyCount&) = default;
};
KeyCount count(const KeyboardLayout& layout, KeyboardBoard board, const std::set<int>& tested);

// A key pressed that the board lacks, with its presses.
struct OtherKey {
    int code = 0;
    int presses = 0;
    friend bool operator==(const OtherKey&, const OtherKey&) = default;
};
// Those keys in the order first pressed.
std::vector<OtherKey> otherKeys(const KeyboardLayout& layout, KeyboardBoard board,
                                const std::vector<ButtonEvent>& events);
// "F13 2×, Mute 1×"; empty without any.
std::string otherKeysText(const KeyboardLayout& layout, const std::vector<OtherKey>& keys);

// What the tester measured.
struct Capture {
    const std::set<int>& tested;
    const std::vector<ButtonEvent>& events;
    int maxRollover = 0;
    std::optional<double> repeatRate;
};
// Names shown in the headline before the rest is counted, as the buttons test counts them.
inline constexpr std::size_t namedInHeadline = ButtonTest::namedInHeadline;
// The keyboard result. Its headline names the board, the missing keys first (they are what a
// failed board is about, and what a one-line report keeps), then the count against the board's
// required keys: "Scroll Lock not registered, 99 of 100 keys of the full-size board, no
// chatter", or "all 100 keys of the full-size board OK + 4 optional, no chatter".
TestResult result(const KeyboardLayout& layout, KeyboardBoard board, const Capture& capture, double chatterWindowMs,
                  Date date);

} // namespace RorozErurEvo::KeyboardResult
