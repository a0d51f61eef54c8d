#pragma once
// Writing a whole file so that a reader sees the old contents or the new, never part of them:
// a temporary file in the same folder, flushed to the disk, then renamed over the old one.
// Sessions, exports, reports and the logo all go through here.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo::AtomicFile {

// A file written in pieces and put in place whole, or not at all: an export of thousands of
// sessions is written as it is made, a session at a time, and only its last piece makes it
// appear. The pieces go to the temporary file beside the target (gathered in memory up to
// bufferBytes first); a writer given up (destroyed before commit) removes it, so a cancelled or
// failed write leaves the target as it was and nothing beside it.
//
// The same rules as write() below hold: links, special files, permissions and stale temporary
// files are treated alike, and the messages are worded alike.
class Writer {
public:
    // Bytes gathered before they go to the disk.
    static constexpr std::size_t bufferBytes = 256 * 1024;

    // Opens the temporary file for `target`; error() says why when that failed.
    explicit Writer(const std::filesystem::path& target);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Absent while every step so far worked; else what write() would have returned.
    const std::optional<std::string>& error() const { return error_; }
    // Adds `data` to the file. False, with error() set, when the disk refused it (or an earlier
    // step failed); the file is then given up.
    bool append(std::string_view data);
    // Writes what is gathered, flushes it to the disk and puts the file in place of the target.
    // Absent on success; else the error, and the temporary file is gone.
    std::optional<std::string> commit();

private:
    bool flush();
    void fail(std::string message);

    std::filesystem::path target_;
    std::filesystem::path final_;       // where the bytes go: the target, or where its links lead
    std::filesystem::path temporary_;   // empty once renamed or removed
    int fd_ = -1;
    std::string buffer_;
    std::optional<std::string> error_;
};

// Writes `data` as the whole of `target`, replacing what was there. A symbolic link is written
// through and stays a link: its destination is replaced, or created when the link dangles (in
// the folder the link names, which must exist). The new file has the permissions of the file that
// stood there when the write began, never of one put there since, but for the set-user-ID,
// set-group-ID and sticky bits, which it never has. Absent on success; else
// "could not <write|replace> “<target>”: <the system's description>", and the temporary file is
// gone. The folder must exist.
//
// The target is judged by WriteTarget (files only), before anything is written and again before
// the new file is put in place: a link another user made in a shared sticky folder (as the
// system's temporary folder) is not followed, nor is a loop of links; another user's file there is
// not replaced; the refusal names the cause, and what stands there is left as it is.
//
// Only a regular file is ever replaced: a named pipe, a device, a folder or a socket at the
// target (or at the end of a link there) is left as it is and refused with
// "<target> is not a regular file". Renaming over /dev/null would turn it into a plain file for
// the whole machine, and a pipe's reader would get nothing.
//
// Before writing, our own temporary files in the folder that a write which never finished left
// behind (older than staleAge) are removed.
std::optional<std::string> write(const std::filesystem::path& target, std::string_view data);

// A write holds its temporary file for milliseconds, and a Writer for as long as its pieces come,
// each piece it passes to the disk making the file new again; one untouched this long was left by
// a write that never finished (the program killed or the power lost between writing and renaming).
// Younger ones are left alone: another instance, or another write of this one, may be writing
// right now.
inline constexpr std::chrono::minutes staleAge{10};

// Removes `entry` when it is a regular file named as our temporary files are and older than
// staleAge. Whatever cannot be examined or removed stays; a later write or load tries again.
void removeIfStale(const std::filesystem::directory_entry& entry);

// For tests: `hook` is called with the destination each time a Writer has judged its target,
// before anything is made beside it, so that a test can change what stands there in between;
// nullptr takes it away.
using JudgedHook = void (*)(const std::filesystem::path& destination);
void afterJudgingForTests(JudgedHook hook);

// Writes all of `data` to an open descriptor, going on after interruptions and short writes.
// 0 when every byte was written, else errno.
int writeAll(int fd, std::string_view data);

// The temporary file beside a file named `name`: "." + name + "." + <random UUID> + ".tmp",
// hidden and never taken for the file itself by its extension.
std::string temporaryName(std::string_view name);
// The name of the file a temporary name of ours was made for; absent for any other name.
std::optional<std::string_view> temporaryTarget(std::string_view name);

} // namespace RorozErurEvo::AtomicFile
