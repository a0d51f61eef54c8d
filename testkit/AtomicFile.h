#pragma once
// Writing a whole file so that a reader sees the old contents or the new, never part of them:
// a temporary file in the same folder, flushed to the disk, then renamed over the old one.
// Sessions, exports, reports and the logo all go through here.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo::AtomicFile {

// Writes `data` as the whole of `target`, replacing what was there. A symbolic link is written
// through (its destination is replaced); an existing file keeps its permissions. Absent on
// success; else "could not <write|replace> “<target>”: <the system's description>", and the
// temporary file is gone. The folder must exist.
std::optional<std::string> write(const std::filesystem::path& target, std::string_view data);

// The temporary file beside a file named `name`: "." + name + "." + <random UUID> + ".tmp",
// hidden and never taken for the file itself by its extension.
std::string temporaryName(std::string_view name);
// The name of the file a temporary name of ours was made for; absent for any other name.
std::optional<std::string_view> temporaryTarget(std::string_view name);

} // namespace RorozErurEvo::AtomicFile
