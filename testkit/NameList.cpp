#include "testkit/NameList.h"

#include <algorithm>

#include "testkit/Fmt.h"

namespace RorozErurEvo::NameList {

namespace {
// The parts joined with `separator`, the last one after " and ".
std::string listed(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : separator;
        text += parts[i];
    }
    return text;
}

const char* separatorFor(const std::vector<std::string>& names) {
    const bool commas = std::any_of(names.begin(), names.end(),
                                    [](const std::string& name) { return name.find(',') != std::string::npos; });
    return commas ? "; " : ", ";
}
} // namespace

std::string joined(const std::vector<std::string>& names) { return listed(names, separatorFor(names)); }

std::string firstOf(const std::vector<std::string>& names, std::size_t most) {
    if (names.size() <= most) return joined(names);
    std::vector<std::string> shown(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(most));
    const char* separator = separatorFor(shown);
    shown.push_back(Fmt::trim(static_cast<double>(names.size() - most), 0) + " more");
    return listed(shown, separator);
}

std::string quoted(const std::vector<std::string>& names) {
    std::vector<std::string> marked;
    marked.reserve(names.size());
    for (const std::string& name : names) marked.push_back("\u201C" + name + "\u201D");
    return listed(marked, ", ");
}

} // namespace RorozErurEvo::NameList
