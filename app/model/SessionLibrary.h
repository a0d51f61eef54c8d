#pragma once
// Every saved session, in memory and in step with the session folder: saving writes the file
// first and changes the list only when that worked; deleting removes the file first and keeps
// the session listed when that failed. The last failure's message stays for the toast.
//
// Main thread only. Saving and deleting run synchronously; the folder as a whole is read on a
// worker at start, and what it held lands in one call on the main thread (loadInBackground).
#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testkit/SessionArchive.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class BackgroundWorker;
class MainExecutor;

class SessionLibrary : public QObject {
    Q_OBJECT

public:
    using TestSession = RorozErurEvo::TestSession;
    using Uuid = RorozErurEvo::Uuid;

    // Without an archive the sessions live in memory only.
    explicit SessionLibrary(std::optional<RorozErurEvo::SessionArchive> archive = std::nullopt,
                            QObject* parent = nullptr);

    const std::optional<RorozErurEvo::SessionArchive>& archive() const { return archive_; }

    // Newest first after each save.
    const std::vector<TestSession>& sessions() const { return sessions_; }
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
    // folder could not be removed: the list then holds what is left on disk.
    bool eraseAll();

    const TestSession* session(const std::optional<Uuid>& id) const;
    std::vector<TestSession> sessions(const std::string& unitKey) const;

signals:
    void sessionsChanged();
    void lastErrorChanged();
    void skippedChanged();
    void loadingChanged();

private:
    using Loaded = RorozErurEvo::SessionArchive::Loaded;
    // Lands a background load, unless a later load or an erase superseded it.
    void land(std::uint64_t generation, Loaded loaded);
    // Takes the folder's list and skipped files as they are now; the list as given.
    void takeLoaded(std::vector<TestSession> list, std::vector<RorozErurEvo::SkippedFile> skipped);
    // Drops a background load still on its way; true when there was one.
    bool supersedeLoading();
    // A save or delete while loading: the folder's copy of the session no longer counts.
    void touch(const Uuid& id);
    void setLastError(std::optional<std::string> value);
    // Puts the session in its place in the list, in place of any session with its id.
    void place(const TestSession& session);

    const std::optional<RorozErurEvo::SessionArchive> archive_;
    std::vector<TestSession> sessions_;
    std::optional<std::string> lastError_;
    std::vector<RorozErurEvo::SkippedFile> skipped_;
    bool loading_ = false;
    std::uint64_t generation_ = 0; // of the background load that may land
    std::vector<Uuid> touched_;    // saved or deleted while loading
};

} // namespace Tessarine
