#include "testkit/ControllerMappingText.h"

#include <unordered_set>
#include <utility>

#include "testkit/Text.h"

namespace RorozErurEvo::ControllerMappingText {

namespace {

// Whether SDL would take the line on `platform`.
bool forPlatform(std::string_view line, std::string_view platform) {
    constexpr std::string_view field = "platform:";
    const std::size_t at = line.find(field);
    if (at == std::string_view::npos) return false;
    const std::size_t from = at + field.size();
    const std::size_t comma = line.find(',', from);
    return comma != std::string_view::npos && equalIgnoringCase(line.substr(from, comma - from), platform);
}

struct Line {
    std::size_t file;
    std::string_view text;
};

} // namespace

Merged merge(const std::vector<std::string_view>& files, std::string_view platform, std::size_t cap) {
    Merged merged;
    merged.files.resize(files.size());
    // Every line for the platform, in file order.
    std::vector<Line> lines;
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::string_view text = files[f];
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (line.find('\0') != std::string_view::npos) {
                ++merged.files[f].skipped;
                continue;
            }
            if (line.empty() || line.front() == '#' || !forPlatform(line, platform)) continue;
            ++merged.files[f].mappings;
            lines.push_back(Line{f, line});
        }
    }
    // From the most important line back: the first met of each GUID is the one SDL would keep,
    // and the cap keeps the most important ones.
    std::unordered_set<std::string> guids;
    std::vector<bool> taken(lines.size(), false);
    for (std::size_t i = lines.size(); i-- > 0;) {
        std::string key = lowercased(std::string(lines[i].text.substr(0, lines[i].text.find(','))));
        if (guids.contains(key)) {
            ++merged.replaced;
        } else if (guids.size() >= cap) {
            ++merged.leftOut;
        } else {
            guids.insert(std::move(key));
            taken[i] = true;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!taken[i]) continue;
        merged.text.append(lines[i].text);
        merged.text += '\n';
        ++merged.mappings;
    }
    return merged;
}

} // namespace RorozErurEvo::ControllerMappingText
