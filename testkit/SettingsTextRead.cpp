// Reading the settings file's text: the inverse of SettingsText::write, and of the other program
// that may have written the file in the same INI form.
#include "testkit/SettingsText.h"

#include <map>
#include <optional>

namespace RorozErurEvo::SettingsText {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One character of UTF-8 text at `at`, which moves past it; a byte that starts no valid sequence
// reads as U+FFFD on its own.
char32_t nextCharacter(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    const int extra = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size()) {
        ++at;
        return U'\uFFFD';
    }
    char32_t c = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return U'\uFFFD';
        }
        c = (c << 6) | (next & 0x3F);
    }
    at += static_cast<std::size_t>(extra) + 1;
    return c;
}

// "%XX" is a byte, "%UXXXX" a character, and a backslash the group separator "/".
std::string unescapedKey(std::string_view key) {
    std::string out;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        if (c == '\\') {
            out += '/';
        } else if (c == '%' && i + 5 < key.size() && key[i + 1] == 'U' && hexValue(key[i + 2]) >= 0 &&
                   hexValue(key[i + 3]) >= 0 && hexValue(key[i + 4]) >= 0 && hexValue(key[i + 5]) >= 0) {
            char32_t u = 0;
            for (std::size_t k = 2; k < 6; ++k) u = u * 16 + static_cast<char32_t>(hexValue(key[i + k]));
            appendUtf8(out, u);
            i += 5;
        } else if (c == '%' && i + 2 < key.size() && hexValue(key[i + 1]) >= 0 && hexValue(key[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(key[i + 1]) * 16 + hexValue(key[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// The value's characters: quotes removed, escapes resolved, blanks outside quotes trimmed from
// both ends, and everything from a ";" outside quotes on dropped as a comment.
std::u32string unescapedValue(std::string_view value) {
    std::u32string out;
    std::size_t kept = 0; // characters up to the last one that is no trailing blank outside quotes
    bool quoted = false;
    std::size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if (c == '"') {
            quoted = !quoted;
            ++i;
            kept = out.size();
            continue;
        }
        if (c == ';' && !quoted) break;
        if (c == '\\' && i + 1 < value.size()) {
            const char e = value[i + 1];
            i += 2;
            switch (e) {
            case 'a': out += U'\a'; break;
            case 'b': out += U'\b'; break;
            case 'f': out += U'\f'; break;
            case 'n': out += U'\n'; break;
            case 'r': out += U'\r'; break;
            case 't': out += U'\t'; break;
            case 'v': out += U'\v'; break;
            case 'x': {
                char32_t x = 0;
                while (i < value.size() && hexValue(value[i]) >= 0 && x < 0x110000)
                    x = x * 16 + static_cast<char32_t>(hexValue(value[i++]));
                out += x;
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    char32_t octal = static_cast<char32_t>(e - '0');
                    while (i < value.size() && value[i] >= '0' && value[i] <= '7' && octal < 0x110000)
                        octal = octal * 8 + static_cast<char32_t>(value[i++] - '0');
                    out += octal;
                } else {
                    out += static_cast<char32_t>(static_cast<unsigned char>(e)); // \" \' \? \\ and the unknown
                }
            }
            kept = out.size();
            continue;
        }
        const bool blank = c == ' ' || c == '\t';
        if (blank && !quoted && out.empty()) {
            ++i;
            continue;
        }
        out += nextCharacter(value, i);
        if (quoted || !blank) kept = out.size();
    }
    out.resize(kept);
    return out;
}

std::string utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) appendUtf8(out, c);
    return out;
}

bool startsWith(std::u32string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != static_cast<char32_t>(static_cast<unsigned char>(prefix[i]))) return false;
    return true;
}

// The value of an entry, or nothing for a form this application does not read.
std::optional<Entry> decoded(std::string key, std::u32string_view value) {
    if (startsWith(value, "@@")) return Entry{std::move(key), utf8(value.substr(1)), false};
    if (!startsWith(value, "@")) return Entry{std::move(key), utf8(value), false};
    if (value.back() != U')') return Entry{std::move(key), utf8(value), false};
    if (startsWith(value, "@ByteArray(")) {
        // Each character is one byte, as the writer escaped it.
        std::string bytes;
        for (char32_t c : value.substr(11, value.size() - 12)) bytes += static_cast<char>(c <= 0xFF ? c : U'?');
        return Entry{std::move(key), std::move(bytes), true};
    }
    if (startsWith(value, "@String(")) return Entry{std::move(key), utf8(value.substr(8, value.size() - 9)), false};
    return std::nullopt;
}

} // namespace

std::vector<Entry> read(std::string_view text) {
    std::map<std::string, Entry> entries;
    std::string group;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            std::string name = unescapedKey(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            std::string lower = name;
            for (char& c : lower)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            group = name.empty() || lower == "general" ? std::string() : name + "/";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view rawKey = line.substr(0, equals);
        while (!rawKey.empty() && (rawKey.back() == ' ' || rawKey.back() == '\t')) rawKey.remove_suffix(1);
        if (rawKey.empty()) continue;
        std::string key = group + unescapedKey(rawKey);
        const std::u32string value = unescapedValue(line.substr(equals + 1));
        if (auto entry = decoded(key, value)) entries.insert_or_assign(key, std::move(*entry));
        else entries.erase(key);
    }
    std::vector<Entry> list;
    list.reserve(entries.size());
    for (auto& [key, entry] : entries) list.push_back(std::move(entry));
    return list;
}

} // namespace RorozErurEvo::SettingsText
