#include "app/devices/ControllerMappings.h"

#include "app/devices/SdlLibrary.h"

#include <QStandardPaths>

#include <algorithm>

#include "testkit/BoundedFile.h"

namespace Tessarine::ControllerMappings {

std::vector<std::string> standardFiles() {
    // The user's folder first, then the system's in the order of $XDG_DATA_DIRS.
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    folders.removeDuplicates();
    std::vector<std::string> files;
    for (auto it = folders.crbegin(); it != folders.crend(); ++it)
        files.push_back((*it + QStringLiteral("/com.quenlow.Tessarine/gamecontrollerdb.txt")).toStdString());
    return files;
}

Files read(const std::vector<std::string>& paths, const std::function<bool()>& stopping) {
    Files files;
    for (const std::string& path : paths) {
        if (stopping && stopping()) break;
        auto content = RorozErurEvo::BoundedFile::read(path, maxBytes);
        if (content.text) {
            files.paths.push_back(path);
            files.texts.push_back(std::move(*content.text));
        } else if (!content.missing) {
            files.refused.emplace_back(path, content.error);
        }
    }
    return files;
}

RorozErurEvo::ControllerMappingText::Merged merge(const Files& files) {
    const std::vector<std::string_view> texts(files.texts.begin(), files.texts.end());
    return RorozErurEvo::ControllerMappingText::merge(texts, platform, maxMappings);
}

Outcome add(const SdlLibrary& sdl, std::string_view text, const std::function<bool()>& stopping) {
    Outcome outcome;
    while (!text.empty()) {
        if (stopping && stopping()) {
            outcome.stopped = true;
            break;
        }
        // A block ends after a line's end, so no mapping is cut in two.
        std::size_t size = std::min(text.size(), blockBytes);
        if (size < text.size()) {
            if (const std::size_t end = text.rfind('\n', size - 1); end != std::string_view::npos) {
                size = end + 1;
            } else {
                // One line longer than a block: handed over whole.
                const std::size_t next = text.find('\n', size);
                size = next == std::string_view::npos ? text.size() : next + 1;
            }
        }
        SDL_RWops* block = sdl.RWFromConstMem(text.data(), static_cast<int>(size));
        const int added = block ? sdl.GameControllerAddMappingsFromRW(block, 1) : -1;
        if (added > 0) outcome.added += added;
        text.remove_prefix(size);
    }
    return outcome;
}

} // namespace Tessarine::ControllerMappings
