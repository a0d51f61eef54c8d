#pragma once
// Where a write to a path the user named lands, and whether it may: judged before anything there
// is opened. The atomic writer and the command-line tools' streams both ask here, so a file, a
// named pipe, a device and the links that lead to them are refused for the same causes and in the
// same words.
//
// A folder every user may write to and that is sticky (as the system's temporary folder) holds
// names anyone may have taken first. There, as the kernel has it for links, regular files and
// pipes (fs.protected_symlinks, fs.protected_regular, fs.protected_fifos) whatever this machine
// sets them to, an entry that belongs neither to the folder's owner nor to this user is not ours
// to follow, replace or write to: a link would aim our bytes at a file or device of ours, a file
// or pipe would hand them to the user who put it there, and a pipe its planter never reads would
// hold the writer for ever.
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

namespace RorozErurEvo::WriteTarget {

// What may receive the bytes: a regular file only (replaced whole), or a named pipe or character
// device as well (written as a stream).
enum class Kinds { files, filesAndStreams };

struct Judged {
    std::filesystem::path path;       // the target, or where its chain of links ends
    std::optional<struct stat> entry; // what stood at `path` when judged (not following links)
    std::string refused;              // why nothing may be written there; empty when it may
};

// Follows the links at `target` as the kernel would for this process, a dangling one to the file
// it names, and judges what stands where they end. Refusals, each naming `target` as given:
//   "could not write “<target>”: “<link>” is a link another user made in a folder every user can
//    write to; such a link is not followed"
//   "could not write “<target>”: Too many levels of symbolic links"
//   "<target> is not a regular file" (a folder, a socket; a pipe or a device too with `files`)
//   "could not write “<target>”: “<path>” is a file another user made in a folder every user can
//    write to; such a file is not replaced", and alike "… is a named pipe … such a pipe is not
//    written to" and "… is a device … such a device is not written to".
Judged judge(const std::filesystem::path& target, Kinds kinds);
// Judges what stands at `path` now, where judge() led a write to `target`: looked at again just
// before a file is put in place. A link found there now is not followed but refused.
Judged judgeEntry(const std::filesystem::path& target, const std::filesystem::path& path, Kinds kinds);

bool isStream(mode_t mode);
// Whether `opened` (fstat of a descriptor) is the very entry that was judged, owned by the same user.
bool same(const struct stat& opened, const struct stat& judged);

} // namespace RorozErurEvo::WriteTarget
