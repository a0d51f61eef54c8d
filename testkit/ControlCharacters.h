#pragma once
// Control characters in text that came from outside (a file, a device, a peer), shown rather than
// obeyed: a log line must stay one line, and a terminal that shows the log must not take an
// escape sequence from a device's name as an order.
#include <string>
#include <string_view>

namespace RorozErurEvo::ControlCharacters {

// Whether the UTF-8 `text` holds a control character: U+0000–U+001F, U+007F, U+0080–U+009F, or
// the line and paragraph separators U+2028 and U+2029, which some viewers break lines at.
bool held(std::string_view text);

// `text` with each control character written out: "\n", "\r" and "\t" as such, the others below
// U+0080 as "\x1b", and the rest as "\u0085". Everything else, bytes that are no UTF-8 included,
// stays as it is.
std::string escaped(std::string_view text);

} // namespace RorozErurEvo::ControlCharacters
