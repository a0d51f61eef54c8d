#pragma once
// Game-controller mapping files ("gamecontrollerdb.txt", the community's format): where they are
// looked for, how they are read, and how their mappings are handed to SDL.
//
// Every file is read through the bounded reader (a regular file of at most maxBytes), so a pipe,
// a device or a huge file in its place can neither stop the controller thread nor fill the
// memory. SDL is given the text from memory, never a path, and only what it would keep of all
// the files together (testkit/ControllerMappingText): no line holding a NUL, one mapping of each
// GUID (the later file's), and at most maxMappings in all, the more important files' first, as
// SDL's work grows with the square of the mappings it is given. It is given a block of lines at
// a time, and the caller can stop between two blocks: a long text never holds up Quit.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testkit/ControllerMappingText.h"

namespace Tessarine {
struct SdlLibrary;
}

namespace Tessarine::ControllerMappings {

// Largest mapping file read, bytes: the community's file for every platform is about 600 kB.
inline constexpr std::uintmax_t maxBytes = 4u * 1024 * 1024;
// Most mappings given to SDL from all the files together. Adding a mapping walks every one SDL
// holds: 4,000 take SDL 0.14 s and 16,000 2.1 s (SDL 2.26, measured on a loaded 8-core bench
// machine), so controllers still come within a second of the start. The community's database
// holds far fewer for Linux.
inline constexpr std::size_t maxMappings = 4000;
// Bytes of whole lines handed to SDL at a time.
inline constexpr std::size_t blockBytes = 64 * 1024;
// The platform SDL compares the lines' platform fields with (SDL_GetPlatform()).
inline constexpr std::string_view platform = "Linux";

// The mapping files, least important first: "com.quenlow.Tessarine/gamecontrollerdb.txt" in each
// system data folder ($XDG_DATA_DIRS, the last listed first), then in the user's own
// ($XDG_DATA_HOME). A later file's mapping of a controller replaces an earlier one's, so a shop
// can ship one file for every account of a bench computer and each user can still add to it.
std::vector<std::string> standardFiles();

// What was read of the files named, least important first.
struct Files {
    std::vector<std::string> paths;                                  // the files read
    std::vector<std::string> texts;                                  // their texts, alike
    std::vector<std::pair<std::string, std::string>> refused;        // path and why it was not read
};
// A missing file is no fault and left out. `stopping` is asked between two files.
Files read(const std::vector<std::string>& paths, const std::function<bool()>& stopping);

// The mappings SDL is given from `files` (ControllerMappingText::merge, for this platform and
// up to maxMappings).
RorozErurEvo::ControllerMappingText::Merged merge(const Files& files);

struct Outcome {
    int added = 0;        // mappings SDL took that it did not have
    bool stopped = false; // `stopping` said so before the whole text was handed over
};

// Adds the mappings of `text` (whole lines) to SDL, a block at a time. SDL's thread only.
Outcome add(const SdlLibrary& sdl, std::string_view text, const std::function<bool()>& stopping);

} // namespace Tessarine::ControllerMappings
