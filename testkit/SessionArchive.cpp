#include "testkit/SessionArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace RorozErurEvo {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& action, const fs::path& path, int error) {
    throw ArchiveError(action + " \u201C" + path.string() + "\u201D: " + std::strerror(error));
}

[[noreturn]] void fail(const std::string& action, const fs::path& path, const std::error_code& error) {
    throw ArchiveError(action + " \u201C" + path.string() + "\u201D: " + error.message());
}

// Closes a descriptor when the owner goes out of scope (unless released first).
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

void writeAll(int fd, const std::string& text, const fs::path& path) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail("could not write", path, errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

// Makes a rename inside the folder durable; a file system that cannot sync a folder is no
// reason to fail a save that has already happened.
void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The whole file, or nothing when it cannot be read, is not a regular file or is too big.
std::optional<std::string> readSmallFile(const fs::path& path) {
    // Non-blocking, so a FIFO named like a session file cannot stall the load.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (static_cast<std::uintmax_t>(info.st_size) > SessionArchive::maxFileBytes) return std::nullopt;
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        ssize_t got = ::read(file.fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break; // shrank while reading: decode what is there, which will fail if torn
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return text;
}

// Never throws: it runs on worker threads, and a file that cannot be read or decoded, for
// whatever reason, is skipped and left where it is.
std::optional<TestSession> loadFile(const fs::path& path) noexcept {
    try {
        auto text = readSmallFile(path);
        if (!text) return std::nullopt;
        return SessionCoder::decode(*text);
    } catch (...) {
        return std::nullopt;
    }
}

// Fewer files than this per core are not worth starting a thread for.
constexpr std::size_t filesPerWorker = 32;

bool looksLikeSessionFile(const fs::path& path) {
    std::string name = path.filename().string();
    return path.extension() == ".json" && !name.starts_with("._");
}

// A save writes "." + <session id> + ".json." + <random id> + ".tmp" and renames it over the
// session's file: hidden, and never taken for a session by its extension.
constexpr std::string_view temporaryPrefix = ".";
constexpr std::string_view temporaryMiddle = ".json.";
constexpr std::string_view temporarySuffix = ".tmp";
constexpr std::size_t uuidLength = 36;

fs::path temporaryFile(const fs::path& folder, const Uuid& session) {
    return folder / (std::string(temporaryPrefix) + session.text() + std::string(temporaryMiddle) + Uuid::random().text() +
                     std::string(temporarySuffix));
}

bool isOwnTemporaryName(std::string_view name) {
    const std::size_t length =
        temporaryPrefix.size() + uuidLength + temporaryMiddle.size() + uuidLength + temporarySuffix.size();
    if (name.size() != length || !name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix)) return false;
    name.remove_prefix(temporaryPrefix.size());
    if (!Uuid::parse(name.substr(0, uuidLength))) return false;
    name.remove_prefix(uuidLength);
    if (!name.starts_with(temporaryMiddle)) return false;
    name.remove_prefix(temporaryMiddle.size());
    return Uuid::parse(name.substr(0, uuidLength)).has_value();
}

// A save holds its temporary file for milliseconds; one this old was left by a save that never
// finished (the program killed or the power lost between writing and renaming). Younger ones
// are left alone: another instance of the program may be saving right now (seconds).
constexpr auto staleTemporaryAge = std::chrono::minutes(10);

// Removes a regular file of our own temporary naming that is older than staleTemporaryAge.
// Whatever cannot be examined or removed stays; the next load tries again.
void removeIfStaleTemporary(const fs::directory_entry& entry) {
    if (!isOwnTemporaryName(entry.path().filename().string())) return;
    std::error_code error;
    if (!entry.is_regular_file(error) || error) return;
    const auto written = entry.last_write_time(error);
    if (error || fs::file_time_type::clock::now() - written < staleTemporaryAge) return;
    fs::remove(entry.path(), error);
}

} // namespace

fs::path SessionArchive::url(const Uuid& id) const { return folder / (id.text() + ".json"); }

void SessionArchive::save(const TestSession& session) const {
    // Encoding first: a session that cannot be written leaves the disk untouched.
    std::string text = SessionCoder::encode(session);

    std::error_code error;
    fs::create_directories(folder, error);
    if (error) fail("could not create the folder", folder, error);

    fs::path target = url(session.id);
    // Hidden and not ending in ".json", so loadAll never reads a temporary file; one that a crash
    // left behind is removed by a later load.
    fs::path temporary = temporaryFile(folder, session.id);
    FileDescriptor file{::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)};
    if (file.fd < 0) fail("could not create", temporary, errno);
    try {
        writeAll(file.fd, text, temporary);
        if (::fsync(file.fd) != 0) fail("could not write", temporary, errno);
        if (::close(file.release()) != 0) fail("could not write", temporary, errno);
        if (::rename(temporary.c_str(), target.c_str()) != 0) fail("could not replace", target, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    syncFolder(folder);
}

std::vector<TestSession> SessionArchive::loadAll() const {
    std::vector<fs::path> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return {};
    for (fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) break;
        if (looksLikeSessionFile(it->path())) files.push_back(it->path());
        else removeIfStaleTemporary(*it);
    }

    // Decoding dominates a large folder's load, so the files are shared out over the cores;
    // each file lands in its own slot, which keeps the listing order for equal dates.
    std::vector<std::optional<TestSession>> slots(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) slots[i] = loadFile(files[i]);
    };
    std::vector<std::thread> workers;
    std::size_t wanted = std::min<std::size_t>(std::thread::hardware_concurrency(), files.size() / filesPerWorker);
    for (std::size_t n = 1; n < wanted; ++n) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running and this one finish the work
        }
    }
    work();
    for (auto& worker : workers) worker.join();

    std::vector<TestSession> sessions;
    sessions.reserve(files.size());
    for (auto& slot : slots)
        if (slot) sessions.push_back(std::move(*slot));
    std::stable_sort(sessions.begin(), sessions.end(),
                     [](const TestSession& a, const TestSession& b) { return a.date > b.date; });
    return sessions;
}

void SessionArchive::remove(const Uuid& id) const {
    fs::path path = url(id);
    std::error_code error;
    fs::remove(path, error);
    if (error) fail("could not delete", path, error);
}

void SessionArchive::eraseAll() const {
    std::error_code error;
    fs::remove_all(folder, error);
    if (error) fail("could not erase", folder, error);
}

} // namespace RorozErurEvo
