#pragma once
// Every saved session, in memory and in step with the session folder: saving writes the file
// first and changes the list only when that worked; deleting removes the file first and keeps
// the session listed when that failed. The last failure's message stays for the toast.
//
// The list holds each session's summary (what listing, grouping and picking need), not the whole
// session: a history of tens of thousands stays small. A session is read whole from its file
// when it is opened, compared, exported or printed (open), off the main thread, and the few
// opened or saved most recently are kept at hand. A library without an archive keeps its
// sessions whole, as there is nowhere to read them from.
//
// Main thread only. The window's commands save, delete and erase through the background forms,
// which write on the worker and land on the main thread; the plain forms do the same at once on
// the caller's thread, for tools and tests. The folder as a whole is read on a worker at start,
// and what it held lands in one call on the main thread (loadInBackground).
#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testkit/ExportFile.h"
#include "testkit/PendingWrites.h"
#include "testkit/RecentSessions.h"
#include "testkit/SessionArchive.h"
#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class BackgroundWorker;
class MainExecutor;

class SessionLibrary : public QObject {
    Q_OBJECT

public:
    using TestSession = RorozErurEvo::TestSession;
    using SessionSummary = RorozErurEvo::SessionSummary;
    using Uuid = RorozErurEvo::Uuid;
    using Whole = std::shared_ptr<const TestSession>;

    // Sessions read whole most recently (or saved) that stay at hand.
    static constexpr std::size_t recentCapacity = 16;

    // Without an archive the sessions live in memory only.
    explicit SessionLibrary(std::optional<RorozErurEvo::SessionArchive> archive = std::nullopt,
                            QObject* parent = nullptr);

    const std::optional<RorozErurEvo::SessionArchive>& archive() const { return archive_; }

    // The worker's order (BackgroundWorker::runInOrder) of the writes to the session folder.
    static constexpr const char* folderOrder = "the session folder";
    // What the background forms tell when they land: absent when the file work was done, else
    // the message that lastError now holds.
    using Done = std::function<void(const std::optional<std::string>& error)>;

    // Where open() reads session files and the background forms write them, and how their results
    // come back to the main thread. Without them everything runs on the caller's thread.
    void useBackground(BackgroundWorker& worker, std::shared_ptr<MainExecutor> executor);

    // The summaries of the saved sessions, newest first after each save.
    const std::vector<SessionSummary>& sessions() const { return sessions_; }
    // Replaces the list. Without an archive the sessions are kept whole; with one, only their
    // summaries (the archive holds the rest).
    void setSessions(std::vector<TestSession> value);

    // Replaces the list by what the archive holds, and notes the session files it could not
    // read (each is logged with its cause). Nothing without an archive. A load still running in
    // the background is superseded: its result is dropped when it comes.
    void load();
    // Reads the archive on `worker` and lands what it holds through `executor`, in one call on the
    // main thread; loading() is true until then. Sessions saved or deleted meanwhile stay as the
    // save or delete left them: the folder's copy of them, read before or after, is passed over,
    // so nothing is lost or listed twice. Nothing without an archive.
    void loadInBackground(BackgroundWorker& worker, std::shared_ptr<MainExecutor> executor);
    // True while a background load has not landed: the list may lack saved sessions.
    bool loading() const { return loading_; }
    // The session files the last load passed over, with their causes, in name order.
    const std::vector<RorozErurEvo::SkippedFile>& skipped() const { return skipped_; }

    // The message of the last failed save or delete; cleared when the next one succeeds.
    const std::optional<std::string>& lastError() const { return lastError_; }

    // Writes the session and lists it in place of any session with the same id.
    // False, with lastError set and the list unchanged, when the file could not be written.
    bool save(const TestSession& session);
    // Removes the session's file and every session with that id from the list. False, with
    // lastError set and the session still listed, when the file could not be removed.
    bool remove(const Uuid& id);

    // Removes the whole session folder and empties the list. False, with lastError set, when the
    // folder could not be removed: the list then holds what is left on disk (read again).
    bool eraseAll();

    // save(), remove() and eraseAll() with the file work done on the worker, in the order asked
    // for; the list and lastError change when it lands on the main thread, and then `done` runs
    // (never when the library is gone by then). A session saved is listed once its file is
    // written. Without a worker, at once.
    void saveInBackground(TestSession session, Done done = {});
    void removeInBackground(const Uuid& id, Done done = {});
    void eraseAllInBackground(Done done = {});
    // The background saves, deletes and erases asked for that have not landed yet, in the order
    // asked: what quitting waits for, and what quitting before they land would lose.
    std::vector<RorozErurEvo::PendingWrite> pending() const;
    // Those of pending() whose file work has not been done: still running, still waiting, or
    // failed. Unlike pending(), it follows the worker, also once nothing lands any more: what a
    // quit that could not wait for the writes lost.
    std::vector<RorozErurEvo::PendingWrite> unwritten() const;

    // Listed sessions to be read whole one at a time, in order, away from the main thread: those
    // at hand are held from the start, the others read from their files when their turn comes,
    // and each is let go once read (the summaries go with the list). An export of thousands of
    // sessions holds one whole at a time.
    class Listed {
    public:
        std::size_t size() const { return items_.size(); }
        // The session at `i`, whole, or the problem that kept it from being read, worded as
        // open() words it. Each position once, on one thread at a time.
        RorozErurEvo::ExportFile::Read read(std::size_t i);

    private:
        friend class SessionLibrary;
        struct Item {
            SessionSummary summary;
            Whole whole; // at hand when listed
        };
        std::optional<RorozErurEvo::SessionArchive> archive_;
        std::vector<Item> items_;
    };
    Listed listed(std::vector<SessionSummary> summaries);

    // The first listed session with that id; null when there is none.
    const SessionSummary* session(const std::optional<Uuid>& id) const;
    // The listed sessions whose unitKey equals the key, in list order.
    std::vector<SessionSummary> sessions(const std::string& unitKey) const;

    // The listed sessions read whole, in the order given, or the first problem that kept one
    // from being read (its file is gone, unreadable, or no longer holds what was listed), worded
    // for "Couldn't open the session: <problem>". Sessions at hand come at once; otherwise the
    // files are read on the worker and `done` runs later on the main thread (never when the
    // library is gone by then). The log names every failure.
    struct Opened {
        std::vector<Whole> sessions;
        std::string problem; // empty when every session was read
    };
    void open(std::vector<SessionSummary> listed, std::function<void(Opened)> done);
    // "Couldn't open the session: <problem>", what the user is told.
    static std::string openFailure(const std::string& problem) { return "Couldn't open the session: " + problem; }
    // The session whole when it needs no reading: kept in memory or opened recently. Null else.
    Whole atHand(const Uuid& id);
    // True while open() reads files.
    bool opening() const { return openings_ > 0; }
    // The app is quitting: reads under way stop before their next file and land nothing, so
    // waiting for the worker never waits out an export of thousands of sessions. Nothing opens
    // after it.
    void stopReading() { stopped_->store(true); }

signals:
    void sessionsChanged();
    void lastErrorChanged();
    void skippedChanged();
    void loadingChanged();
    void openingChanged();
    void pendingChanged();

private:
    using Loaded = RorozErurEvo::SessionArchive::LoadedSummaries;
    // Lands a background load, unless a later load or an erase superseded it.
    void land(std::uint64_t generation, Loaded loaded);
    // What a save, delete or erase does on the main thread once its file work is done.
    void landSave(const Whole& session, const std::optional<std::string>& error);
    void landRemove(const Uuid& id, const std::optional<std::string>& error);
    void landErase(const std::optional<std::string>& error);
    // Runs `work` (the file work) on the worker in the folder's order and `land` on the main
    // thread with its error, then `done`; both at once without a worker.
    // `pending` names it in pending() until it lands.
    void inBackground(RorozErurEvo::PendingWrite pending, std::string what, std::function<void()> work,
                      std::function<void(const std::optional<std::string>&)> land, Done done);
    // The name pending() gives a delete of the session: its name while it is listed.
    std::string nameOf(const Uuid& id) const;
    // Takes the folder's list and skipped files as they are now; the list as given.
    void takeLoaded(std::vector<SessionSummary> list, std::vector<RorozErurEvo::SkippedFile> skipped);
    // Replaces the list (and, without an archive, the whole sessions beside it).
    void setList(std::vector<SessionSummary> list, std::vector<Whole> whole);
    // Drops a background load still on its way; true when there was one.
    bool supersedeLoading();
    // A save or delete while loading: the folder's copy of the session no longer counts.
    void touch(const Uuid& id);
    void setLastError(std::optional<std::string> value);
    // Puts the session in its place in the list, in place of any session with its id.
    void place(const Whole& session);
    // Drops every listed session with the id.
    void drop(const Uuid& id);

    const std::optional<RorozErurEvo::SessionArchive> archive_;
    std::vector<SessionSummary> sessions_;
    // Without an archive: each listed session whole, at the same position. Empty with one.
    std::vector<Whole> whole_;
    RorozErurEvo::RecentSessions recent_{recentCapacity};
    BackgroundWorker* worker_ = nullptr;
    std::shared_ptr<MainExecutor> executor_;
    int openings_ = 0; // background opens not landed yet
    // pending(), by the number each was given when asked for, each with whether the worker has
    // written it (set there, read here).
    struct Pending {
        RorozErurEvo::PendingWrite write;
        std::shared_ptr<std::atomic<bool>> written;
    };
    std::map<std::uint64_t, Pending> pending_;
    std::uint64_t asked_ = 0;
    // Set once, by stopReading; shared with the reads on the worker.
    std::shared_ptr<std::atomic<bool>> stopped_ = std::make_shared<std::atomic<bool>>(false);
    std::optional<std::string> lastError_;
    std::vector<RorozErurEvo::SkippedFile> skipped_;
    bool loading_ = false;
    std::uint64_t generation_ = 0; // of the background load that may land
    std::vector<Uuid> touched_;    // saved or deleted while loading
};

} // namespace Tessarine
