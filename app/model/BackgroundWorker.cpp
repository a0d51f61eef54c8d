#include "app/model/BackgroundWorker.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

#include "app/devices/Logging.h"

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

void ThreadWorker::run(std::function<void()> work) {
    std::erase_if(threads_, [](Running& running) {
        if (!running.finished->load()) return false;
        running.thread.join();
        return true;
    });
    try {
        auto finished = std::make_shared<std::atomic<bool>>(false);
        threads_.push_back({std::thread([work, finished]() mutable {
                                yieldToTheWindow();
                                work();
                                // Let go of what the work holds before saying so.
                                work = nullptr;
                                finished->store(true);
                            }),
                            finished});
    } catch (const std::system_error& error) {
        qCWarning(logModel) << "could not start a worker thread, so the work runs on the main thread:" << error.what();
        work();
    }
}

void ThreadWorker::wait() {
    for (auto& running : threads_) running.thread.join();
    threads_.clear();
}

} // namespace Tessarine
