#pragma once
// The rows of the thresholds tab, in display order: which fields of Thresholds each row edits,
// with what kind of editor and unit. Every field has a row except minCoverage and soakMinutes,
// which edits carry through unchanged.
#include <array>
#include <span>

#include "testkit/Thresholds.h"

namespace Tessarine {

struct ThresholdRow {
    enum class Editor {
        limitPair,  // "warn" and "fail" percentages
        percent,    // one percentage
        value,      // one number with its unit
        ratePair,   // "warn" and "fail" plain numbers
        gate,       // the gate shape picker
    };
    using Field = double RorozErurEvo::Thresholds::*;

    int section;        // index into ThresholdRows::sections
    const char* label;
    Editor editor;
    Field first;        // the only field, or the warn field of a pair; null for the gate
    Field second;       // the fail field of a pair
    const char* key;    // the first field's name, naming the row's widgets
    const char* secondKey;
    const char* unit;   // a value row's unit text
};

namespace ThresholdRows {
// Section headers; the first is replaced by SettingsTexts::sticksHeader.
inline constexpr std::array<const char*, 6> sections{"Sticks", "Triggers", "Buttons, keys and mice", "Raw axes",
                                                     "Wheels, pedals and flight sticks", "Wireless soak"};
std::span<const ThresholdRow> all();
} // namespace ThresholdRows

} // namespace Tessarine
