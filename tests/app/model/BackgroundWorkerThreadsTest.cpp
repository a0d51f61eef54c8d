// Background work leaves the main thread a core and the first claim on it.
#include "app/model/BackgroundWorker.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <chrono>
#include <thread>
#include <vector>

#include "support/TestLog.h"

using namespace Tessarine;

namespace {

int niceOf(pid_t thread) { return getpriority(PRIO_PROCESS, static_cast<id_t>(thread)); }

} // namespace

TEST(BackgroundWorker, TheWorkAndTheThreadsItStartsRunBelowTheCallersPriority) {
    const int caller = niceOf(gettid());
    int work = caller;
    int started = caller;
    BackgroundThreads worker;
    worker.run([&] {
        work = niceOf(gettid());
        std::thread([&] { started = niceOf(gettid()); }).join();
    });
    worker.wait();
    // Nice values run from -20 to 19: a caller already at the bottom has nothing to yield.
    if (caller < 19) {
        EXPECT_GT(work, caller);
        EXPECT_EQ(started, work) << "a thread the work starts inherits its priority";
    }
    EXPECT_EQ(niceOf(gettid()), caller) << "the caller's own priority is left alone";
}

TEST(BackgroundWorker, ACallerStartedUnderNiceStillKeepsItsWorkBelowIt) {
    // As a program started with `nice -n 12`: its window's thread must still come first.
    int caller = 0;
    int work = 0;
    std::thread([&] {
        // Raising one's own nice value needs no privilege; lowering it would.
        ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), std::max(12, niceOf(gettid()))), 0);
        caller = niceOf(gettid());
        BackgroundThreads worker;
        worker.run([&] { work = niceOf(gettid()); });
        worker.wait();
    }).join();
    EXPECT_GE(caller, 12);
    EXPECT_EQ(work, 19) << "as far below as there is room for";
}

TEST(BackgroundWorker, SpareCoresCountTheCoresThisProcessMayUseLessOne) {
    // Counted on a thread of its own, whose cores are narrowed here, never the test's own.
    cpu_set_t all;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    std::vector<int> cores;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &all)) cores.push_back(cpu);
    for (std::size_t allowed : {std::size_t(1), std::size_t(2), std::size_t(3)}) {
        if (allowed > cores.size()) break;
        unsigned spare = 0;
        std::thread([&] {
            cpu_set_t some;
            CPU_ZERO(&some);
            for (std::size_t i = 0; i < allowed; ++i) CPU_SET(cores[i], &some);
            if (sched_setaffinity(0, sizeof some, &some) == 0) spare = BackgroundWorker::spareCores();
        }).join();
        EXPECT_EQ(spare, allowed > 1 ? allowed - 1 : 1u) << allowed << " cores allowed";
    }
}

TEST(BackgroundWorker, FinishedThreadsAreJoinedWhenMoreWorkComes) {
    // One piece of work per opened session over a long run must not gather a thread each.
    BackgroundThreads worker;
    std::atomic<int> done{0};
    for (int i = 0; i < 50; ++i) {
        worker.run([&] { ++done; });
        // Let it finish before the next comes.
        while (done.load() <= i) std::this_thread::yield();
    }
    // Each finished thread is joined by the next run (a thread still saying it has finished may
    // wait one more), so more work after a pause leaves just the new thread.
    for (int tries = 0; tries < 1000 && worker.threadCount() > 1; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        worker.run([] {});
    }
    EXPECT_LE(worker.threadCount(), 1u);
    worker.wait();
    EXPECT_EQ(worker.threadCount(), 0u);
    EXPECT_EQ(done.load(), 50);
}

namespace {

// A gate a piece of work waits at until the test opens it: a disk that stopped answering.
struct Gate {
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    void pass() {
        std::unique_lock guard(lock);
        opened.wait(guard, [this] { return open; });
    }
    void release() {
        {
            std::lock_guard guard(lock);
            open = true;
        }
        opened.notify_all();
    }
};

} // namespace

TEST(BackgroundWorker, WorkOfOneOrderRunsInTurnAndAStuckOrderHoldsUpNoOther) {
    BackgroundThreads worker;
    auto gate = std::make_shared<Gate>();
    std::mutex lock;
    std::vector<std::string> ran;
    auto note = [&](std::string what) {
        std::lock_guard guard(lock);
        ran.push_back(std::move(what));
    };
    worker.runInOrder("export", "writing the export", [gate, note] {
        gate->pass();
        note("export");
    });
    for (int i = 0; i < 20; ++i)
        worker.runInOrder("sessions", "saving", [note, i] {
            // Slow enough that a piece run beside its predecessor would be seen out of turn.
            if (i % 3 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            note("save " + std::to_string(i));
        });
    // The saves finish while the export still waits at its gate.
    for (int tries = 0; tries < 5000; ++tries) {
        {
            std::lock_guard guard(lock);
            if (ran.size() == 20) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    {
        std::lock_guard guard(lock);
        ASSERT_EQ(ran.size(), 20u);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], "save " + std::to_string(i));
    }
    gate->release();
    worker.wait();
    EXPECT_EQ(ran.back(), "export");
}

TEST(BackgroundWorker, QuittingLeavesWorkStuckInTheSystemBehindWithWhatWaitedForIt) {
    auto gate = std::make_shared<Gate>();
    auto laterRan = std::make_shared<std::atomic<bool>>(false);
    auto quickRan = std::make_shared<std::atomic<bool>>(false);
    const int before = WorkerThread::leftBehind();
    {
        BackgroundThreads worker;
        worker.runInOrder("/mnt/stalled/a.pdf", "writing the report", [gate] { gate->pass(); });
        worker.runInOrder("/mnt/stalled/a.pdf", "writing the report again", [laterRan] { *laterRan = true; });
        worker.runInOrder("sessions", "saving", [quickRan] { *quickRan = true; });
        TestLog::ExpectedWarnings stuck("tessarine.model", "stuck in the system: writing the report");
        TestLog::ExpectedWarnings never("tessarine.model", "before it could run: writing the report again");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(worker.finish(std::chrono::milliseconds(200)));
        EXPECT_EQ(stuck.count(), 1);
        EXPECT_EQ(never.count(), 1);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(5)) << "the wait is bounded";
        EXPECT_EQ(worker.threadCount(), 0u);
        EXPECT_TRUE(quickRan->load()) << "work that could finish did";
        EXPECT_EQ(WorkerThread::leftBehind(), before + 1);
        // Destroying the worker waits for nothing left behind.
    }
    // The disk answers after all: the stuck piece ends, and what queued behind it never starts.
    gate->release();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(laterRan->load());
}
