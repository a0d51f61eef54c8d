#pragma once
// The lines of game-controller mapping files ("gamecontrollerdb.txt", the community's format) that
// SDL is given, worked out before SDL sees any of them.
//
// A line is "GUID,name,mapping…,platform:Linux," and SDL takes it only when its platform field
// names the platform it runs on. SDL reads a block of text as a C string, so a NUL byte would cut
// off every later line of the block; and it adds each mapping by walking every one it holds, so
// its work grows with the square of the mappings given. Hence: a line holding a NUL is skipped
// and counted; of the lines that map one GUID only the one SDL would keep is given (the last, the
// more important file's over the less important's); and no more than a cap in all, the more
// important files' first.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace RorozErurEvo::ControllerMappingText {

// What one file held.
struct FileCount {
    std::size_t mappings = 0; // lines for this platform
    std::size_t skipped = 0;  // lines holding a NUL byte
};

struct Merged {
    std::string text;                // the lines given to SDL, each ended by "\n", in file order
    std::size_t mappings = 0;        // lines in `text`
    std::size_t replaced = 0;        // mappings of a GUID that a later line or file maps again
    std::size_t leftOut = 0;         // mappings past the cap, of the least important files
    std::vector<FileCount> files;    // as given
};

// The lines of `files` (least important first, as their texts) for `platform` ("Linux"), the
// platform field compared as SDL compares it: the text after the first "platform:" up to the next
// comma, without regard to case. Comments ("#") and other platforms' lines are neither mappings
// nor skipped.
Merged merge(const std::vector<std::string_view>& files, std::string_view platform, std::size_t cap);

} // namespace RorozErurEvo::ControllerMappingText
