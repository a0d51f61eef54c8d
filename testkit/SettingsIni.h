#pragma once
// The text of the user's settings file, in QSettings' INI form and byte for byte as QSettings
// writes it: a "[General]" section with one "key=value" line per setting (a key "group/name" in a
// section "[group]" of its own), keys in the order of their UTF-16 units (byte order for ASCII
// keys). Keys and values are escaped as QSettings escapes them, so that QSettings and this reader
// read every file alike:
//   keys:   letters, digits, "_", "-" and "." as they are, "/" as "\", every other character
//           as "%XX" up to U+00FF and as "%UXXXX" above (each UTF-16 unit of it);
//   values: backslash escapes for quotes, backslashes and control characters, quotes around a
//           value with a comma, semicolon or equals sign or blanks at either end, a text
//           starting with "@" doubled to "@@", and byte strings as "@ByteArray(…)" with every
//           byte above 0x7E written as "\xNN".
// Text is never written with a NUL (it is dropped), as a NUL never reaches a setting.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo::SettingsIni {

struct Entry {
    std::string key;   // UTF-8; "/" separates groups
    std::string value; // UTF-8 text, or raw bytes when `bytes`
    bool bytes = false;
};

// Lines of a section that the reader refused, as they stand in the file. Written back as they
// are, a person's hand edit that this reader does not understand is never lost.
struct KeptLines {
    // The name the writer gives the section (UTF-8, "" for the keys without one); absent when the
    // section's name could not be read.
    std::optional<std::string> section;
    std::string header; // the section's header line as the file has it ("[General]" before any)
    std::string lines;  // each line followed by "\n" ("\r" after an escaped "\r"), but an open one
    // The file's last line, left open by its end (a quote never closed, a backslash at the end):
    // whatever followed it would be read as part of it, so it is written last, as it stood.
    bool open = false;
};

// The line end written after a kept line or header `line`: "\n", but "\r" after an escaped
// carriage return, which a "\n" would make an escaped "\r\n" joining the next line to it.
std::string_view lineEndAfter(std::string_view line);

// The whole file, "\n" line ends; empty without entries or kept lines. The kept lines go to the
// start of the section of their name, before its settings, so that a setting given after them
// in the file, or set since, still wins when the file is read again; those of a section no
// setting is in follow in a section of their own, under their header as it stood.
std::string write(std::vector<Entry> entries, const std::vector<KeptLines>& kept = {});

// A line the reader did not take, and why.
struct Refusal {
    std::size_t line = 0; // 1-based line of the file where the entry starts
    std::string key;      // as far as it could be read; empty when it could not
    std::string cause;
};

// Refused lines listed, the earliest in the file: a file that is no settings file at all (a
// binary one saved in its place) would otherwise list hundreds of thousands.
inline constexpr std::size_t mostRefusalsListed = 20;

struct Contents {
    std::vector<Entry> entries;   // in key order
    std::vector<Refusal> refused; // the earliest refused lines, at most mostRefusalsListed, in line order
    std::size_t refusedLines = 0; // every line refused, listed or not
    std::vector<KeptLines> kept;  // every refused line, by section, in the order the sections are read
};

// The entries of a file's text, read as QSettings reads them: sections (another section's keys
// as "section/key"), comments, quotes (which may span lines), escapes, a backslash before a line
// break joining two lines, "@@" read as "@", byte strings as bytes; a key given twice keeps its
// last value. One rule departs from QSettings: a value with a comma outside quotes reads as the
// text as typed, commas, blanks and all ("Acme, Inc"), where QSettings reads a list of its items.
// What QSettings would read as something no setting of this application holds, or
// would read leniently, is refused (counted in `refusedLines`, and said in `refused` when it is
// among the earliest), kept as it stands (`kept`), and it takes away any earlier value of its key
// as QSettings' reading would:
//   - a text or key holding a NUL (QSettings keeps it, a setting never does) or half of a UTF-16
//     surrogate pair;
//   - values of other types ("@Variant(…)", "@Rect(…)", "@Invalid()" and the like), and a list
//     (a comma outside quotes) with an item that starts with "@";
//   - a UTF-8 sequence cut off by a quote, an escape, a comma or the end of the value (QSettings
//     joins or drops its parts);
//   - a "%" in a key followed by what QSettings reads leniently as a number (" 1", "+1", "0x1F");
//   - a key with an empty part ("[]" sections, "a//b"), which QSettings cannot look up;
//   - a line without "=" that is not a comment.
// Any other byte that is not UTF-8 reads as U+FFFD, as in QSettings.
Contents read(std::string_view text);

} // namespace RorozErurEvo::SettingsIni
