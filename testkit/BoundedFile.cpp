#include "testkit/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <variant>

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

// Opens `path` for reading without blocking and checks that it is a regular file: its size, or
// why it cannot be read.
std::variant<std::uintmax_t, Content> opened(const std::filesystem::path& path, Descriptor& file) {
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer forever.
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file.fd < 0) return failed(std::strerror(errno), errno == ENOENT);
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return failed(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return failed("not a regular file");
    return static_cast<std::uintmax_t>(info.st_size);
}

// Reads into `text` from `filled` on until the file ends or `text` is full; false on an error.
bool fill(int fd, std::string& text, std::size_t& filled) {
    while (filled < text.size()) {
        const ssize_t got = ::read(fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

Content read(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    Descriptor file;
    const auto size = opened(path, file);
    if (const auto* refused = std::get_if<Content>(&size)) return *refused;
    const std::uintmax_t bytes = std::get<std::uintmax_t>(size);
    if (bytes > maxBytes) return failed("larger than " + megabytes(maxBytes));
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes) + room);
    text.resize(static_cast<std::size_t>(bytes));
    std::size_t filled = 0;
    // A file that shrank while read ends early: the caller's decoding refuses a torn file.
    if (!fill(file.fd, text, filled)) return failed(std::strerror(errno));
    text.resize(filled);
    return Content{std::move(text), {}, false};
}

Content readReport(const std::filesystem::path& path, std::size_t maxBytes) {
    Descriptor file;
    const auto size = opened(path, file);
    if (const auto* refused = std::get_if<Content>(&size)) return *refused;
    // One byte more than allowed tells a report that is too long from one that fits exactly.
    std::string text(maxBytes + 1, '\0');
    std::size_t filled = 0;
    if (!fill(file.fd, text, filled)) return failed(std::strerror(errno));
    if (filled > maxBytes) return failed("larger than " + megabytes(maxBytes));
    text.resize(filled);
    return Content{std::move(text), {}, false};
}

} // namespace RorozErurEvo::BoundedFile
