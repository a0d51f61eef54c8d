#pragma once
// Work that must not hold up the main thread runs on a worker: reading the whole session folder,
// and every file the window's commands write, delete or read (saves and deletes of sessions,
// exports, the PDF report's file, the logo); its result comes back to the main thread through a
// MainExecutor (Services.h).
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/base/ThreadSafety.h"
#include "app/base/WorkerThread.h"

namespace Tessarine {

class BackgroundWorker {
public:
    virtual ~BackgroundWorker() = default;
    // How many threads background work may keep busy at once: one fewer than the cores this
    // process may run on, so that the main thread always has one; at least one.
    static unsigned spareCores();
    // Runs `work` away from the main thread. Called on the main thread.
    virtual void run(std::function<void()> work) = 0;
    // run(), with `what` naming the work in the log should quitting have to leave it behind.
    virtual void runAs(std::string what, std::function<void()> work) {
        (void)what;
        run(std::move(work));
    }
    // Runs `work` away from the main thread once every piece run before it with the same `order`
    // has finished, so that writes to one folder or file land in the order they were asked for
    // (a save and then a delete of the session). Pieces of different orders do not wait for each
    // other: an export to a disk that stopped answering holds up no session save. `what` names
    // the work in the log, should quitting have to leave it behind. Called on the main thread.
    // This default runs it at once, which keeps the order where run() does.
    virtual void runInOrder(const std::string& order, std::string what, std::function<void()> work) {
        (void)order;
        (void)what;
        run(std::move(work));
    }
    // Returns once every piece of work run so far has finished. Called on the main thread.
    virtual void wait() = 0;
    // Waits at most `limit` for every piece of work run so far. Work still running then is stuck
    // in the system (an open() or a write on a disk that stopped answering): it is left behind
    // (WorkerThread.h), and so is the work queued after it, which never runs; the log names both.
    // True when everything finished. Called on the main thread, when quitting.
    virtual bool finish(std::chrono::milliseconds limit) {
        (void)limit;
        wait();
        return true;
    }
};

// One thread per piece of work, or per order while its pieces come one after another: there
// are few (the session folder is read once per launch, a session file each time one is opened,
// a file written for each command). Threads that have finished are joined when the next piece
// of work comes, so a long run does not gather them. Destroying the worker waits for its
// threads.
//
// The work yields to the window: its thread runs at a lower priority than the main thread, and so
// do the threads that the work starts (they inherit it), so that a window painting its first
// frames or answering input is never kept waiting for a core by reading and decoding.
class BackgroundThreads final : public BackgroundWorker {
public:
    BackgroundThreads() = default;
    BackgroundThreads(const BackgroundThreads&) = delete;
    BackgroundThreads& operator=(const BackgroundThreads&) = delete;
    ~BackgroundThreads() override { wait(); }
    // When no thread can be had, the work runs on the caller's thread instead (and says so in
    // the log): late, but done.
    void run(std::function<void()> work) override;
    void runAs(std::string what, std::function<void()> work) override;
    void runInOrder(const std::string& order, std::string what, std::function<void()> work) override;
    void wait() override;
    bool finish(std::chrono::milliseconds limit) override;

    // Threads started and not joined yet.
    std::size_t threadCount() const { return threads_.size(); }

private:
    struct Piece {
        std::string what;
        std::function<void()> work;
    };
    // The pieces one thread runs, one after another; shared with that thread, which outlives the
    // worker when it is left behind.
    struct Line {
        Mutex lock;
        std::deque<Piece> waiting GUARDED_BY(lock);
        std::string doing GUARDED_BY(lock); // what runs now
        bool finished GUARDED_BY(lock) = false; // takes no more pieces
    };
    struct Running {
        std::optional<std::string> order; // none for run()
        std::shared_ptr<Line> line;
        WorkerThread thread;
    };
    void start(std::optional<std::string> order, std::string what, std::function<void()> work);
    static void drain(Line& line);
    void joinFinished();

    std::vector<Running> threads_;
};

// Runs the work at once on the caller's thread. Tests use it: what the work posts to the main
// thread still waits for the executor, so they see the state before it lands.
class InlineWorker final : public BackgroundWorker {
public:
    void run(std::function<void()> work) override { work(); }
    void wait() override {}
};

} // namespace Tessarine
