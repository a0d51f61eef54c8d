#include "testkit/SettingsIni.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "testkit/SettingsIniUnicode.h"
#include "testkit/Text.h"

namespace RorozErurEvo::SettingsIni {

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
std::string escapedKey(std::u16string_view key) {
    std::string out;
    for (const char16_t c : key) {
        if (c == '/') out += '\\';
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
                 c == '.')
            out += static_cast<char>(c);
        else if (c <= 0xFF) appendHex(out, c, "%%%02X");
        else appendHex(out, c, "%%U%04X");
    }
    return out;
}

std::string escapedValue(const std::string& text, bool bytes) {
    std::string out;
    bool quote = false;
    // After a "\x" escape the reader takes any hex digit as part of it: such a digit is escaped too.
    bool escapeHexDigit = false;
    // The reader drops a byte order mark that opens the value's first run of plain text, as
    // QSettings does: one there is escaped.
    bool plainSeen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ';' || c == ',' || c == '=') quote = true;
        if (!plainSeen && std::string_view(text).substr(i).starts_with(Unicode::byteOrderMark)) {
            out += "\\xfeff";
            escapeHexDigit = true;
            i += 2;
            continue;
        }
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
                plainSeen = true;
            }
        }
    }
    if (quote || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
    return out;
}

// A section's name as its header gives it: "General" for the keys without one, and "%General"
// for the section of that name.
std::string sectionHeader(std::u16string_view name) {
    std::string header = escapedKey(name);
    const bool general = equalIgnoringCase(header, "general");
    if (header.empty()) return "General";
    return general ? "%" + header : header; // the section of that name, not the keys without one
}

// An entry's value as the file holds it.
std::string escapedEntry(const Entry& entry) {
    if (entry.bytes) return escapedValue("@ByteArray(" + entry.value + ")", true);
    std::string text = entry.value;
    std::erase(text, '\0'); // a NUL never reaches a setting
    return escapedValue(text.starts_with('@') ? "@" + text : text, false);
}

} // namespace

std::string_view lineEndAfter(std::string_view line) { return line.ends_with("\\\r") ? "\r" : "\n"; }

std::string write(std::vector<Entry> entries, const std::vector<KeptLines>& kept) {
    // Keys in sections by their first part, as QSettings writes them (it finds a key with a "/"
    // only in its section): "[General]" for the keys without one, sections and keys in the order
    // of their UTF-16 units, which is byte order for ASCII keys.
    std::map<std::u16string, std::map<std::u16string, const Entry*>> sections;
    for (const Entry& entry : entries) {
        std::u16string key;
        Unicode::decode(entry.key, key);
        const std::size_t slash = key.find(u'/');
        std::u16string section = slash == std::u16string::npos ? std::u16string() : key.substr(0, slash);
        if (slash != std::u16string::npos) key.erase(0, slash + 1);
        sections[std::move(section)][std::move(key)] = &entry; // a key given twice keeps its last value
    }
    // Kept lines join the section of their name when it has settings; the others, and the open
    // last line, follow under their own headers.
    std::map<std::u16string, std::string> keptIn;
    std::string apart;
    std::string last;
    for (const KeptLines& lines : kept) {
        std::u16string name;
        if (lines.section) Unicode::decode(*lines.section, name);
        if (lines.open) last = lines.header + std::string(lineEndAfter(lines.header)) + lines.lines;
        else if (lines.section && sections.contains(name)) keptIn[name] += lines.lines;
        else apart += (apart.empty() ? "" : "\n") + lines.header + std::string(lineEndAfter(lines.header)) + lines.lines;
    }
    std::string out;
    for (const auto& [name, keys] : sections) {
        if (!out.empty()) out += '\n';
        out += "[" + sectionHeader(name) + "]\n";
        if (const auto it = keptIn.find(name); it != keptIn.end()) out += it->second;
        for (const auto& [key, entry] : keys) out += escapedKey(key) + "=" + escapedEntry(*entry) + "\n";
    }
    for (const std::string& more : {apart, last})
        if (!more.empty()) out += (out.empty() ? "" : "\n") + more;
    return out;
}

} // namespace RorozErurEvo::SettingsIni
