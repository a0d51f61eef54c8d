#include "testkit/SessionArchive.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <variant>

#include "testkit/AtomicFile.h"
#include "testkit/BoundedFile.h"
#include "testkit/SessionFileReader.h"

namespace RorozErurEvo {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& action, const fs::path& path, const std::error_code& error) {
    throw ArchiveError(action + " \u201C" + path.string() + "\u201D: " + error.message());
}

// Why a file was not read.
struct Unread {
    std::string cause;
};

// Never throws: it runs on worker threads, and a file that cannot be read or decoded, for
// whatever reason, is skipped, with its cause, and left where it is.
template <class Item, class Read> std::variant<Item, Unread> loadFile(const fs::path& path, Read read) noexcept {
    try {
        return read(path);
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

} // namespace

TestSession SessionArchive::readFile(const fs::path& path) {
    auto content = BoundedFile::read(path, maxFileBytes);
    if (!content.text) throw UnreadableFile(content.error);
    return readSessionFile(std::move(*content.text));
}

SessionSummary SessionArchive::readSummaryFile(const fs::path& path) {
    auto content = BoundedFile::read(path, maxFileBytes);
    if (!content.text) throw UnreadableFile(content.error);
    return readSessionSummary(std::move(*content.text));
}

fs::path SessionArchive::url(const Uuid& id) const { return folder / (id.text() + ".json"); }

fs::path SessionArchive::url(const SessionSummary& listed) const {
    return listed.file.empty() ? url(listed.id) : folder / listed.file;
}

void SessionArchive::save(const TestSession& session) const {
    // Encoding first: a session that cannot be written leaves the disk untouched.
    std::string text = SessionCoder::encode(session);

    std::error_code error;
    fs::create_directories(folder, error);
    if (error) fail("could not create the folder", folder, error);

    // Hidden and not ending in ".json", so loadAll never reads a temporary file; one that a crash
    // left behind is removed by a later load or save.
    if (auto failure = AtomicFile::write(url(session.id), text)) throw ArchiveError(*failure);
}

namespace {

// The folder's files read by `read` (whole sessions or summaries), newest first, and the files
// passed over; see SessionArchive::load.
template <class Item, class Read>
std::pair<std::vector<Item>, std::vector<SkippedFile>> loadFolder(const fs::path& folder, unsigned threads, Read read) {
    std::vector<fs::path> files;
    std::error_code error;
    // A folder not made yet is an empty history. Any other listing failure would hide sessions
    // that are there, so it is reported with the files that could not be read.
    std::optional<SkippedFile> unlisted;
    fs::directory_iterator it(folder, error);
    if (error == std::errc::no_such_file_or_directory) {
        // A link to a folder that is gone (an unmounted drive, say) hides what it held.
        std::error_code linkError;
        if (fs::symlink_status(folder, linkError).type() != fs::file_type::symlink) return {};
        unlisted = SkippedFile{folder.string(), "the folder it links to is missing", true};
    } else if (error) {
        unlisted = SkippedFile{folder.string(), "the folder could not be read: " + error.message(), true};
    }
    for (fs::directory_iterator end; !error && it != end; it.increment(error)) {
        if (looksLikeSessionFile(it->path())) files.push_back(it->path());
        else AtomicFile::removeIfStale(*it);
    }
    if (error && !unlisted)
        unlisted = SkippedFile{folder.string(), "the folder could not be read to its end: " + error.message(), true};

    // Decoding dominates a large folder's load, so the files are shared out over the cores;
    // each file lands in its own slot, which keeps the listing order for equal dates.
    std::vector<std::variant<Item, Unread>> slots(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) slots[i] = loadFile<Item>(files[i], read);
    };
    std::vector<std::thread> workers;
    const std::size_t cap = threads > 0 ? threads : std::thread::hardware_concurrency();
    std::size_t wanted = std::min<std::size_t>(cap, files.size() / filesPerWorker);
    for (std::size_t n = 1; n < wanted; ++n) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running and this one finish the work
        }
    }
    work();
    for (auto& worker : workers) worker.join();

    std::pair<std::vector<Item>, std::vector<SkippedFile>> loaded;
    auto& [items, skipped] = loaded;
    items.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (auto* item = std::get_if<Item>(&slots[i])) items.push_back(std::move(*item));
        else skipped.push_back({files[i].filename().string(), std::move(std::get<Unread>(slots[i]).cause)});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.date > b.date; });
    std::sort(skipped.begin(), skipped.end(), [](const SkippedFile& a, const SkippedFile& b) { return a.name < b.name; });
    if (unlisted) skipped.insert(skipped.begin(), std::move(*unlisted));
    return loaded;
}

} // namespace

SessionArchive::Loaded SessionArchive::load(unsigned threads) const {
    auto [sessions, skipped] = loadFolder<TestSession>(folder, threads, &SessionArchive::readFile);
    return {std::move(sessions), std::move(skipped)};
}

SessionArchive::LoadedSummaries SessionArchive::loadSummaries(unsigned threads) const {
    auto [summaries, skipped] = loadFolder<SessionSummary>(folder, threads, [](const fs::path& path) {
        SessionSummary summary = readSummaryFile(path);
        if (path.filename() != summary.id.text() + ".json") summary.file = path.filename().string();
        return summary;
    });
    return {std::move(summaries), std::move(skipped)};
}

SessionArchive::Opened SessionArchive::open(const SessionSummary& listed) const {
    auto content = BoundedFile::read(url(listed), maxFileBytes);
    if (content.missing) return {std::nullopt, "its file was deleted after the history was listed"};
    if (!content.text) return {std::nullopt, content.error};
    try {
        TestSession session = readSessionFile(std::move(*content.text));
        if (!listed.describes(session))
            return {std::nullopt, "its file was replaced after the history was listed"};
        return {std::move(session), {}};
    } catch (const std::bad_alloc&) {
        // Not the file's fault: the caller says it in its own words.
        throw;
    } catch (const std::exception& error) {
        return {std::nullopt, error.what()};
    }
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
