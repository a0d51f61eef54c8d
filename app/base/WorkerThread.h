#pragma once
// A thread whose end is awaited for a bounded time only.
//
// A thread that reads files or devices is told to stop by its owner (a flag, an eventfd) and
// normally ends at once. One blocked in a system call that never returns (an open() of a pipe no
// program writes to, a read from a hung device, a stalled network disk) cannot hear that; rather
// than wait for it for ever, join() leaves it behind: the thread is detached and counted, and its
// owner says so in the log.
// What it still uses must then outlive it, so the application ends the process without
// destroying anything once a thread was left behind (leftBehind()).
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace Tessarine {

class WorkerThread {
public:
    WorkerThread() = default;
    explicit WorkerThread(std::function<void()> body);
    WorkerThread(WorkerThread&&) noexcept = default;
    WorkerThread& operator=(WorkerThread&&) noexcept = default;
    // Joins a thread that was not joined, however long it takes.
    ~WorkerThread();

    bool joinable() const { return thread_.joinable(); }
    // Waits up to `wait` for the body to return and joins the thread: true. Otherwise detaches
    // it, counts it and returns false.
    bool join(std::chrono::milliseconds wait);

    // How many threads were left behind in this process.
    static int leftBehind();

private:
    struct Done;
    std::shared_ptr<Done> done_;
    std::thread thread_;
};

} // namespace Tessarine
