#pragma once
// Texts of a session file cut for display. A saved session may hold megabytes in a field that is
// normally a few words (a 30 MB GUID, pages of notes); laying such a text out would hold the
// window for minutes. Every view, list row, menu, title, toast and report line shows a field
// through field(); running text (notes) shows its start through leading()/cut() and offers the
// rest in a reader that takes it in by pieces. Exports and session files keep the whole text.
#include <cstddef>
#include <string>
#include <string_view>

namespace RorozErurEvo::DisplayText {

// Code points a field (a name, serial, GUID, unit, label, ticket, measure label) shows
// at most, its ellipsis included: more than a pane or a report line holds at its narrowest font,
// little enough that laying it out costs nothing.
inline constexpr std::size_t fieldLength = 160;
// Lines a field shows at most: a name may hold a break, a field of a hundred breaks would still
// stand taller than its pane.
inline constexpr std::size_t fieldLines = 3;

// The start of `text` with at most `maxCodePoints` code points and `maxLines` lines (the break
// that ends the last line, and a carriage return before it, are left out), and whether anything
// was left out (a break that ends the text is not counted). Only the start is read, so a text of any length costs the same. The cut never
// splits a UTF-8 sequence, nor parts a character from the marks that follow it (combining
// accents, variation selectors, emoji modifiers, a joined emoji, the second half of a flag)
// unless that character and its marks alone are longer than the limit.
struct Leading {
    std::string_view text;
    bool cut = false;
};
Leading leading(std::string_view text, std::size_t maxCodePoints, std::size_t maxLines);

// The text whole when it fits; else its leading part followed by "…", the ellipsis counted
// among the `maxCodePoints` (at least 1).
std::string cut(std::string_view text, std::size_t maxCodePoints, std::size_t maxLines = 1);

// One field: cut(text, fieldLength, fieldLines).
std::string field(std::string_view text);

// Code points a result's headline shows at most, its ellipsis included. An analysis writes a
// headline as one sentence, and some sentences name every item that failed (a pad's eight rumble
// items, six trigger effects: some 300 code points); every headline the application writes fits
// well within this, so it is shown whole, and only a file's own text of more is cut. Still
// little enough that laying it out costs nothing.
inline constexpr std::size_t headlineLength = 600;

// One headline: cut(text, headlineLength, fieldLines).
std::string headline(std::string_view text);

// Words longer than this many code points are given places to break (a GUID of 32 digits is not).
inline constexpr std::size_t longestWord = 32;
// Code points between two such places.
inline constexpr std::size_t wordPiece = 24;

// The text with a zero-width space after every `wordPiece` code points of each run of more than
// `longestWord` code points without a space or a line break, so a label that wraps at word
// boundaries can wrap it too instead of running past its pane. Shorter words are left as they are.
std::string breakable(std::string_view text);

// The number of code points of UTF-8 `text`, as leading() counts them (a malformed byte is one).
std::size_t codePoints(std::string_view text);

} // namespace RorozErurEvo::DisplayText
