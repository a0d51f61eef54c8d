#include "testkit/ToolOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "testkit/AtomicFile.h"

namespace RorozErurEvo::ToolOutput {

namespace {

bool isStream(mode_t mode) { return S_ISFIFO(mode) || S_ISCHR(mode); }

std::string failure(const std::string& target, int error) {
    return "could not write \u201C" + target + "\u201D: " + std::strerror(error);
}

} // namespace

std::optional<std::string> write(const std::string& target, std::string_view data, int standardOutput) {
    if (target == "-") {
        if (const int error = AtomicFile::writeAll(standardOutput, data)) return failure("standard output", error);
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !isStream(info.st_mode)) return AtomicFile::write(target, data);

    // Opening a pipe for writing waits for its reader, as a shell redirection does.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failure(target, errno);
    // What was opened is what was looked at: something else put there meanwhile is refused.
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    std::optional<std::string> result;
    if (error) result = failure(target, error);
    else if (!isStream(info.st_mode)) result = target + " is not a regular file";
    else if ((error = AtomicFile::writeAll(fd, data))) result = failure(target, error);
    if (::close(fd) != 0 && !result && errno != EINTR) result = failure(target, errno);
    return result;
}

} // namespace RorozErurEvo::ToolOutput
