#pragma once
// Small text helpers shared by the analyses and the records.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

namespace RorozErurEvo {

// The text with A–Z turned into a–z; every other byte (UTF-8 included) is kept. Independent of
// the process locale, unlike std::tolower.
inline char lowercased(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline std::string lowercased(std::string text) {
    for (char& c : text) c = lowercased(c);
    return text;
}

// Whether the texts are the same but for the case of A–Z, as lowercased() sees case.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lowercased(x) == lowercased(y); });
}

// Whether any of the keywords occurs in the text (plain substring search, case as given).
inline bool containsAny(std::string_view text, std::initializer_list<std::string_view> keywords) {
    return std::any_of(keywords.begin(), keywords.end(),
                       [&](std::string_view keyword) { return text.find(keyword) != std::string_view::npos; });
}

} // namespace RorozErurEvo
