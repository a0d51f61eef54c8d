#include "testkit/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include "testkit/Uuid.h"
#include "testkit/WriteTarget.h"

namespace RorozErurEvo::AtomicFile {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view prefix = ".";
constexpr std::string_view separator = ".";
constexpr std::string_view suffix = ".tmp";
constexpr std::size_t uuidLength = 36;

std::atomic<JudgedHook> afterJudging{nullptr};

std::string failure(const char* action, const fs::path& path, int error) {
    return std::string(action) + " \u201C" + path.string() + "\u201D: " + std::strerror(error);
}

// Makes a rename inside the folder durable; a file system that cannot sync a folder is no
// reason to fail a write that has already happened.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void removeStaleTemporaries(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    if (error) return;
    for (fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) return;
        removeIfStale(*it);
    }
}

} // namespace

int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

void afterJudgingForTests(JudgedHook hook) { afterJudging.store(hook); }

std::string temporaryName(std::string_view name) {
    return std::string(prefix) + std::string(name) + std::string(separator) + Uuid::random().text() +
           std::string(suffix);
}

std::optional<std::string_view> temporaryTarget(std::string_view name) {
    const std::size_t fixed = prefix.size() + separator.size() + uuidLength + suffix.size();
    if (name.size() <= fixed || !name.starts_with(prefix) || !name.ends_with(suffix)) return std::nullopt;
    name.remove_prefix(prefix.size());
    name.remove_suffix(suffix.size());
    if (!Uuid::parse(name.substr(name.size() - uuidLength))) return std::nullopt;
    name.remove_suffix(uuidLength);
    if (!name.ends_with(separator)) return std::nullopt;
    name.remove_suffix(separator.size());
    return name;
}

void removeIfStale(const fs::directory_entry& entry) {
    if (!temporaryTarget(entry.path().filename().string())) return;
    std::error_code error;
    if (!entry.is_regular_file(error) || error) return;
    const auto written = entry.last_write_time(error);
    if (error || fs::file_time_type::clock::now() - written < staleAge) return;
    fs::remove(entry.path(), error);
}

Writer::Writer(const fs::path& target) : target_(target) {
    const WriteTarget::Judged judged = WriteTarget::judge(target, WriteTarget::Kinds::files);
    if (!judged.refused.empty()) {
        error_ = judged.refused;
        return;
    }
    final_ = judged.path;
    if (const auto hook = afterJudging.load()) hook(final_);
    const fs::path folder = final_.parent_path();
    removeStaleTemporaries(folder);
    temporary_ = folder / temporaryName(final_.filename().string());
    // Replacing a file must not widen or narrow who may read it, so the new file takes the
    // permissions of the file judged above, and of no file put at its name since: in a shared
    // folder that may be anyone's, made world-writable so that they could change our file. The
    // temporary file has them from the start, never wider. The set-user-ID, set-group-ID and
    // sticky bits are never carried over: the new file is this process's, and a program written
    // over by root must not become one that runs as root.
    const std::optional<mode_t> kept =
        judged.entry ? std::optional<mode_t>(judged.entry->st_mode & 0777) : std::nullopt;
    // O_EXCL: a name that is somehow taken is never written through.
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kept.value_or(0666));
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear(); // not ours to remove
        error_ = failure("could not write", target, error);
        return;
    }
    // The umask narrowed what open() was given; a kept mode is set whole.
    if (kept && ::fchmod(fd_, *kept) != 0) fail(failure("could not write", target, errno));
}

Writer::~Writer() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void Writer::fail(std::string message) {
    error_ = std::move(message);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    std::string().swap(buffer_);
}

bool Writer::flush() {
    if (const int error = writeAll(fd_, buffer_)) {
        fail(failure("could not write", target_, error));
        return false;
    }
    buffer_.clear();
    return true;
}

bool Writer::append(std::string_view data) {
    if (error_) return false;
    if (buffer_.size() + data.size() <= bufferBytes) {
        buffer_.append(data);
        return true;
    }
    // A large piece goes straight to the disk after what is gathered: never copied whole.
    if (!flush()) return false;
    if (data.size() <= bufferBytes) {
        buffer_.append(data);
        return true;
    }
    if (const int error = writeAll(fd_, data)) {
        fail(failure("could not write", target_, error));
        return false;
    }
    return true;
}

std::optional<std::string> Writer::commit() {
    if (error_) return error_;
    if (!flush()) return error_;
    std::string().swap(buffer_);
    if (::fsync(fd_) != 0) {
        fail(failure("could not write", target_, errno));
        return error_;
    }
    const int closed = ::close(std::exchange(fd_, -1));
    if (closed != 0) {
        fail(failure("could not write", target_, errno));
        return error_;
    }
    // Checked again: the target may have changed while the data was written.
    if (auto now = WriteTarget::judgeEntry(target_, final_, WriteTarget::Kinds::files); !now.refused.empty()) {
        fail(std::move(now.refused));
        return error_;
    }
    if (::rename(temporary_.c_str(), final_.c_str()) != 0) {
        fail(failure("could not replace", target_, errno));
        return error_;
    }
    temporary_.clear();
    syncFolder(final_.parent_path());
    return std::nullopt;
}

std::optional<std::string> write(const fs::path& target, std::string_view data) {
    Writer writer(target);
    if (writer.error()) return writer.error();
    // One piece: a large one goes straight to the disk, a small one at the commit.
    writer.append(data);
    return writer.commit();
}

} // namespace RorozErurEvo::AtomicFile
