#pragma once
// The settings file's round trip as the application makes it, save after save: the file read,
// one setting set or removed, the whole file written with the lines the reader kept, read again.
// Whatever the file holds, each save must give back every setting as it was set, the same
// refused lines under the same headers (an open last line set aside once, when it would take
// away a setting written before it), and written again unchanged, the same bytes. Shared by the
// seeded test and the fuzz target.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/SettingsIni.h"
#include "testkit/SettingsIniUnicode.h"

namespace SettingsIniRoundTrip {

namespace Ini = RorozErurEvo::SettingsIni;

using Values = std::map<std::string, Ini::Entry>;

inline Values byKey(const std::vector<Ini::Entry>& entries) {
    Values values;
    for (const Ini::Entry& entry : entries) values[entry.key] = entry;
    return values;
}

inline std::vector<Ini::Entry> entriesOf(const Values& values) {
    std::vector<Ini::Entry> entries;
    for (const auto& [key, entry] : values) entries.push_back(entry);
    return entries;
}

// A key's length in UTF-16 units, as the reader bounds it.
inline std::size_t utf16Length(std::string_view key) {
    std::u16string units;
    Ini::Unicode::decode(key, units);
    return units.size();
}

// Keys a save sets: the application's own, the file's, and those its refused lines name, as far
// as a setting could have them (no empty part, no longer than any key read; a NUL or half a
// surrogate pair is shown as U+FFFD).
inline std::vector<std::string> keysToSet(const Ini::Contents& contents) {
    std::vector<std::string> keys{"companyName", "companyContact", "defaultTechnician", "settingsTab",
                                  "trailSeconds", "showRawNumbers", "thresholds", "a/b/c", "a/b"};
    for (const Ini::Entry& entry : contents.entries) keys.push_back(entry.key);
    for (const Ini::Refusal& refusal : contents.refused) keys.push_back(refusal.key);
    for (const Ini::KeptLines& kept : contents.kept) keys.push_back(kept.takesAway);
    std::erase_if(keys, [](const std::string& key) {
        return key.empty() || key.front() == '/' || key.back() == '/' || key.find("//") != std::string::npos ||
               utf16Length(key) > Ini::longestKey;
    });
    return keys;
}

// A value the user may set: texts with the INI form's specials, or bytes.
inline Ini::Entry valueFor(const std::string& key, std::mt19937& random) {
    static const std::vector<std::string> texts{
        "", " ", "Acme, Inc", "Acme, @\"Inc", "a=b;c", "\"", "@Rect(1 2)", "@@x", "line\nbreak\r",
        "ends in a backslash\\", "caf\xC3\xA9 \xF0\x9F\x98\x80", "\xEF\xBB\xBF" "bom", "[General]\nx=1", "2.5"};
    if (random() % 5 == 0) return {key, std::string("\0\xff\x7f\\\"", 5), true};
    return {key, texts[random() % texts.size()], false};
}

// What a save may do to the kept lines: nothing, but set aside an open last line that would take
// away a setting written before it.
inline std::optional<std::string> keptFault(const std::vector<Ini::KeptLines>& before,
                                            const std::vector<Ini::KeptLines>& after, const Values& values) {
    const auto split = [](std::vector<Ini::KeptLines> kept) {
        std::optional<Ini::KeptLines> open;
        if (const auto it = std::find_if(kept.begin(), kept.end(), [](const auto& k) { return k.open; }); it != kept.end()) {
            open = *it;
            kept.erase(it);
        }
        return std::pair{kept, open};
    };
    const auto [lines, open] = split(before);
    const auto [linesAfter, openAfter] = split(after);
    if (linesAfter != lines) return "the kept lines or their headers changed";
    if (open.has_value() != openAfter.has_value()) return "the open last line came or went";
    if (!open || *openAfter == *open) return std::nullopt;
    const bool setAside = openAfter->lines == open->lines && openAfter->header == Ini::setAsideHeader &&
                          !openAfter->section && values.contains(open->takesAway);
    if (!setAside) return "the open last line changed";
    return std::nullopt;
}

// One save: `key` set (or removed), the file written and read again. Empty when sound.
inline std::string saveFault(const Ini::Contents& first, Values& values, std::vector<Ini::KeptLines>& kept,
                             const std::string& key, std::mt19937& random) {
    if (random() % 4 == 0) values.erase(key);
    else values[key] = valueFor(key, random);
    const std::string written = Ini::write(entriesOf(values), kept);
    const Ini::Contents again = Ini::read(written);
    const std::string where = " (key \"" + key + "\"), written:\n" + written;
    if (byKey(again.entries) != values) return "the settings read back are not those set" + where;
    if (again.refusedLines != first.refusedLines) return "the number of refused lines changed" + where;
    if (const auto fault = keptFault(kept, again.kept, values)) return *fault + where;
    if (Ini::write(again.entries, again.kept) != written) return "written again, the file changed" + where;
    kept = again.kept;
    return {};
}

// The first fault of `saves` saves of the file `text`, each setting one key chosen by `seed`;
// empty when there is none.
inline std::string fault(std::string_view text, std::uint32_t seed, int saves) {
    const Ini::Contents first = Ini::read(text);
    Values values = byKey(first.entries);
    std::vector<Ini::KeptLines> kept = first.kept;
    const std::vector<std::string> keys = keysToSet(first);
    std::mt19937 random(seed);
    for (int save = 1; save <= saves; ++save) {
        const std::string& key = keys[random() % keys.size()];
        if (std::string f = saveFault(first, values, kept, key, random); !f.empty())
            return "save " + std::to_string(save) + ": " + f;
    }
    return {};
}

} // namespace SettingsIniRoundTrip
