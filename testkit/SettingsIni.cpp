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

namespace {

using Sections = std::map<std::u16string, std::map<std::u16string, const Entry*>>;

std::u16string decoded(std::string_view utf8) {
    std::u16string units;
    Unicode::decode(utf8, units);
    return units;
}

// The sections with kept lines whose names have several parts, as a tree of the parts ("a/b" is
// "b" under "a"), so that those among a key's leading parts are found by reading the key once:
// each leading part copied and looked up whole costs the square of the key's length, half a
// minute for one key of many parts in a file of 1 MB, on the thread the setting was set on.
class KeptSections {
public:
    explicit KeptSections(const std::vector<KeptLines>& kept) {
        for (const KeptLines& lines : kept) {
            // A key is written in the section of its first part anyway.
            if (!lines.section || lines.open || lines.section->find('/') == std::string::npos) continue;
            const std::u16string name = decoded(*lines.section);
            std::size_t node = 0;
            for (std::size_t from = 0;;) {
                const std::size_t slash = name.find(u'/', from);
                node = child(node, std::u16string_view(name).substr(from, slash - from));
                if (slash == std::u16string::npos) break;
                from = slash + 1;
            }
            nodes_[node].kept = true;
        }
    }

    // The section `key` is written in: that of its first part, as QSettings writes it (it finds
    // a key with a "/" only in its section), unless a longer part names a section with kept
    // lines. Those are read after the shorter ones (the reader takes sections in the order of
    // their names), so the key's kept lines, in whichever of them, are all read before its value.
    std::u16string sectionOf(const std::u16string& key) const {
        const std::size_t first = key.find(u'/');
        if (first == std::u16string::npos) return {};
        std::size_t end = first;
        std::size_t node = 0;
        for (std::size_t from = 0, slash = first; slash != std::u16string::npos && slash + 1 < key.size();
             from = slash + 1, slash = key.find(u'/', from)) {
            const auto& parts = nodes_[node].parts;
            const auto it = parts.find(std::u16string_view(key).substr(from, slash - from));
            if (it == parts.end()) break;
            node = it->second;
            if (nodes_[node].kept) end = slash;
        }
        return key.substr(0, end);
    }

private:
    struct Node {
        bool kept = false;
        std::map<std::u16string, std::size_t, std::less<>> parts; // the next part, and its node
    };

    std::size_t child(std::size_t node, std::u16string_view part) {
        if (const auto it = nodes_[node].parts.find(part); it != nodes_[node].parts.end()) return it->second;
        nodes_.emplace_back();
        nodes_[node].parts.emplace(std::u16string(part), nodes_.size() - 1);
        return nodes_.size() - 1;
    }

    std::vector<Node> nodes_ = std::vector<Node>(1); // the root, whose parts are the names' first parts
};

// Keys in sections, sections and keys in the order of their UTF-16 units (byte order for ASCII
// keys), as QSettings writes them; a key given twice keeps its last value.
Sections sectioned(const std::vector<Entry>& entries, const std::vector<KeptLines>& kept) {
    const KeptSections keptSections(kept);
    Sections sections;
    for (const Entry& entry : entries) {
        std::u16string key = decoded(entry.key);
        std::u16string section = keptSections.sectionOf(key);
        if (!section.empty()) key.erase(0, section.size() + 1);
        sections[std::move(section)][std::move(key)] = &entry;
    }
    return sections;
}

std::string headed(std::string_view header, std::string_view lines) {
    return std::string(header).append(lineEndAfter(header)).append(lines);
}

// The open line, under its own header unless the key it would take away is written.
std::string openLast(const KeptLines& open, const std::vector<Entry>& entries) {
    const bool takesASetting = !open.takesAway.empty() && std::any_of(entries.begin(), entries.end(), [&](const Entry& e) {
        return e.key == open.takesAway;
    });
    return headed(takesASetting ? setAsideHeader : std::string_view(open.header), open.lines);
}

} // namespace

std::string write(std::vector<Entry> entries, const std::vector<KeptLines>& kept) {
    const Sections sections = sectioned(entries, kept);
    // The runs of kept lines of each section with settings, and the others.
    std::map<std::u16string, std::string> keptIn;
    std::string apart;
    std::string last;
    for (const KeptLines& lines : kept) {
        const std::u16string name = lines.section ? decoded(*lines.section) : std::u16string();
        if (lines.open) last = openLast(lines, entries);
        else if (lines.section && sections.contains(name)) keptIn[name] += headed(lines.header, lines.lines);
        else apart += (apart.empty() ? "" : "\n") + headed(lines.header, lines.lines);
    }
    std::string out;
    for (const auto& [name, keys] : sections) {
        if (!out.empty()) out += '\n';
        // After its kept lines the section goes on under the last of their headers.
        if (const auto it = keptIn.find(name); it != keptIn.end()) out += it->second;
        else out += "[" + sectionHeader(name) + "]\n";
        for (const auto& [key, entry] : keys) out += escapedKey(key) + "=" + escapedEntry(*entry) + "\n";
    }
    for (const std::string& more : {apart, last})
        if (!more.empty()) out += (out.empty() ? "" : "\n") + more;
    return out;
}

} // namespace RorozErurEvo::SettingsIni
