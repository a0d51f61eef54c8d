#include "testkit/DisplayText.h"

#include <algorithm>
#include <cstdint>

namespace RorozErurEvo::DisplayText {

namespace {

constexpr std::string_view ellipsis = "\u2026";

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the UTF-8 sequence that starts with `lead`; a byte that starts none counts as one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Where the code point that starts at `at` (below text.size()) ends: a sequence cut short by
// the end of the text or by a byte that does not continue it ends there.
std::size_t nextStart(std::string_view text, std::size_t at) {
    const std::size_t length = sequenceLength(static_cast<unsigned char>(text[at]));
    std::size_t end = at + 1;
    while (end < at + length && end < text.size() && continuation(static_cast<unsigned char>(text[end]))) ++end;
    return end;
}

// The code point whose sequence starts at `at` (below text.size()); malformed bytes read as
// themselves, which no rule below treats as a mark.
char32_t decodeAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = sequenceLength(lead);
    if (length == 1 || nextStart(text, at) != at + length) return lead;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) value = (value << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    return value;
}

// Where the code point that ends before `at` starts.
std::size_t previousStart(std::string_view text, std::size_t at) {
    std::size_t start = at - 1;
    while (start > 0 && at - start < 4 && continuation(static_cast<unsigned char>(text[start]))) --start;
    return start;
}

constexpr char32_t zeroWidthJoiner = 0x200D;

bool regionalIndicator(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// Code points that belong to the character before them: the common blocks of combining marks,
// variation selectors, emoji modifiers and tags, and the joiner of a joined emoji.
bool extends(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x0483 && c <= 0x0489) || (c >= 0x0591 && c <= 0x05BD) ||
           (c >= 0x064B && c <= 0x065F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) ||
           (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0020 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF) ||
           c == zeroWidthJoiner;
}

// Whether a cut at `at` (a code point boundary inside the text) would part one character.
bool insideCluster(std::string_view text, std::size_t at) {
    const char32_t next = decodeAt(text, at);
    if (extends(next)) return true;
    const char32_t before = decodeAt(text, previousStart(text, at));
    if (before == zeroWidthJoiner) return true;
    if (!regionalIndicator(next) || !regionalIndicator(before)) return false;
    // A flag is a pair of indicators: the cut parts one when an odd number of them precede it.
    std::size_t indicators = 0;
    for (std::size_t at2 = at; at2 > 0 && regionalIndicator(decodeAt(text, previousStart(text, at2)));
         at2 = previousStart(text, at2))
        ++indicators;
    return indicators % 2 == 1;
}

} // namespace

std::size_t codePoints(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at = nextStart(text, at)) ++count;
    return count;
}

Leading leading(std::string_view text, std::size_t maxCodePoints, std::size_t maxLines) {
    std::size_t at = 0;
    std::size_t count = 0;
    std::size_t lines = 1;
    while (at < text.size() && count < maxCodePoints) {
        if (text[at] == '\n') {
            if (lines >= maxLines) {
                std::size_t end = at;
                if (end > 0 && text[end - 1] == '\r') --end;
                // A break that ends the text leaves nothing out.
                return {text.substr(0, end), at + 1 < text.size()};
            }
            ++lines;
        }
        at = nextStart(text, at);
        ++count;
    }
    if (at >= text.size()) return {text, false};
    // Back to the start of the character the limit falls in, unless it is all there is.
    std::size_t end = at;
    while (end > 0 && insideCluster(text, end)) end = previousStart(text, end);
    return {text.substr(0, end > 0 ? end : at), true};
}

std::string cut(std::string_view text, std::size_t maxCodePoints, std::size_t maxLines) {
    maxCodePoints = std::max<std::size_t>(maxCodePoints, 1);
    Leading shown = leading(text, maxCodePoints, maxLines);
    if (!shown.cut) return std::string(text);
    // Room for the ellipsis.
    if (codePoints(shown.text) >= maxCodePoints) shown = leading(text, maxCodePoints - 1, maxLines);
    std::string result;
    result.reserve(shown.text.size() + ellipsis.size());
    result.append(shown.text).append(ellipsis);
    return result;
}

std::string breakable(std::string_view text) {
    constexpr std::string_view zeroWidthSpace = "\u200B";
    std::string result;
    result.reserve(text.size());
    std::size_t wordStart = 0; // where the current run without spaces begins, in `text`
    auto flush = [&](std::size_t end) {
        const std::string_view word = text.substr(wordStart, end - wordStart);
        if (codePoints(word) <= longestWord) {
            result.append(word);
            return;
        }
        std::size_t count = 0;
        for (std::size_t at = 0; at < word.size();) {
            const std::size_t next = nextStart(word, at);
            if (count > 0 && count % wordPiece == 0) result.append(zeroWidthSpace);
            result.append(word.substr(at, next - at));
            ++count;
            at = next;
        }
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            flush(at);
            result += c;
            wordStart = at + 1;
        }
    }
    flush(text.size());
    return result;
}

std::string field(std::string_view text) { return cut(text, fieldLength, fieldLines); }

std::string headline(std::string_view text) { return cut(text, headlineLength, fieldLines); }

} // namespace RorozErurEvo::DisplayText
