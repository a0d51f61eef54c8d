#pragma once
// Game-controller mapping files ("gamecontrollerdb.txt", the community's format): where they are
// looked for, and how one is handed to SDL.
//
// A file is read through the bounded reader (a regular file of at most maxBytes), so a pipe, a
// device or a huge file in its place can neither stop the controller thread nor fill the memory,
// and SDL is given the text from memory, never the path. It is given a block of lines at a time,
// and the caller can stop between two blocks: a long file never holds up Quit.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Tessarine {
struct SdlLibrary;
}

namespace Tessarine::ControllerMappings {

// Largest mapping file read, bytes: the community's file for every platform is about 600 kB.
inline constexpr std::uintmax_t maxBytes = 4u * 1024 * 1024;
// Bytes of whole lines handed to SDL at a time.
inline constexpr std::size_t blockBytes = 64 * 1024;

// The mapping files, least important first: "com.quenlow.Tessarine/gamecontrollerdb.txt" in each
// system data folder ($XDG_DATA_DIRS, the last listed first), then in the user's own
// ($XDG_DATA_HOME). A later file's mapping of a controller replaces an earlier one's, so a shop
// can ship one file for every account of a bench computer and each user can still add to it.
std::vector<std::string> standardFiles();

struct Outcome {
    int added = 0;                      // mappings SDL took that it did not have
    bool missing = false;               // no file there: nothing to do, nothing to say
    bool stopped = false;               // `stopping` said so before the whole file was handed over
    std::optional<std::string> refused; // why the file was not read, for the log and the user
};

// Reads the file and adds its mappings for this platform to SDL. SDL's thread only.
Outcome load(const SdlLibrary& sdl, const std::string& path, const std::function<bool()>& stopping);

// The same for text already read (the blocks are handed over as they are).
Outcome add(const SdlLibrary& sdl, std::string_view text, const std::function<bool()>& stopping);

} // namespace Tessarine::ControllerMappings
