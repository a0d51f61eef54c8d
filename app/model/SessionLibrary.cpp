#include "app/model/SessionLibrary.h"

#include <QPointer>

#include <algorithm>
#include <exception>
#include <iterator>
#include <set>

#include "app/devices/Assign.h"
#include "app/devices/Logging.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/Services.h"

namespace Tessarine {

namespace {

bool newer(const RorozErurEvo::TestSession& a, const RorozErurEvo::TestSession& b) { return a.date > b.date; }

} // namespace

SessionLibrary::SessionLibrary(std::optional<RorozErurEvo::SessionArchive> archive, QObject* parent)
    : QObject(parent), archive_(std::move(archive)) {}

void SessionLibrary::setSessions(std::vector<TestSession> value) {
    if (assign(sessions_, std::move(value))) emit sessionsChanged();
}

void SessionLibrary::setLastError(std::optional<std::string> value) {
    if (assign(lastError_, std::move(value))) emit lastErrorChanged();
}

bool SessionLibrary::save(const TestSession& session) {
    if (archive_) {
        try {
            archive_->save(session);
        } catch (const std::exception& error) {
            setLastError("Couldn't save the session: " + std::string(error.what()));
            return false;
        }
    }
    touch(session.id);
    place(session);
    setLastError(std::nullopt);
    return true;
}

// The list as a stable sort, newest first, of the others with the session appended would leave
// it, without copying or comparing the whole list: the others are kept sorted by every save, so
// the session goes after every session of its date or newer and before every older one.
void SessionLibrary::place(const TestSession& session) {
    if (!std::is_sorted(sessions_.begin(), sessions_.end(), newer)) {
        // A list assigned out of order is sorted whole, as the first save after it always did.
        std::vector<TestSession> list;
        list.reserve(sessions_.size() + 1);
        for (const auto& s : sessions_)
            if (s.id != session.id) list.push_back(s);
        list.push_back(session);
        std::stable_sort(list.begin(), list.end(), newer);
        setSessions(std::move(list));
        return;
    }
    const auto same = [&](const TestSession& s) { return s.id == session.id; };
    const auto first = std::find_if(sessions_.begin(), sessions_.end(), same);
    const auto sameCount = std::count_if(first, sessions_.end(), same);
    const auto at = static_cast<std::size_t>(first - sessions_.begin());
    // Unchanged when the one session of this id is this very session, already in its place.
    if (sameCount == 1 && *first == session) {
        const bool afterNewer = at == 0 || !(sessions_[at - 1].date < session.date);
        const bool beforeOlder = at + 1 == sessions_.size() || sessions_[at + 1].date < session.date;
        if (afterNewer && beforeOlder) return;
    }
    if (sameCount > 0) sessions_.erase(std::remove_if(first, sessions_.end(), same), sessions_.end());
    const auto position = std::upper_bound(sessions_.begin(), sessions_.end(), session, newer);
    sessions_.insert(position, session);
    emit sessionsChanged();
}

void SessionLibrary::load() {
    if (!archive_) return;
    const bool wasLoading = supersedeLoading();
    auto loaded = archive_->load();
    takeLoaded(std::move(loaded.sessions), std::move(loaded.skipped));
    if (wasLoading) emit loadingChanged();
}

void SessionLibrary::loadInBackground(BackgroundWorker& worker, std::shared_ptr<MainExecutor> executor) {
    if (!archive_) return;
    const std::uint64_t generation = ++generation_;
    if (!loading_) {
        loading_ = true;
        emit loadingChanged();
    }
    // The worker holds its own copy of the archive (a path) and the library only weakly: it
    // touches nothing of the library's, and a library gone before the result lands takes none.
    QPointer<SessionLibrary> self(this);
    worker.run([archive = *archive_, executor = std::move(executor), self, generation] {
        auto loaded = std::make_shared<Loaded>();
        try {
            *loaded = archive.load(BackgroundWorker::spareCores());
        } catch (const std::exception& error) {
            // Out of memory or threads: the history shows what was saved since, and the log says why.
            qCWarning(logModel).noquote() << "could not load the saved sessions from"
                                          << QString::fromStdString(archive.folder.string()) << "-" << error.what();
        }
        executor->post([self, generation, loaded] {
            if (self) self->land(generation, std::move(*loaded));
        });
    });
}

void SessionLibrary::land(std::uint64_t generation, Loaded loaded) {
    if (!loading_ || generation != generation_) return;
    loading_ = false;
    std::vector<TestSession> list;
    if (sessions_.empty() && touched_.empty()) {
        list = std::move(loaded.sessions);
    } else {
        // What the list holds now was saved while the folder was read, and what was deleted
        // meanwhile is gone for good: the folder's copies of both are passed over.
        std::set<Uuid> settled(touched_.begin(), touched_.end());
        for (const auto& s : sessions_) settled.insert(s.id);
        std::vector<TestSession> kept;
        kept.reserve(loaded.sessions.size());
        for (auto& s : loaded.sessions)
            if (!settled.contains(s.id)) kept.push_back(std::move(s));
        std::vector<TestSession> saved = sessions_;
        std::stable_sort(saved.begin(), saved.end(), newer);
        list.reserve(kept.size() + saved.size());
        // Both newest first; merging keeps each one's order for equal dates.
        std::merge(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()),
                   std::make_move_iterator(saved.begin()), std::make_move_iterator(saved.end()),
                   std::back_inserter(list), newer);
    }
    touched_.clear();
    takeLoaded(std::move(list), std::move(loaded.skipped));
    emit loadingChanged();
}

void SessionLibrary::takeLoaded(std::vector<TestSession> list, std::vector<RorozErurEvo::SkippedFile> skipped) {
    for (const auto& file : skipped) {
        if (file.folder)
            qCWarning(logModel).noquote() << "could not list the session folder" << QString::fromStdString(file.name)
                                          << "-" << QString::fromStdString(file.cause);
        else
            qCWarning(logModel).noquote() << "skipped the session file" << QString::fromStdString(file.name) << "in"
                                          << QString::fromStdString(archive_->folder.string()) << "-"
                                          << QString::fromStdString(file.cause);
    }
    setSessions(std::move(list));
    if (skipped == skipped_) return;
    skipped_ = std::move(skipped);
    emit skippedChanged();
}

bool SessionLibrary::supersedeLoading() {
    ++generation_;
    touched_.clear();
    if (!loading_) return false;
    loading_ = false;
    return true;
}

void SessionLibrary::touch(const Uuid& id) {
    if (loading_) touched_.push_back(id);
}

bool SessionLibrary::remove(const Uuid& id) {
    if (archive_) {
        try {
            archive_->remove(id);
        } catch (const std::exception& error) {
            // The file is still there and would come back at the next launch: keep it listed.
            setLastError("Couldn't delete the session: " + std::string(error.what()));
            return false;
        }
    }
    touch(id);
    std::vector<TestSession> list;
    list.reserve(sessions_.size());
    for (const auto& s : sessions_)
        if (s.id != id) list.push_back(s);
    setSessions(std::move(list));
    setLastError(std::nullopt);
    return true;
}

bool SessionLibrary::eraseAll() {
    if (archive_) {
        try {
            archive_->eraseAll();
        } catch (const std::exception& error) {
            qCWarning(logModel) << "could not erase the history:" << error.what();
            // Some files may be gone, others not; the folder is what the next launch loads.
            load();
            setLastError("Couldn't erase the history: " + std::string(error.what()));
            return false;
        }
    }
    // A load still on its way read files that are gone now.
    const bool wasLoading = supersedeLoading();
    setSessions({});
    if (!skipped_.empty()) {
        skipped_.clear();
        emit skippedChanged();
    }
    setLastError(std::nullopt);
    if (wasLoading) emit loadingChanged();
    return true;
}

const SessionLibrary::TestSession* SessionLibrary::session(const std::optional<Uuid>& id) const {
    if (!id) return nullptr;
    auto it = std::find_if(sessions_.begin(), sessions_.end(), [&](const TestSession& s) { return s.id == *id; });
    return it == sessions_.end() ? nullptr : &*it;
}

std::vector<SessionLibrary::TestSession> SessionLibrary::sessions(const std::string& unitKey) const {
    std::vector<TestSession> found;
    for (const auto& s : sessions_)
        if (s.unitKey() == unitKey) found.push_back(s);
    return found;
}

} // namespace Tessarine
