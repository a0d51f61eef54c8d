#include "testkit/IconThemeLookup.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "testkit/BoundedFile.h"

namespace RorozErurEvo::IconThemeLookup {

namespace {

namespace fs = std::filesystem;

// An index.theme is a few kilobytes; a bigger one is not read.
constexpr std::uintmax_t indexLimit = 1024 * 1024;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (auto t = trimmed(item); !t.empty()) items.push_back(std::move(t));
    return items;
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

struct Theme {
    std::vector<fs::path> contentFolders;
    Index index;
    bool valid = false;
};

Theme open(const Search& search, const std::string& name) {
    Theme theme;
    for (const auto& base : search.themeFolders) {
        const fs::path folder = base / name;
        std::error_code error;
        if (!fs::is_directory(folder, error)) continue;
        theme.contentFolders.push_back(folder);
        if (theme.valid) continue;
        const auto content = BoundedFile::read(folder / "index.theme", indexLimit);
        if (!content.text) continue;
        theme.index = parseIndex(*content.text);
        theme.valid = true;
    }
    return theme;
}

std::vector<IconFile> findIn(const Search& search, const std::string& name, std::set<std::string>& visited) {
    if (!visited.insert(name).second) return {};
    const Theme theme = open(search, name);
    if (!theme.valid) return {};
    std::vector<IconFile> files;
    for (const auto& content : theme.contentFolders)
        for (const auto& folder : theme.index.folders) {
            const fs::path base = content / folder.path;
            // Most folders an index lists do not exist in every place the theme lives: one look at
            // the folder instead of one per ending.
            std::error_code error;
            if (!fs::is_directory(base, error)) continue;
            if (const auto png = base / (search.name + ".png"); isFile(png))
                files.push_back({png, folder.size, false});
            else if (const auto svg = base / (search.name + ".svg"); search.svg && isFile(svg))
                files.push_back({svg, folder.size, true});
            else if (const auto xpm = base / (search.name + ".xpm"); isFile(xpm))
                files.push_back({xpm, folder.size, false});
        }
    if (!files.empty()) return files;
    std::vector<std::string> parents = theme.index.inherits;
    std::erase(parents, std::string("hicolor"));
    if (parents.empty() && !search.fallbackTheme.empty()) parents.push_back(search.fallbackTheme);
    // Every theme falls back to hicolor last.
    parents.emplace_back("hicolor");
    for (const auto& parent : parents)
        if (auto found = findIn(search, parent, visited); !found.empty()) return found;
    return {};
}

} // namespace

Index parseIndex(const std::string& text) {
    Index index;
    // Folders in the order their groups come; a folder without a positive size is no folder.
    std::map<std::string, int> sizes;
    std::vector<std::string> order;
    std::string group;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (group == "Icon Theme" && key == "Inherits") {
            index.inherits = commaList(value);
        } else if (group != "Icon Theme" && key == "Size") {
            int size = 0;
            try {
                size = std::stoi(value);
            } catch (const std::exception&) {
            }
            if (size <= 0) continue;
            if (!sizes.contains(group)) order.push_back(group);
            sizes[group] = size;
        }
    }
    // The toolkit takes the folders in reverse order of name, which decides between folders of one
    // size and the order of the sizes handed to the window system.
    std::sort(order.begin(), order.end(), std::greater<>());
    for (const auto& path : order) index.folders.push_back({path, sizes[path]});
    return index;
}

std::vector<IconFile> find(const Search& search) {
    std::set<std::string> visited;
    if (!search.theme.empty())
        if (auto found = findIn(search, search.theme, visited); !found.empty()) return found;
    if (auto found = findIn(search, "hicolor", visited); !found.empty()) return found;
    for (const auto& folder : search.fallbackFolders)
        for (const char* ending : {".png", ".svg", ".xpm"}) {
            if (std::string(ending) == ".svg" && !search.svg) continue;
            if (const auto file = folder / (search.name + ending); isFile(file))
                return {{file, 0, std::string(ending) == ".svg"}};
        }
    return {};
}

} // namespace RorozErurEvo::IconThemeLookup
