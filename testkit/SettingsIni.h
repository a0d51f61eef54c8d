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
    bool operator==(const Entry&) const = default;
};

// Lines of a section that the reader refused, as they stand in the file, under the header they
// stood under. Written back as they are, a person's hand edit that this reader does not
// understand is never lost.
struct KeptLines {
    // The name the writer gives the section (UTF-8, "" for the keys without one); absent when the
    // section's name could not be read, or is empty: no setting can be in such a section.
    std::optional<std::string> section;
    // The header line the lines stood under, as the file has it ("[General]" before any). A
    // section named by several headers ("[general]", "[General]") has a run of lines under each.
    std::string header;
    std::string lines;  // each line followed by "\n" ("\r" after an escaped "\r"), but an open one
    // The file's last line, left open by its end (a quote never closed, a backslash at the end):
    // whatever followed it would be read as part of it, so it is written last, as it stood.
    bool open = false;
    // The key whose value the open line takes away when it is read (UTF-8, "/" between groups);
    // empty when it names none (no "=", a key or section that cannot be read).
    std::string takesAway;
    bool operator==(const KeptLines&) const = default;
};

// The header the writer puts an open line under when, under its own, it would take away a
// setting written before it: a section with an empty name, whose keys no lookup finds (this
// reader refuses them, QSettings reads them as "/key").
inline constexpr std::string_view setAsideHeader = "[]";

// The line end written after a kept line or header `line`: "\n", but "\r" after an escaped
// carriage return, which a "\n" would make an escaped "\r\n" joining the next line to it.
std::string_view lineEndAfter(std::string_view line);

// The whole file, "\n" line ends; empty without entries or kept lines. No kept line is ever read
// as a setting, nor takes one away, and each comes back byte for byte, under the header it stood
// under, at every save (an open line set aside comes back under setAsideHeader from then on):
//   - each run of kept lines is written under the header it stood under, so its lines read in
//     the section they were read in;
//   - the settings of a section follow its kept lines, so that a setting still wins over a kept
//     line of its key; a key that a section with kept lines holds ("a/b/c" when "[a/b]" has some)
//     is written in that section, the last of those read that could hold it ("[a\b]" is read
//     after "[a]"), not in the section of its first part;
//   - the runs of sections without settings follow, in the order they were read;
//   - the open line comes last, under its own header, or under setAsideHeader when a setting of
//     the key it names is written.
// Without kept lines the text is QSettings' own, byte for byte.
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

// The longest key read, in UTF-16 units with its section ("group/name"): no setting comes near
// it, and a longer key's line is refused and kept as it stands. Unbounded, a long header over many
// lines would cost its length for each of them, in time and in memory: a damaged file of 1 MB
// could take gigabytes at start.
inline constexpr std::size_t longestKey = 256;

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
//   - a line without "=" that is not a comment;
//   - a key longer than longestKey.
// Any other byte that is not UTF-8 reads as U+FFFD, as in QSettings.
Contents read(std::string_view text);

} // namespace RorozErurEvo::SettingsIni
