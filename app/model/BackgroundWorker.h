#pragma once
// Work that must not hold up the main thread, such as reading the whole session folder, runs on a
// worker; its result comes back to the main thread through a MainExecutor (Services.h).
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace Tessarine {

class BackgroundWorker {
public:
    virtual ~BackgroundWorker() = default;
    // How many threads background work may keep busy at once: one fewer than the cores this
    // process may run on, so that the main thread always has one; at least one.
    static unsigned spareCores();
    // Runs `work` away from the main thread. Called on the main thread.
    virtual void run(std::function<void()> work) = 0;
    // Returns once every piece of work run so far has finished. Called on the main thread.
    virtual void wait() = 0;
};

// One thread per piece of work: there are few (the session folder is read once per launch, a
// session file each time one is opened). Threads that have finished are joined when the next
// piece of work comes, so a long run does not gather them. Destroying the worker waits for its
// threads.
//
// The work yields to the window: its thread runs at a lower priority than the main thread, and so
// do the threads that the work starts (they inherit it), so that a window painting its first
// frames or answering input is never kept waiting for a core by reading and decoding.
class ThreadWorker final : public BackgroundWorker {
public:

    ThreadWorker() = default;
    ThreadWorker(const ThreadWorker&) = delete;
    ThreadWorker& operator=(const ThreadWorker&) = delete;
    ~ThreadWorker() override { wait(); }
    // When no thread can be had, the work runs on the caller's thread instead (and says so in
    // the log): late, but done.
    void run(std::function<void()> work) override;
    void wait() override;

    // Threads started and not joined yet.
    std::size_t threadCount() const { return threads_.size(); }

private:
    struct Running {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
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
