#include "testkit/ControlCharacters.h"

#include <cstdio>

namespace RorozErurEvo::ControlCharacters {

namespace {

// The length of the control character at the start of `text`, in bytes; 0 when none starts there.
std::size_t controlAt(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (byte(0) < 0x20 || byte(0) == 0x7F) return 1;
    if (text.size() >= 2 && byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F) return 2;
    if (text.size() >= 3 && byte(0) == 0xE2 && byte(1) == 0x80 && (byte(2) == 0xA8 || byte(2) == 0xA9)) return 3;
    return 0;
}

// The code point of a control character of `length` bytes at the start of `text`.
unsigned codePoint(std::string_view text, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(text[i])); };
    if (length == 1) return byte(0);
    if (length == 2) return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
}

} // namespace

bool held(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (controlAt(text.substr(i)) > 0) return true;
    return false;
}

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = controlAt(text.substr(i));
        if (length == 0) {
            out += text[i++];
            continue;
        }
        const unsigned c = codePoint(text.substr(i), length);
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else {
            char code[8];
            std::snprintf(code, sizeof code, c < 0x80 ? "\\x%02x" : "\\u%04x", c);
            out += code;
        }
        i += length;
    }
    return out;
}

} // namespace RorozErurEvo::ControlCharacters
