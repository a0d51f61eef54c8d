#include "testkit/WriteTarget.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace RorozErurEvo::WriteTarget {

namespace fs = std::filesystem;

namespace {

// The kernel follows at most this many links in a row before it gives up with ELOOP (links).
constexpr int maxLinkHops = 40;

std::string quoted(const fs::path& path) { return "\u201C" + path.string() + "\u201D"; }

std::string refusedIn(const fs::path& target, const fs::path& path, const char* what, const char* notDone) {
    return "could not write " + quoted(target) + ": " + quoted(path) + " is " + what +
           " another user made in a folder every user can write to; such " + notDone;
}

// Whether `entry` (lstat) in `folder` (stat) is to be trusted: not when the folder is sticky and
// world-writable and the entry belongs neither to the folder's owner nor to this user.
bool trustedIn(const struct stat& entry, const struct stat& folder) {
    const bool shared = (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || entry.st_uid == ::geteuid() || entry.st_uid == folder.st_uid;
}

// Whether `entry` at `path` is to be trusted; one whose folder cannot be looked at is left to the
// kernel, which refuses to write in a folder it cannot look at.
bool trusted(const fs::path& path, const struct stat& entry) {
    const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    struct stat folder {};
    return ::stat(parent.c_str(), &folder) != 0 || trustedIn(entry, folder);
}

// The entry at `path` when it is not a link, else where the chain of links leads; a link is read
// from the folder it is in, as the kernel reads it. A dangling link leads to the file it names.
Judged resolve(const fs::path& target) {
    fs::path path = target;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0) return {path, std::nullopt, {}};
        if (!S_ISLNK(entry.st_mode)) return {path, entry, {}};
        if (!trusted(path, entry))
            return {path, entry, refusedIn(target, path, "a link", "a link is not followed")};
        std::error_code error;
        const fs::path next = fs::read_symlink(path, error);
        if (error) return {path, entry, {}};
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return {path, std::nullopt, "could not write " + quoted(target) + ": " + std::strerror(ELOOP)};
}

std::string refusal(const fs::path& target, const fs::path& path, const struct stat& entry, Kinds kinds) {
    const bool stream = kinds == Kinds::filesAndStreams && isStream(entry.st_mode);
    if (!S_ISREG(entry.st_mode) && !stream) return target.string() + " is not a regular file";
    if (trusted(path, entry)) return {};
    if (S_ISREG(entry.st_mode)) return refusedIn(target, path, "a file", "a file is not replaced");
    if (S_ISFIFO(entry.st_mode)) return refusedIn(target, path, "a named pipe", "a pipe is not written to");
    return refusedIn(target, path, "a device", "a device is not written to");
}

} // namespace

bool isStream(mode_t mode) { return S_ISFIFO(mode) || S_ISCHR(mode); }

bool same(const struct stat& opened, const struct stat& judged) {
    return opened.st_dev == judged.st_dev && opened.st_ino == judged.st_ino &&
           (opened.st_mode & S_IFMT) == (judged.st_mode & S_IFMT) && opened.st_uid == judged.st_uid;
}

Judged judgeEntry(const fs::path& target, const fs::path& path, Kinds kinds) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) return {path, std::nullopt, {}};
    return {path, entry, refusal(target, path, entry, kinds)};
}

Judged judge(const fs::path& target, Kinds kinds) {
    Judged judged = resolve(target);
    if (judged.refused.empty() && judged.entry) judged.refused = refusal(target, judged.path, *judged.entry, kinds);
    return judged;
}

} // namespace RorozErurEvo::WriteTarget
