#pragma once
// The text of the user's settings file, in the INI form the file has always had: a "[General]"
// section with one "key=value" line per setting, keys in byte order. Values are escaped the way
// the settings reader expects, so that every value reads back exactly as it was written:
// backslash escapes for quotes, backslashes and control characters, quotes around a value with
// a comma, semicolon or equals sign or blanks at either end, a text starting with "@" doubled
// to "@@", a text holding a NUL as "@String(…)", and byte strings as "@ByteArray(…)" with every
// byte above 0x7E written as "\xNN".
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo::SettingsText {

struct Entry {
    std::string key;   // letters, digits, "_", "-", "." and "/" are kept; anything else is %-escaped
    std::string value; // UTF-8 text, or raw bytes when `bytes`
    bool bytes = false;
};

// The whole file, "\n" line ends; empty without entries.
std::string write(std::vector<Entry> entries);

// The entries of a file's text, read by the settings reader's rules: the "[General]" section's
// keys by name and another section's as "section/key", each value unescaped and unquoted, byte
// strings as bytes, "@@" read as "@". Blank lines, comments (from a ";" outside quotes), lines
// without "=" and values of forms this application never writes ("@Variant(…)" and the like)
// are skipped. A list (commas outside quotes) reads as its whole text. A key given twice keeps
// its last value.
std::vector<Entry> read(std::string_view text);

} // namespace RorozErurEvo::SettingsText
