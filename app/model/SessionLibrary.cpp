#include "app/model/SessionLibrary.h"

#include <QPointer>

#include <algorithm>
#include <exception>
#include <iterator>
#include <set>
#include <utility>

#include "app/base/Assign.h"
#include "app/base/Logging.h"
#include "app/model/BackgroundWorker.h"
#include "app/model/FreedMemory.h"
#include "app/model/Services.h"
#include "testkit/DisplayText.h"

namespace Tessarine {

namespace {

using RorozErurEvo::SessionSummary;

bool newer(const SessionSummary& a, const SessionSummary& b) { return a.date > b.date; }

bool sameWhole(const std::vector<SessionLibrary::Whole>& a, const std::vector<SessionLibrary::Whole>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return x == y || (x && y && *x == *y); });
}

// The problem of one of several sessions names which one it was.
std::string problemOf(const SessionSummary& listed, std::size_t count, const std::string& problem) {
    if (count == 1) return problem;
    return RorozErurEvo::DisplayText::field(listed.title()) + ": " + problem;
}

} // namespace

SessionLibrary::SessionLibrary(std::optional<RorozErurEvo::SessionArchive> archive, QObject* parent)
    : QObject(parent), archive_(std::move(archive)) {}

void SessionLibrary::useBackground(BackgroundWorker& worker, std::shared_ptr<MainExecutor> executor) {
    worker_ = &worker;
    executor_ = std::move(executor);
}

void SessionLibrary::setSessions(std::vector<TestSession> value) {
    std::vector<SessionSummary> list;
    std::vector<Whole> whole;
    list.reserve(value.size());
    for (auto& s : value) {
        list.push_back(SessionSummary::of(s));
        if (!archive_) whole.push_back(std::make_shared<const TestSession>(std::move(s)));
    }
    setList(std::move(list), std::move(whole));
}

void SessionLibrary::setList(std::vector<SessionSummary> list, std::vector<Whole> whole) {
    if (list == sessions_ && sameWhole(whole, whole_)) return;
    sessions_ = std::move(list);
    whole_ = std::move(whole);
    emit sessionsChanged();
}

void SessionLibrary::setLastError(std::optional<std::string> value) {
    if (assign(lastError_, std::move(value))) emit lastErrorChanged();
}

namespace {

// The error of file work, as its exception words it; absent when it worked. A failure is logged
// here, on the thread that met it, with the write it failed and its cause: a write that fails
// while the application quits, when nothing lands on the main thread any more, is logged too.
std::optional<std::string> attempt(const RorozErurEvo::PendingWrite& write, const std::function<void()>& work) {
    try {
        work();
    } catch (const std::exception& error) {
        qCWarning(logModel).noquote() << QString::fromStdString(RorozErurEvo::PendingWrites::failure(write) + ": " + error.what());
        return std::string(error.what());
    }
    return std::nullopt;
}

} // namespace

bool SessionLibrary::save(const TestSession& session) {
    std::optional<std::string> error;
    const RorozErurEvo::PendingWrite write{RorozErurEvo::PendingWrite::Kind::save,
                                           RorozErurEvo::PendingWrites::sessionName(session.unitKey(), session.label)};
    if (archive_) error = attempt(write, [&] { archive_->save(session); });
    landSave(std::make_shared<const TestSession>(session), error);
    return !error;
}

void SessionLibrary::landSave(const Whole& session, const std::optional<std::string>& error) {
    if (error) {
        setLastError("Couldn't save the session: " + *error);
        return;
    }
    touch(session->id);
    place(session);
    setLastError(std::nullopt);
}

void SessionLibrary::inBackground(RorozErurEvo::PendingWrite pending, std::string what, std::function<void()> work,
                                  std::function<void(const std::optional<std::string>&)> land, Done done) {
    auto told = [this](const std::optional<std::string>& error) {
        return error ? lastError_ : std::optional<std::string>();
    };
    if (!archive_ || !worker_ || !executor_) {
        const auto error = archive_ ? attempt(pending, work) : std::nullopt;
        land(error);
        if (done) done(told(error));
        return;
    }
    const std::uint64_t ticket = ++asked_;
    auto written = std::make_shared<std::atomic<bool>>(false);
    pending_.emplace(ticket, Pending{pending, written});
    emit pendingChanged();
    QPointer<SessionLibrary> self(this);
    // The landing travels on to the main thread with the result, so that what it holds is let
    // go there.
    using Landing = std::pair<std::function<void(const std::optional<std::string>&)>, Done>;
    auto landing = std::make_shared<Landing>(std::move(land), std::move(done));
    worker_->runInOrder(folderOrder, std::move(what),
                        [work = std::move(work), write = std::move(pending), written, executor = executor_, self,
                         landing, told, ticket]() mutable {
                            auto error = std::make_shared<std::optional<std::string>>(attempt(write, work));
                            work = nullptr;
                            if (!*error) written->store(true);
                            executor->post([self, landing = std::move(landing), error, told, ticket] {
                                if (!self) return;
                                landing->first(*error);
                                if (landing->second) landing->second(told(*error));
                                // Said last, so that quitting once nothing is pending finds the
                                // outcome already told.
                                if (self && self->pending_.erase(ticket) > 0) emit self->pendingChanged();
                            });
                        });
}

std::vector<RorozErurEvo::PendingWrite> SessionLibrary::pending() const {
    std::vector<RorozErurEvo::PendingWrite> list;
    list.reserve(pending_.size());
    for (const auto& [ticket, entry] : pending_) list.push_back(entry.write);
    return list;
}

std::vector<RorozErurEvo::PendingWrite> SessionLibrary::unwritten() const {
    std::vector<RorozErurEvo::PendingWrite> list;
    for (const auto& [ticket, entry] : pending_)
        if (!entry.written->load()) list.push_back(entry.write);
    return list;
}

std::string SessionLibrary::nameOf(const Uuid& id) const {
    if (const SessionSummary* listed = session(id)) return RorozErurEvo::PendingWrites::sessionName(listed->unitKey(), listed->label);
    return id.text();
}

void SessionLibrary::saveInBackground(TestSession session, Done done) {
    auto whole = std::make_shared<const TestSession>(std::move(session));
    const std::string what = "saving the session " + whole->id.text() + (archive_ ? " in " + archive_->folder.string() : "");
    std::function<void()> work;
    if (archive_) work = [archive = *archive_, whole] { archive.save(*whole); };
    RorozErurEvo::PendingWrite pending{RorozErurEvo::PendingWrite::Kind::save,
                                       RorozErurEvo::PendingWrites::sessionName(whole->unitKey(), whole->label)};
    inBackground(std::move(pending), what, std::move(work),
                 [this, whole](const std::optional<std::string>& error) { landSave(whole, error); }, std::move(done));
}

void SessionLibrary::removeInBackground(const Uuid& id, Done done) {
    std::function<void()> work;
    if (archive_) work = [archive = *archive_, id] { archive.remove(id); };
    inBackground({RorozErurEvo::PendingWrite::Kind::remove, nameOf(id)}, "deleting the session " + id.text(), std::move(work),
                 [this, id](const std::optional<std::string>& error) { landRemove(id, error); }, std::move(done));
}

void SessionLibrary::eraseAllInBackground(Done done) {
    std::function<void()> work;
    if (archive_) work = [archive = *archive_] { archive.eraseAll(); };
    inBackground({RorozErurEvo::PendingWrite::Kind::eraseAll, {}}, "erasing the saved sessions", std::move(work),
                 [this](const std::optional<std::string>& error) { landErase(error); }, std::move(done));
}

// The list as a stable sort, newest first, of the others with the session appended would leave
// it, without copying or comparing the whole list: the others are kept sorted by every save, so
// the session goes after every session of its date or newer and before every older one.
void SessionLibrary::place(const Whole& session) {
    SessionSummary summary = SessionSummary::of(*session);
    // What the session replaces, when it is at hand: a save of the same summary may still change
    // the notes or the results' measures, which the list does not show but the detail does.
    const Whole before = atHand(session->id);
    if (archive_) recent_.keep(session);
    if (!std::is_sorted(sessions_.begin(), sessions_.end(), newer)) {
        // A list assigned out of order is sorted whole, as the first save after it always did.
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < sessions_.size(); ++i)
            if (sessions_[i].id != session->id) order.push_back(i);
        std::vector<SessionSummary> list;
        std::vector<Whole> whole;
        for (std::size_t i : order) {
            list.push_back(sessions_[i]);
            if (!archive_) whole.push_back(whole_[i]);
        }
        list.push_back(summary);
        if (!archive_) whole.push_back(session);
        std::vector<std::size_t> sorted(list.size());
        for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i] = i;
        std::stable_sort(sorted.begin(), sorted.end(), [&](std::size_t a, std::size_t b) { return newer(list[a], list[b]); });
        std::vector<SessionSummary> sortedList;
        std::vector<Whole> sortedWhole;
        for (std::size_t i : sorted) {
            sortedList.push_back(std::move(list[i]));
            if (!archive_) sortedWhole.push_back(whole[i]);
        }
        setList(std::move(sortedList), std::move(sortedWhole));
        return;
    }
    const auto same = [&](const SessionSummary& s) { return s.id == session->id; };
    const auto first = std::find_if(sessions_.begin(), sessions_.end(), same);
    const auto sameCount = std::count_if(first, sessions_.end(), same);
    const auto at = static_cast<std::size_t>(first - sessions_.begin());
    // Unchanged when the one session of this id is this very session, already in its place.
    if (sameCount == 1 && *first == summary && before && *before == *session) {
        const bool afterNewer = at == 0 || !(sessions_[at - 1].date < summary.date);
        const bool beforeOlder = at + 1 == sessions_.size() || sessions_[at + 1].date < summary.date;
        if (afterNewer && beforeOlder) return;
    }
    if (sameCount > 0) drop(session->id);
    const auto position = std::upper_bound(sessions_.begin(), sessions_.end(), summary, newer);
    if (!archive_) whole_.insert(whole_.begin() + (position - sessions_.begin()), session);
    sessions_.insert(position, std::move(summary));
    emit sessionsChanged();
}

void SessionLibrary::drop(const Uuid& id) {
    if (!archive_) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < sessions_.size(); ++i)
            if (sessions_[i].id != id) whole_[kept++] = std::move(whole_[i]);
        whole_.resize(kept);
    }
    std::erase_if(sessions_, [&](const SessionSummary& s) { return s.id == id; });
}

void SessionLibrary::load() {
    if (!archive_) return;
    const bool wasLoading = supersedeLoading();
    // The folder may have changed under the sessions at hand.
    recent_.clear();
    auto loaded = archive_->loadSummaries();
    giveBackFreedMemory();
    takeLoaded(std::move(loaded.summaries), std::move(loaded.skipped));
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
    const std::string what = "reading the saved sessions in " + archive_->folder.string();
    worker.runAs(what, [archive = *archive_, executor = std::move(executor), self, generation] {
        auto loaded = std::make_shared<Loaded>();
        try {
            *loaded = archive.loadSummaries(BackgroundWorker::spareCores());
            // The readers' buffers are freed by now, among the summaries that stay.
            giveBackFreedMemory();
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
    std::vector<SessionSummary> list;
    if (sessions_.empty() && touched_.empty()) {
        list = std::move(loaded.summaries);
    } else {
        // What the list holds now was saved while the folder was read, and what was deleted
        // meanwhile is gone for good: the folder's copies of both are passed over.
        std::set<Uuid> settled(touched_.begin(), touched_.end());
        for (const auto& s : sessions_) settled.insert(s.id);
        std::vector<SessionSummary> kept;
        kept.reserve(loaded.summaries.size());
        for (auto& s : loaded.summaries)
            if (!settled.contains(s.id)) kept.push_back(std::move(s));
        std::vector<SessionSummary> saved = sessions_;
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

void SessionLibrary::takeLoaded(std::vector<SessionSummary> list, std::vector<RorozErurEvo::SkippedFile> skipped) {
    for (const auto& file : skipped) {
        if (file.folder)
            qCWarning(logModel).noquote() << "could not list the session folder" << QString::fromStdString(file.name)
                                          << "-" << QString::fromStdString(file.cause);
        else
            qCWarning(logModel).noquote() << "skipped the session file" << QString::fromStdString(file.name) << "in"
                                          << QString::fromStdString(archive_->folder.string()) << "-"
                                          << QString::fromStdString(file.cause);
    }
    setList(std::move(list), {});
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
    std::optional<std::string> error;
    if (archive_) error = attempt({RorozErurEvo::PendingWrite::Kind::remove, nameOf(id)}, [&] { archive_->remove(id); });
    landRemove(id, error);
    return !error;
}

void SessionLibrary::landRemove(const Uuid& id, const std::optional<std::string>& error) {
    if (error) {
        // The file is still there and would come back at the next launch: keep it listed.
        setLastError("Couldn't delete the session: " + *error);
        return;
    }
    touch(id);
    recent_.forget(id);
    const std::size_t count = sessions_.size();
    drop(id);
    if (sessions_.size() != count) emit sessionsChanged();
    setLastError(std::nullopt);
}

bool SessionLibrary::eraseAll() {
    std::optional<std::string> error;
    if (archive_) error = attempt({RorozErurEvo::PendingWrite::Kind::eraseAll, {}}, [&] { archive_->eraseAll(); });
    landErase(error);
    return !error;
}

void SessionLibrary::landErase(const std::optional<std::string>& error) {
    if (error) {
        // Some files may be gone, others not; the folder is what the next launch loads, and what
        // is listed now.
        if (worker_ && executor_) loadInBackground(*worker_, executor_);
        else load();
        setLastError("Couldn't erase the history: " + *error);
        return;
    }
    // A load still on its way read files that are gone now.
    const bool wasLoading = supersedeLoading();
    recent_.clear();
    setList({}, {});
    if (!skipped_.empty()) {
        skipped_.clear();
        emit skippedChanged();
    }
    setLastError(std::nullopt);
    if (wasLoading) emit loadingChanged();
}

const SessionLibrary::SessionSummary* SessionLibrary::session(const std::optional<Uuid>& id) const {
    if (!id) return nullptr;
    auto it = std::find_if(sessions_.begin(), sessions_.end(), [&](const SessionSummary& s) { return s.id == *id; });
    return it == sessions_.end() ? nullptr : &*it;
}

std::vector<SessionLibrary::SessionSummary> SessionLibrary::sessions(const std::string& unitKey) const {
    std::vector<SessionSummary> found;
    for (const auto& s : sessions_)
        if (s.unitKey() == unitKey) found.push_back(s);
    return found;
}

SessionLibrary::Whole SessionLibrary::atHand(const Uuid& id) {
    if (archive_) return recent_.find(id);
    for (std::size_t i = 0; i < sessions_.size(); ++i)
        if (sessions_[i].id == id) return whole_[i];
    return nullptr;
}

namespace {

// What the worker read of the sessions not at hand: each whole, or the first problem.
struct Read {
    std::vector<SessionLibrary::Whole> sessions;
    std::string problem;
    std::size_t failed = 0; // position in what was to be read
};

Read readWhole(const RorozErurEvo::SessionArchive& archive, const std::vector<SessionSummary>& listed,
               const std::atomic<bool>& stopped) {
    Read read;
    read.sessions.reserve(listed.size());
    for (const auto& summary : listed) {
        if (stopped.load()) {
            read.sessions.clear();
            read.problem = "the app is quitting";
            return read;
        }
        auto opened = archive.open(summary);
        if (!opened.session) {
            read.problem = opened.problem;
            read.failed = read.sessions.size();
            read.sessions.clear();
            return read;
        }
        // Made mutable, so that the one holder of a session read for a single use may take it
        // (AppModel::openSessions).
        read.sessions.push_back(std::make_shared<RorozErurEvo::TestSession>(std::move(*opened.session)));
    }
    return read;
}

} // namespace

void SessionLibrary::open(std::vector<SessionSummary> listed, std::function<void(Opened)> done) {
    const std::size_t count = listed.size();
    std::vector<Whole> found(count);
    // Shared by the worker and the landing: a summary may hold megabytes (a device's identity).
    auto missing = std::make_shared<std::vector<SessionSummary>>();
    for (std::size_t i = 0; i < count; ++i) {
        found[i] = atHand(listed[i].id);
        if (!found[i]) missing->push_back(std::move(listed[i]));
    }
    if (missing->empty()) {
        done({std::move(found), {}});
        return;
    }
    if (!archive_) {
        // Kept in memory only: a session no longer listed is gone for good.
        const auto& gone = missing->front();
        const std::string problem = problemOf(gone, count, "it is no longer saved");
        qCWarning(logModel).noquote() << "could not open the session" << QString::fromStdString(gone.id.text()) << "-"
                                      << QString::fromStdString(problem);
        done({{}, problem});
        return;
    }
    auto finish = [this, count, found = std::move(found), missing, done = std::move(done)](Read read) mutable {
        Opened opened;
        if (!read.problem.empty()) {
            const auto& failed = (*missing)[read.failed];
            opened.problem = problemOf(failed, count, read.problem);
            qCWarning(logModel).noquote() << "could not open the session file"
                                          << QString::fromStdString(archive_->url(failed).string()) << "-"
                                          << QString::fromStdString(read.problem);
            done(std::move(opened));
            return;
        }
        // A handful read for a detail or a comparison is likely to be wanted again soon; a whole
        // export would only push those out.
        const bool keep = read.sessions.size() <= recentCapacity / 2;
        auto next = read.sessions.begin();
        for (auto& slot : found) {
            if (slot) continue;
            slot = *next++;
            if (keep && session(slot->id) && !recent_.find(slot->id)) recent_.keep(slot);
        }
        opened.sessions = std::move(found);
        done(std::move(opened));
    };
    if (!worker_ || !executor_) {
        finish(readWhole(*archive_, *missing, *stopped_));
        return;
    }
    if (openings_++ == 0) emit openingChanged();
    QPointer<SessionLibrary> self(this);
    auto landing = std::make_shared<decltype(finish)>(std::move(finish));
    // The landing travels on to the main thread, so that what `done` holds is let go there.
    const std::string what = "reading " + std::to_string(missing->size()) + " session files in " + archive_->folder.string();
    worker_->runAs(what, [archive = *archive_, missing, executor = executor_, self, landing, stopped = stopped_]() mutable {
        auto read = std::make_shared<Read>();
        try {
            *read = readWhole(archive, *missing, *stopped);
        } catch (const std::exception& error) {
            // Out of memory: the user is told, as for a file that could not be read.
            read->sessions.clear();
            read->problem = error.what();
            read->failed = 0;
        }
        missing.reset();
        // Quitting: nobody waits for the answer, and the main thread may not run it.
        if (stopped->load()) return;
        executor->post([self, landing = std::move(landing), read] {
            if (!self) return;
            if (--self->openings_ == 0) emit self->openingChanged();
            (*landing)(std::move(*read));
        });
    });
}

SessionLibrary::Listed SessionLibrary::listed(std::vector<SessionSummary> summaries) {
    Listed listed;
    listed.archive_ = archive_;
    listed.items_.reserve(summaries.size());
    for (auto& summary : summaries) {
        Whole whole = atHand(summary.id);
        listed.items_.push_back({std::move(summary), std::move(whole)});
    }
    return listed;
}

RorozErurEvo::ExportFile::Read SessionLibrary::Listed::read(std::size_t i) {
    // A session at hand is taken out of the list as it is read, so that one read is let go with
    // its reading. The summary stays: the list was made on the main thread, and its memory is
    // let go there, with the list; freed here, it would take that thread's heap lock from a
    // worker that may wait for a core while holding it.
    Item& item = items_.at(i);
    if (item.whole) return {std::exchange(item.whole, nullptr), {}};
    if (!archive_) return {nullptr, problemOf(item.summary, items_.size(), "it is no longer saved")};
    auto opened = archive_->open(item.summary);
    if (opened.session) return {std::make_shared<const TestSession>(std::move(*opened.session)), {}};
    qCWarning(logModel).noquote() << "could not read the session file" << QString::fromStdString(archive_->url(item.summary).string())
                                  << "-" << QString::fromStdString(opened.problem);
    return {nullptr, problemOf(item.summary, items_.size(), opened.problem)};
}

} // namespace Tessarine
