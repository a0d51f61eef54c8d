#pragma once
// Enumerations with raw string values. Each enum specialises EnumTable with its cases in
// declaration order; rawValue, fromRawValue and allCases then work for it.
//
//   template <> struct EnumTable<Verdict> {
//       static constexpr std::array entries{EnumEntry{Verdict::pass, "pass"}, ...};
//   };
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo {

template <class E> struct EnumEntry {
    E value;
    std::string_view raw;
};
template <class E> EnumEntry(E, const char*) -> EnumEntry<E>;

template <class E> struct EnumTable; // specialised per enumeration

template <class E> std::string rawValue(E value) {
    for (const auto& entry : EnumTable<E>::entries)
        if (entry.value == value) return std::string(entry.raw);
    return {};
}

template <class E> std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& entry : EnumTable<E>::entries)
        if (entry.raw == text) return entry.value;
    return std::nullopt;
}

template <class E> std::vector<E> allCases() {
    std::vector<E> cases;
    cases.reserve(EnumTable<E>::entries.size());
    for (const auto& entry : EnumTable<E>::entries) cases.push_back(entry.value);
    return cases;
}

// Position of a case in declaration order (0-based); -1 for a value outside the table.
template <class E> int caseIndex(E value) {
    int i = 0;
    for (const auto& entry : EnumTable<E>::entries) {
        if (entry.value == value) return i;
        ++i;
    }
    return -1;
}

} // namespace RorozErurEvo
