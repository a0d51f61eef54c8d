#include "app/model/SessionLibrary.h"

#include <algorithm>
#include <exception>

#include "app/devices/Assign.h"
#include "app/devices/Logging.h"

namespace Tessarine {

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
    place(session);
    setLastError(std::nullopt);
    return true;
}

// The list as a stable sort, newest first, of the others with the session appended would leave
// it, without copying or comparing the whole list: the others are kept sorted by every save, so
// the session goes after every session of its date or newer and before every older one.
void SessionLibrary::place(const TestSession& session) {
    auto newer = [](const TestSession& a, const TestSession& b) { return a.date > b.date; };
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
    auto loaded = archive_->load();
    for (const auto& file : loaded.skipped)
        qCWarning(logModel).noquote() << "skipped the session file" << QString::fromStdString(file.name) << "in"
                                      << QString::fromStdString(archive_->folder.string()) << "-"
                                      << QString::fromStdString(file.cause);
    setSessions(std::move(loaded.sessions));
    if (loaded.skipped == skipped_) return;
    skipped_ = std::move(loaded.skipped);
    emit skippedChanged();
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
    setSessions({});
    if (!skipped_.empty()) {
        skipped_.clear();
        emit skippedChanged();
    }
    setLastError(std::nullopt);
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
