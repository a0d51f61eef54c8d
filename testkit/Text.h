#pragma once
// Small text helpers shared by the analyses and the records.
#include <string>

namespace RorozErurEvo {

// The text with A–Z turned into a–z; every other byte (UTF-8 included) is kept. Independent of
// the process locale, unlike std::tolower.
inline std::string lowercased(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace RorozErurEvo
