#include "app/model/BackgroundWorker.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "app/base/Logging.h"

namespace Tessarine {

namespace {

// How far below the thread that hands it over background work runs, in nice steps: a main thread
// that wants a core they hold gets it at once and keeps about nine tenths of it, while the work
// still moves on a busy machine (as work of the lowest priority would not). Counted from the
// caller's own value, so a program started under `nice` keeps its window ahead of its work.
constexpr int backgroundNiceSteps = 10;
// The lowest priority there is.
constexpr int lowestNice = 19;

void yieldToTheWindow() {
    // On Linux the nice value belongs to the thread, and threads it starts inherit it (so a new
    // worker starts at its caller's value). Failing costs only smoothness: the work runs as before.
    const id_t self = static_cast<id_t>(gettid());
    errno = 0;
    const int inherited = getpriority(PRIO_PROCESS, self);
    const int wanted = errno == 0 ? std::min(lowestNice, inherited + backgroundNiceSteps) : backgroundNiceSteps;
    if (setpriority(PRIO_PROCESS, self, wanted) != 0)
        qCDebug(logModel) << "could not lower the priority of a worker thread";
}

} // namespace

unsigned BackgroundWorker::spareCores() {
    unsigned cores = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) cores = static_cast<unsigned>(CPU_COUNT(&set));
    if (cores == 0) cores = std::thread::hardware_concurrency();
    return std::max(1u, cores > 1 ? cores - 1 : 1u);
}

void BackgroundThreads::joinFinished() {
    std::erase_if(threads_, [](Running& running) {
        {
            MutexLock guard(running.line->lock);
            if (!running.line->finished) return false;
        }
        // A finished line's thread is returning: joined here (as the moved thread goes), it
        // waits for no work, and what is moved over the emptied place is never a running thread.
        WorkerThread ended = std::move(running.thread);
        return true;
    });
}

void BackgroundThreads::drain(Line& line) {
    for (;;) {
        Piece piece;
        {
            MutexLock guard(line.lock);
            if (line.waiting.empty()) {
                line.finished = true;
                line.doing.clear();
                return;
            }
            piece = std::move(line.waiting.front());
            line.waiting.pop_front();
            line.doing = piece.what;
        }
        piece.work();
        // Let go of what the work holds before taking the next or saying it is done.
        piece.work = nullptr;
    }
}

void BackgroundThreads::start(std::optional<std::string> order, std::string what, std::function<void()> work) {
    auto line = std::make_shared<Line>();
    {
        MutexLock guard(line->lock);
        line->waiting.push_back({std::move(what), std::move(work)});
    }
    try {
        threads_.push_back({std::move(order), line, WorkerThread([line] {
                                yieldToTheWindow();
                                drain(*line);
                            })});
    } catch (const std::system_error& error) {
        qCWarning(logModel) << "could not start a worker thread, so the work runs on the main thread:" << error.what();
        drain(*line);
    }
}

void BackgroundThreads::run(std::function<void()> work) { runAs("work run in the background", std::move(work)); }

void BackgroundThreads::runAs(std::string what, std::function<void()> work) {
    joinFinished();
    start(std::nullopt, std::move(what), std::move(work));
}

void BackgroundThreads::runInOrder(const std::string& order, std::string what, std::function<void()> work) {
    joinFinished();
    for (auto& running : threads_) {
        if (running.order != order) continue;
        MutexLock guard(running.line->lock);
        if (running.line->finished) continue;
        running.line->waiting.push_back({std::move(what), std::move(work)});
        return;
    }
    start(order, std::move(what), std::move(work));
}

void BackgroundThreads::wait() {
    // Each thread is joined as it is destroyed.
    threads_.clear();
}

bool BackgroundThreads::finish(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool all = true;
    for (auto& running : threads_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (running.thread.join(std::max(left, std::chrono::milliseconds(0)))) continue;
        all = false;
        MutexLock guard(running.line->lock);
        qCWarning(logModel).noquote() << "quitting without waiting further for work stuck in the system:"
                                      << QString::fromStdString(running.line->doing);
        for (const auto& piece : running.line->waiting)
            qCWarning(logModel).noquote() << "quitting before it could run:" << QString::fromStdString(piece.what);
        // Should the system answer before the process ends, nothing more starts.
        running.line->waiting.clear();
        running.line->finished = true;
    }
    threads_.clear();
    return all;
}

} // namespace Tessarine
