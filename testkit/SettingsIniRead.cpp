// Reading the settings file's text as QSettings reads it: the inverse of SettingsIni::write,
// and of QSettings itself, which may have written the file or read it after us.
#include "testkit/SettingsIni.h"

#include <algorithm>
#include <deque>
#include <map>
#include <optional>
#include <utility>

#include "testkit/SettingsIniUnicode.h"
#include "testkit/Text.h"

namespace RorozErurEvo::SettingsIni {

namespace {

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The blanks QSettings trims from keys and section names (C's isspace).
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// ---- lines

// One entry of the file: a line, or several joined by quotes that span line breaks or by a
// backslash before a line break.
struct Line {
    std::size_t start = 0;
    std::string_view text;
    std::size_t equals = std::string_view::npos; // the "=" outside quotes that ends the key
    // Left open by the end of the file: a quote not closed, or a backslash (with the line break
    // it joins) as its last character. Anything written after it would be read as part of it.
    bool open = false;
};

// The next entry from `at` on, or nothing at the end. Blanks and line breaks before it are
// skipped, a comment (";" where an entry would start) runs to the line's end, a ";" outside
// quotes ends the entry (the rest of that line is the next comment).
std::optional<Line> nextLine(std::string_view data, std::size_t& at) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t start = at;
    while (start < data.size() && blank(data[start])) ++start;
    std::size_t i = start;
    bool quoted = false;
    bool escapedToEnd = false;
    std::size_t equals = std::string_view::npos;
    while (i < data.size()) {
        const char c = data[i++];
        escapedToEnd = false;
        if (c == '=') {
            if (!quoted && equals == std::string_view::npos) equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (!quoted) {
                --i;
                break;
            }
        } else if (c == '\\') {
            // The next character is taken as it is; "\r\n" and "\n\r" count as one.
            if (i < data.size()) {
                const char next = data[i++];
                if (i < data.size() && ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n'))) ++i;
            }
            escapedToEnd = i >= data.size();
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
                while (i < data.size() && blank(data[i])) ++i;
                start = i;
            } else if (!quoted) {
                --i;
                break;
            }
        }
    }
    at = i;
    if (i == start) return std::nullopt;
    return Line{start, data.substr(start, i - start), equals == std::string_view::npos ? equals : equals - start,
                i >= data.size() && (quoted || escapedToEnd)};
}

// ---- keys

struct Key {
    std::u16string units;
    std::string refused; // why it cannot be read; empty when it can
};

bool isAsciiAlphanumeric(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A key or section name: UTF-8, a backslash for "/", "%XX" and "%UXXXX" for UTF-16 units. A "%"
// that starts no escape stays itself, as in QSettings, unless QSettings would read what follows
// leniently as a number (blanks, a sign, "0x"): that key is refused.
Key unescapedKey(std::string_view raw) {
    Key key;
    if (raw.starts_with(Unicode::byteOrderMark)) raw.remove_prefix(Unicode::byteOrderMark.size());
    std::u16string text;
    Unicode::decode(raw, text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == '\\') {
            key.units += u'/';
            continue;
        }
        if (c != '%' || i + 1 == text.size()) {
            key.units += c;
            continue;
        }
        const std::size_t first = text[i + 1] == 'U' ? i + 2 : i + 1;
        const std::size_t digits = text[i + 1] == 'U' ? 4 : 2;
        if (first + digits > text.size()) {
            key.units += c;
            continue;
        }
        const std::u16string_view number(text.data() + first, digits);
        if (std::all_of(number.begin(), number.end(), [](char16_t d) { return hexValue(d) >= 0; })) {
            char16_t unit = 0;
            for (char16_t d : number) unit = static_cast<char16_t>(unit * 16 + hexValue(d));
            key.units += unit;
            i = first + digits - 1;
        } else if (std::all_of(number.begin(), number.end(),
                               [](char16_t d) { return isAsciiAlphanumeric(d) && d != 'x' && d != 'X'; })) {
            key.units += c; // no number at all
        } else {
            key.refused = "a \u201C%\u201D in the key is followed by a number in a loose form";
            return key;
        }
    }
    return key;
}

// ---- values

struct Value {
    std::u16string units;
    bool list = false;      // a comma outside quotes
    bool typedItem = false; // an item of a list starts with "@"
    bool cut = false;       // a UTF-8 sequence cut off by a quote, an escape, a comma or the end
};

// Resolves the escape whose backslash is at s[i - 1], moving `i` past it: "\x" and octal ones to
// one UTF-16 unit, wrapping as QSettings' do; an unknown one, or "\x" without digits, is
// dropped, and a line break after the backslash too ("\r\n" and "\n\r" as one). False when the
// escape ran to the value's end, where QSettings trims nothing.
bool resolvedEscape(std::string_view s, std::size_t& i, std::u16string& out) {
    if (i >= s.size()) return false;
    const char e = s[i++];
    constexpr std::string_view plain = "abfnrtv\"?'\\", meaning = "\a\b\f\n\r\t\v\"?'\\";
    if (const std::size_t at = plain.find(e); at != std::string_view::npos) {
        out += static_cast<char16_t>(meaning[at]);
    } else if ((e == 'x' && i < s.size() && hexValue(static_cast<unsigned char>(s[i])) >= 0) || (e >= '0' && e <= '7')) {
        const int base = e == 'x' ? 16 : 8;
        char16_t unit = e == 'x' ? 0 : static_cast<char16_t>(e - '0');
        const auto digit = [&](char d) { return base == 16 ? hexValue(static_cast<unsigned char>(d)) : d >= '0' && d <= '7' ? d - '0' : -1; };
        while (i < s.size() && digit(s[i]) >= 0) unit = static_cast<char16_t>(unit * base + digit(s[i++]));
        out += unit;
        if (i >= s.size()) return false;
    } else if (e == 'x' && i >= s.size()) {
        return false;
    } else if (e == '\n' || e == '\r') {
        if (i < s.size() && (s[i] == '\n' || s[i] == '\r') && s[i] != e) ++i;
    }
    return true;
}

// The value's characters: quotes removed (they may span commas, semicolons and line breaks),
// escapes resolved, blanks before the value and after it outside quotes trimmed. QSettings drops
// a byte order mark that opens the first run of plain text.
//
// A comma outside quotes stays in the text as the user typed it, with the blanks beside it:
// "Acme, Inc" reads as "Acme, Inc". QSettings reads such a value as a list of its items (each
// trimmed of blanks outside quotes), which no setting of this application holds; a person who
// types a company's name types its commas as text.
Value unescapedValue(std::string_view s) {
    Value v;
    std::u16string& out = v.units;
    bool quoted = false;
    bool wasQuoted = false; // the value's last item has quotes: its blanks stay
    bool firstRun = true;
    bool trim = true;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    };
    skipBlanks();
    std::size_t keep = 0; // trailing blanks are trimmed back to here at the most
    std::size_t item = 0; // where the last item starts in `out`
    const auto itemOpensTyped = [&] { return item < out.size() && out[item] == u'@'; };
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\') {
            ++i;
            trim = resolvedEscape(s, i, out);
            if (!trim) break;
            keep = out.size();
        } else if (c == '"') {
            ++i;
            wasQuoted = true;
            quoted = !quoted;
            if (!quoted) {
                skipBlanks();
                keep = out.size();
            }
        } else if (c == ',' && !quoted) {
            v.list = true;
            v.typedItem |= itemOpensTyped();
            out += u',';
            keep = out.size();
            for (++i; i < s.size() && (s[i] == ' ' || s[i] == '\t'); ++i) out += static_cast<char16_t>(s[i]);
            item = out.size();
            wasQuoted = false;
        } else {
            std::size_t end = i + 1;
            while (end < s.size() && s[end] != '\\' && s[end] != '"' && s[end] != ',') ++end;
            std::string_view run = s.substr(i, end - i);
            if (firstRun && run.starts_with(Unicode::byteOrderMark)) run.remove_prefix(Unicode::byteOrderMark.size());
            firstRun = false;
            // A sequence cut by a comma is read by QSettings as parts of two items.
            if (!Unicode::decode(run, out, false)) {
                v.cut = true;
                return v;
            }
            i = end;
        }
    }
    if (trim && !wasQuoted)
        while (out.size() > keep && (out.back() == u' ' || out.back() == u'\t')) out.pop_back();
    v.typedItem |= v.list && itemOpensTyped();
    return v;
}

bool startsWith(std::u16string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

// What a value holds: text or bytes, or why no setting of this application could hold it.
struct Decoded {
    std::optional<Entry> entry;
    std::string refused;
};

Decoded text(std::string key, std::u16string_view units) {
    if (units.find(u'\0') != std::u16string_view::npos) return {std::nullopt, "the text holds a NUL character"};
    auto utf8 = Unicode::utf8(units);
    if (!utf8) return {std::nullopt, "the text holds half of a UTF-16 surrogate pair"};
    return {Entry{std::move(key), std::move(*utf8), false}, {}};
}

Decoded decoded(std::string key, const Value& value) {
    // QSettings reads a list whose item starts with "@" as values of other types, or "@@" as "@".
    if (value.typedItem) return {std::nullopt, "the value is a list (a comma outside quotes) with an item that starts with \u201C@\u201D"};
    if (value.cut) return {std::nullopt, "a UTF-8 sequence in the value is cut off"};
    const std::u16string_view s = value.units;
    if (startsWith(s, "@") && s.ends_with(u')')) {
        if (startsWith(s, "@ByteArray(")) {
            // Each character is one byte, as the writer escaped it; QSettings makes the others "?".
            std::string bytes;
            for (char16_t c : s.substr(11, s.size() - 12)) bytes += static_cast<char>(c <= 0xFF ? c : u'?');
            return {Entry{std::move(key), std::move(bytes), true}, {}};
        }
        if (startsWith(s, "@String(")) return text(std::move(key), s.substr(8, s.size() - 9));
        for (const char* other : {"@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point(", "@Invalid()"})
            if (startsWith(s, other)) return {std::nullopt, "the value is of a type no setting has"};
    }
    return text(std::move(key), startsWith(s, "@@") ? s.substr(1) : s);
}

// ---- the file

// A section's name as the prefix of its keys: none for "General" (in any case), the name itself
// for "%General", else its unescaped name and "/".
Key sectionPrefix(std::string_view header) {
    const std::size_t close = header.find(']');
    const std::string_view name = trimmed(header.substr(1, close == std::string_view::npos ? close : close - 1));
    if (equalIgnoringCase(name, "general")) return {};
    if (equalIgnoringCase(name, "%general")) return {std::u16string(name.begin() + 1, name.end()) + u'/', {}};
    Key prefix = unescapedKey(name);
    prefix.units += u'/';
    return prefix;
}

// Where an entry's line starts, counting "\n", "\r\n" and a lone "\r" as line ends.
struct LineCounter {
    std::string_view data;
    std::size_t at = 0;
    std::size_t line = 1;
    std::size_t lineOf(std::size_t position) { // positions in increasing order
        for (; at < position; ++at)
            if (data[at] == '\n' || (data[at] == '\r' && (at + 1 >= data.size() || data[at + 1] != '\n'))) ++line;
        return line;
    }
};

// A line of a section, with its line number and the header it stands under as the file has it
// ("[General]" before any header): a section met twice is named by each of its headers.
struct SectionLine {
    std::size_t number = 0;
    Line line;
    std::string_view header;
};

struct Section {
    Key prefix;
    std::vector<SectionLine> lines;
};

// How much of such a key the refusal shows.
constexpr std::size_t shownOfLongKey = 60;

// The key as text for a refusal, as far as it goes.
std::string shown(std::u16string_view units) {
    std::u16string safe(units);
    for (char16_t& c : safe)
        if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) c = u'\uFFFD';
    return Unicode::utf8(safe).value_or(std::string());
}

// A refused key with its section as the refusal names it: its start and "…" when it is longer
// than any key read, as a damaged line may be a megabyte long and the refusal is logged and told.
std::string shownKey(std::u16string_view prefix, std::u16string_view key) {
    if (prefix.size() + key.size() <= longestKey) return shown(std::u16string(prefix) + std::u16string(key));
    std::u16string start(prefix.substr(0, shownOfLongKey));
    start += key.substr(0, shownOfLongKey - start.size());
    return shown(start) + "…";
}

// The file's entries by section. A section met twice is taken as one, and the sections are read
// in the order of their names, so that of two entries naming one key the one in the later
// section wins; a section whose name cannot be read keeps its lines apart, to be refused.
struct Sections {
    std::map<std::u16string, Section> named;
    std::deque<Section> refused;
};

Sections gatheredSections(std::string_view text) {
    // QSettings looks for section headers after a byte order mark at the file's start, but reads
    // the entries before the first header from the file's first byte: a key there keeps the
    // blanks after the mark, and a second mark.
    const std::size_t headersFrom = text.starts_with(Unicode::byteOrderMark) ? Unicode::byteOrderMark.size() : 0;
    Sections sections;
    LineCounter counter{text};
    Section* current = &sections.named[std::u16string()];
    std::string_view header = "[General]";
    std::size_t sectionStart = 0;
    const auto takeLines = [&](std::size_t end) {
        std::size_t at = sectionStart;
        const std::string_view data = text.substr(0, end);
        while (const auto line = nextLine(data, at))
            current->lines.push_back(SectionLine{counter.lineOf(line->start), *line, header});
    };
    std::size_t at = headersFrom;
    while (const auto line = nextLine(text, at)) {
        if (!line->text.starts_with('[')) continue;
        takeLines(line->start);
        Key prefix = sectionPrefix(line->text);
        header = line->text;
        if (!prefix.refused.empty()) {
            current = &sections.refused.emplace_back(Section{std::move(prefix), {}});
        } else {
            current = &sections.named[prefix.units];
            current->prefix = std::move(prefix);
        }
        sectionStart = at;
    }
    takeLines(text.size());
    return sections;
}

// The entries read so far, and the lines refused. Every refused line is counted; only the
// earliest ones are listed, kept as a heap with the latest of them on top.
class Reading {
public:
    // Counts a refused line; true when it is among the earliest so far, to be listed. Asked
    // first, so that a line that will not be listed costs no texts.
    bool listed(std::size_t line) {
        ++contents_.refusedLines;
        return contents_.refused.size() < mostRefusalsListed || line < contents_.refused.front().line;
    }

    void refuse(std::size_t line, std::string key, std::string cause) {
        auto& refused = contents_.refused;
        refused.push_back(Refusal{line, std::move(key), std::move(cause)});
        std::push_heap(refused.begin(), refused.end(), byLine);
        if (refused.size() > mostRefusalsListed) {
            std::pop_heap(refused.begin(), refused.end(), byLine);
            refused.pop_back();
        }
    }

    // How a line was read: as an entry, or refused, when it may take away its key's value.
    struct Verdict {
        bool refused = false;
        std::string takesAway; // the key whose earlier value the refused line takes away, if any
    };

    // One line of the section whose keys start with `prefix`.
    Verdict read(const std::u16string& prefix, std::size_t number, const Line& line) {
        if (line.equals == std::string_view::npos) {
            // The byte order mark that starts a file is read again as a line of its own.
            if (line.text.starts_with(';') || trimmed(line.text) == Unicode::byteOrderMark) return {};
            if (listed(number)) refuse(number, {}, "the line has no \u201C=\u201D");
            return {true, {}};
        }
        const std::string_view rawKey = trimmed(line.text.substr(0, line.equals));
        const Key key = unescapedKey(rawKey);
        if (!key.refused.empty()) {
            if (!listed(number)) return {true, {}};
            std::u16string raw;
            Unicode::decode(rawKey, raw);
            refuse(number, shownKey(prefix, raw), key.refused);
            return {true, {}};
        }
        if (prefix.size() + key.units.size() > longestKey) {
            // Checked before the name is built, which would cost the header's length per line.
            if (listed(number))
                refuse(number, shownKey(prefix, key.units),
                       "the key is longer than " + std::to_string(longestKey) + " characters");
            return {true, {}};
        }
        const std::u16string full = prefix + key.units;
        const auto name = Unicode::utf8(full);
        std::string cause = keyRefusal(full, name.has_value());
        Verdict verdict{true, {}};
        if (cause.empty()) {
            Decoded value = decoded(*name, unescapedValue(line.text.substr(line.equals + 1)));
            if (value.entry) {
                entries_.insert_or_assign(*name, std::move(*value.entry));
                return {};
            }
            cause = std::move(value.refused);
            entries_.erase(*name); // QSettings' reading of this line replaces any earlier one
            verdict.takesAway = *name;
        }
        if (listed(number)) refuse(number, shown(full), std::move(cause));
        return verdict;
    }

    // Keeps a refused line of `section` as it stands, for the writer to write back under the
    // header it stands under: the lines under one header in a row make one run.
    void keep(const Section& section, bool named, const SectionLine& taken, std::string takesAway) {
        std::vector<KeptLines>& kept = contents_.kept;
        const std::string_view text = taken.line.text;
        if (taken.line.open) {
            // Only the file's last line can be left open; it is written last again.
            kept.push_back(KeptLines{sectionName(section, named), std::string(taken.header), std::string(text), true,
                                     std::move(takesAway)});
            return;
        }
        // The lines under one header in the file share its text: the texts are compared only at
        // another header, so a long header over many lines is not read again for each of them.
        const bool sameRun = keptFrom_ == &section && !kept.back().open &&
                             (taken.header.data() == keptUnder_.data() || kept.back().header == taken.header);
        if (!sameRun) {
            kept.push_back(KeptLines{sectionName(section, named), std::string(taken.header), {}, false, {}});
            keptFrom_ = &section;
        }
        keptUnder_ = taken.header;
        kept.back().lines.append(text).append(lineEndAfter(text));
    }

    Contents contents() && {
        std::sort_heap(contents_.refused.begin(), contents_.refused.end(), byLine);
        contents_.entries.reserve(entries_.size());
        for (auto& [key, entry] : entries_) contents_.entries.push_back(std::move(entry));
        return std::move(contents_);
    }

private:
    static bool byLine(const Refusal& a, const Refusal& b) { return a.line < b.line; }

    // The name the writer gives the section: its keys' prefix without the last "/".
    static std::optional<std::string> sectionName(const Section& section, bool named) {
        const std::u16string& prefix = section.prefix.units;
        // A section named "[]" or "[ ]" is not "[General]": its lines, whose keys read with an
        // empty section, stay under their own header rather than join the settings without one.
        if (!named || prefix == u"/") return std::nullopt;
        return Unicode::utf8(std::u16string_view(prefix).substr(0, prefix.empty() ? 0 : prefix.size() - 1));
    }

    // Why a whole key cannot be a setting's: QSettings cannot look up a key with an empty part,
    // and keeps no NUL in a key. Empty when it can.
    static std::string keyRefusal(const std::u16string& full, bool utf8) {
        const bool emptyPart = full.empty() || full.front() == u'/' || full.back() == u'/' ||
                               full.find(u"//") != std::u16string::npos;
        if (emptyPart) return "the key or its section has no name";
        if (full.find(u'\0') != std::u16string::npos) return "the key holds a NUL character";
        if (!utf8) return "the key holds half of a UTF-16 surrogate pair";
        return {};
    }

    std::map<std::string, Entry> entries_;
    Contents contents_;
    const Section* keptFrom_ = nullptr; // the section of the last lines kept
    std::string_view keptUnder_;        // the header in the file the last lines kept stood under
};

} // namespace

Contents read(std::string_view text) {
    Sections sections = gatheredSections(text);
    Reading reading;
    for (const Section& section : sections.refused) {
        for (const SectionLine& taken : section.lines) {
            if (taken.line.equals == std::string_view::npos) {
                if (reading.read({}, taken.number, taken.line).refused) reading.keep(section, false, taken, {});
                continue;
            }
            if (reading.listed(taken.number))
                reading.refuse(taken.number, {}, section.prefix.refused + " (the section's name)");
            reading.keep(section, false, taken, {});
        }
    }
    for (const auto& [name, section] : sections.named)
        for (const SectionLine& taken : section.lines)
            if (auto verdict = reading.read(section.prefix.units, taken.number, taken.line); verdict.refused)
                reading.keep(section, true, taken, std::move(verdict.takesAway));
    return std::move(reading).contents();
}

} // namespace RorozErurEvo::SettingsIni
