#include "testkit/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace RorozErurEvo::BoundedFile {

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

Content failed(std::string why, bool missing = false) { return Content{std::nullopt, std::move(why), missing}; }

std::string megabytes(std::uintmax_t bytes) {
    const std::uintmax_t mb = 1024 * 1024;
    return bytes % mb == 0 ? std::to_string(bytes / mb) + " MB" : std::to_string(bytes) + " bytes";
}

} // namespace

Content read(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer forever.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return failed(std::strerror(errno), errno == ENOENT);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return failed(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return failed("not a regular file");
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return failed("larger than " + megabytes(maxBytes));
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size) + room);
    text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t got = ::read(file.fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return failed(std::strerror(errno));
        }
        if (got == 0) break; // shrank while reading: the caller's decoding refuses a torn file
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return Content{std::move(text), {}, false};
}

} // namespace RorozErurEvo::BoundedFile
