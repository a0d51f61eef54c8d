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
#include <variant>

#include "testkit/AtomicFile.h"

namespace RorozErurEvo {

namespace fs = std::filesystem;

namespace {

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

// Why a file was not read.
struct Unread {
    std::string cause;
};

// The whole file, or why not: it cannot be read, is not a regular file or is too big.
std::variant<std::string, Unread> readSmallFile(const fs::path& path) {
    // Non-blocking, so a FIFO named like a session file cannot stall the load.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return Unread{std::strerror(errno)};
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return Unread{std::strerror(errno)};
    if (!S_ISREG(info.st_mode)) return Unread{"not a regular file"};
    if (static_cast<std::uintmax_t>(info.st_size) > SessionArchive::maxFileBytes)
        return Unread{"larger than " + std::to_string(SessionArchive::maxFileBytes >> 20) + " MB"};
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        ssize_t got = ::read(file.fd, text.data() + filled, text.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Unread{std::strerror(errno)};
        }
        if (got == 0) break; // shrank while reading: decode what is there, which will fail if torn
        filled += static_cast<std::size_t>(got);
    }
    text.resize(filled);
    return text;
}

// Never throws: it runs on worker threads, and a file that cannot be read or decoded, for
// whatever reason, is skipped, with its cause, and left where it is.
std::variant<TestSession, Unread> loadFile(const fs::path& path) noexcept {
    try {
        auto text = readSmallFile(path);
        if (auto* unread = std::get_if<Unread>(&text)) return std::move(*unread);
        return SessionCoder::decode(std::get<std::string>(text));
    } catch (const std::exception& error) {
        try {
            return Unread{error.what()};
        } catch (...) {
            return Unread{"unknown error"};
        }
    } catch (...) {
        return Unread{"unknown error"};
    }
}

// Fewer files than this per core are not worth starting a thread for.
constexpr std::size_t filesPerWorker = 32;

bool looksLikeSessionFile(const fs::path& path) {
    std::string name = path.filename().string();
    return path.extension() == ".json" && !name.starts_with("._");
}

// A save's temporary file: the one the atomic writer makes beside "<session id>.json".
bool isOwnTemporaryName(std::string_view name) {
    constexpr std::string_view extension = ".json";
    const auto target = AtomicFile::temporaryTarget(name);
    return target && target->ends_with(extension) &&
           Uuid::parse(target->substr(0, target->size() - extension.size())).has_value();
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

    // Hidden and not ending in ".json", so loadAll never reads a temporary file; one that a crash
    // left behind is removed by a later load.
    if (auto failure = AtomicFile::write(url(session.id), text)) throw ArchiveError(*failure);
}

SessionArchive::Loaded SessionArchive::load() const {
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
    std::vector<std::variant<TestSession, Unread>> slots(files.size());
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

    Loaded loaded;
    loaded.sessions.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (auto* session = std::get_if<TestSession>(&slots[i])) loaded.sessions.push_back(std::move(*session));
        else loaded.skipped.push_back({files[i].filename().string(), std::move(std::get<Unread>(slots[i]).cause)});
    }
    std::stable_sort(loaded.sessions.begin(), loaded.sessions.end(),
                     [](const TestSession& a, const TestSession& b) { return a.date > b.date; });
    std::sort(loaded.skipped.begin(), loaded.skipped.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.name < b.name; });
    return loaded;
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
