#pragma once
// UTF-8 and UTF-16 for the settings file's text, decoded exactly as QSettings decodes it, so that
// both read the same characters from the same bytes.
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo::SettingsIni::Unicode {

// Appends the UTF-16 units of `bytes` to `out`. Each byte that starts no valid sequence (a stray
// continuation byte, an overlong form such as C0 80, a surrogate, a code point past U+10FFFF)
// reads as one U+FFFD, and decoding goes on with the next byte. A sequence that the end of
// `bytes` cuts short reads the same way when `cutAllowed`; else decoding stops before it and
// false is returned.
bool decode(std::string_view bytes, std::u16string& out, bool cutAllowed = true);

// The UTF-8 of UTF-16 units; absent when a surrogate is not one of a pair.
std::optional<std::string> utf8(std::u16string_view units);

// The UTF-8 byte order mark, which QSettings drops where a key or a value's text begins.
inline constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

} // namespace RorozErurEvo::SettingsIni::Unicode
