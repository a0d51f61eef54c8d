#include "testkit/ToolOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <variant>

#include "testkit/AtomicFile.h"
#include "testkit/WriteTarget.h"

namespace RorozErurEvo::ToolOutput {

namespace {

std::string failure(const std::string& target, int error) {
    return "could not write \u201C" + target + "\u201D: " + std::strerror(error);
}

std::string changed(const std::string& target) {
    return "could not write \u201C" + target + "\u201D: it was replaced while it was being opened";
}

// Opens the judged pipe or device for writing, or says why not. It is first taken without being
// opened (O_PATH: a pipe does not wait for a reader, a device's driver is not called) and checked
// to be what was judged; then it is opened through that descriptor, so what is written to is what
// was judged, whatever has been put at its name since. Opening a pipe waits for its reader, as a
// shell redirection does. Without /proc the name is opened again, and checked once more.
std::variant<int, std::string> openStream(const std::string& target, const WriteTarget::Judged& judged) {
    const int handle = ::open(judged.path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) return failure(target, errno);
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !WriteTarget::same(info, *judged.entry)) {
        ::close(handle);
        return changed(target);
    }
    const std::string viaHandle = "/proc/self/fd/" + std::to_string(handle);
    int fd = ::open(viaHandle.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) fd = ::open(judged.path.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    ::close(handle);
    if (fd < 0) return failure(target, error);
    if (::fstat(fd, &info) != 0 || !WriteTarget::same(info, *judged.entry)) {
        ::close(fd);
        return changed(target);
    }
    return fd;
}

} // namespace

std::optional<std::string> write(const std::string& target, std::string_view data, int standardOutput) {
    if (target == "-") {
        if (const int error = AtomicFile::writeAll(standardOutput, data)) return failure("standard output", error);
        return std::nullopt;
    }
    // A pipe or a device is refused for the causes a file is, before anything is opened.
    const WriteTarget::Judged judged = WriteTarget::judge(target, WriteTarget::Kinds::filesAndStreams);
    if (!judged.refused.empty()) return judged.refused;
    if (!judged.entry || !WriteTarget::isStream(judged.entry->st_mode)) return AtomicFile::write(target, data);

    auto opened = openStream(target, judged);
    if (auto* refused = std::get_if<std::string>(&opened)) return std::move(*refused);
    const int fd = std::get<int>(opened);
    std::optional<std::string> result;
    if (const int error = AtomicFile::writeAll(fd, data)) result = failure(target, error);
    if (::close(fd) != 0 && !result && errno != EINTR) result = failure(target, errno);
    return result;
}

} // namespace RorozErurEvo::ToolOutput
