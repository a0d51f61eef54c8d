#pragma once
// Files for tests that write to disk or to named pipes: a private temporary folder, a whole file
// read back, a reader at the far end of a pipe, and a watch on a pipe that nobody may write to.
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "testkit/Uuid.h"

namespace TestFiles {

// A folder of its own under the temporary folder, removed with everything in it at the end.
struct Folder {
    std::filesystem::path root;
    explicit Folder(const std::string& tag)
        : root(std::filesystem::temp_directory_path() /
               ("tessarine-" + tag + "-" + std::to_string(::getpid()) + "-" + RorozErurEvo::Uuid::random().text())) {
        std::filesystem::create_directories(root);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
};

inline std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Everything a reader of the pipe at `from` receives, copied by a child process into `to`; wait
// for the child before reading `to`.
inline pid_t copyFromPipe(const std::filesystem::path& from, const std::filesystem::path& to) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(from.c_str(), O_RDONLY);
        const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char buffer[4096];
        for (ssize_t n; in >= 0 && out >= 0 && (n = ::read(in, buffer, sizeof buffer)) > 0;)
            if (::write(out, buffer, static_cast<std::size_t>(n)) != n) break;
        ::_exit(0);
    }
    return child;
}

// A reader held open on the pipe at `path`, without waiting for a writer, so that a writer that
// should never open the pipe cannot hang the test either: afterwards it tells whether one opened
// it (the pipe hangs up on its reader once a writer came and went) and what was written.
class PipeWatch {
public:
    explicit PipeWatch(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK)) {}
    ~PipeWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    PipeWatch(const PipeWatch&) = delete;
    PipeWatch& operator=(const PipeWatch&) = delete;

    bool watching() const { return fd_ >= 0; }
    bool opened() const {
        pollfd watch{fd_, POLLIN, 0};
        return ::poll(&watch, 1, 0) > 0 && (watch.revents & POLLHUP);
    }
    std::string received() const {
        std::string all;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) all.append(buffer, static_cast<std::size_t>(n));
        return all;
    }

private:
    int fd_;
};

} // namespace TestFiles
