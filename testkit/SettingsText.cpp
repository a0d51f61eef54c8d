#include "testkit/SettingsText.h"

#include <algorithm>
#include <cstdio>

namespace RorozErurEvo::SettingsText {

namespace {

bool isHexDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void appendHex(std::string& out, unsigned value, const char* format) {
    char digits[12];
    std::snprintf(digits, sizeof digits, format, value);
    out += digits;
}

// A slash separates groups, and the reader takes a backslash in a key for one.
std::string escapedKey(const std::string& key) {
    std::string out;
    for (unsigned char c : key) {
        if (c == '/') out += '\\';
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                 c == '.')
            out += static_cast<char>(c);
        else appendHex(out, c, "%%%02X");
    }
    return out;
}

std::string escapedValue(const std::string& text, bool bytes) {
    std::string out;
    bool quote = false;
    // After a "\x" escape the reader takes any hex digit as part of it: such a digit is escaped too.
    bool escapeHexDigit = false;
    for (unsigned char c : text) {
        if (c == ';' || c == ',' || c == '=') quote = true;
        if (escapeHexDigit && isHexDigit(c)) {
            appendHex(out, c, "\\x%x");
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case '\0': out += "\\0"; escapeHexDigit = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c <= 0x1F || (bytes && c >= 0x7F)) {
                appendHex(out, c, "\\x%x");
                escapeHexDigit = true;
            } else {
                out += static_cast<char>(c); // UTF-8 text passes as it is
            }
        }
    }
    if (quote || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
    return out;
}

} // namespace

std::string write(std::vector<Entry> entries) {
    if (entries.empty()) return {};
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    std::string out = "[General]\n";
    for (const Entry& entry : entries) {
        std::string value;
        if (entry.bytes) value = "@ByteArray(" + entry.value + ")";
        // The reader takes a text with a NUL in it only inside "@String(…)"; it keeps the NUL.
        else if (entry.value.find('\0') != std::string::npos) value = "@String(" + entry.value + ")";
        else value = entry.value.starts_with('@') ? "@" + entry.value : entry.value;
        out += escapedKey(entry.key) + "=" + escapedValue(value, entry.bytes) + "\n";
    }
    return out;
}

} // namespace RorozErurEvo::SettingsText
