#pragma once
// Where a command-line tool writes what it made. As with any command-line program, "-" means
// standard output, and a named pipe or a character device given as the target receives the bytes
// as a stream (a script's `mkfifo`, a terminal, a device that discards). Any other target is a
// file, written whole through AtomicFile, which refuses every other kind of special file.
//
// A pipe or device is judged as a file is (WriteTarget), before anything is opened: links are
// followed only where the atomic writer follows them, and another user's pipe or device in a
// shared sticky folder is refused, so the command never waits on a pipe someone else planted.
#include <optional>
#include <string>
#include <string_view>

namespace RorozErurEvo::ToolOutput {

// Absent on success; else a description naming the target and the cause. `standardOutput` is the
// descriptor "-" stands for. A reader that goes away early is a failure (EPIPE), not a success:
// the caller ignores SIGPIPE so that it sees it.
std::optional<std::string> write(const std::string& target, std::string_view data, int standardOutput);

} // namespace RorozErurEvo::ToolOutput
