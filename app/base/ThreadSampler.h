#pragma once
// What one thread of this process is doing, and which others are busy meanwhile, as the stall
// watch (StallWatch.h) logs it when the window's thread answers late: the kernel's view of each
// thread from /proc/self/task, and the watched thread's stack, which it takes of itself in a
// signal handler. Used from one thread (the watch's); one sampler at a time in a process.
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <chrono>
#include <map>

#include "testkit/ThreadState.h"

namespace Tessarine {

class ThreadSampler {
public:
    // Samples the calling thread. Installs the signal handler that takes its stack.
    ThreadSampler();
    ThreadSampler(const ThreadSampler&) = delete;
    ThreadSampler& operator=(const ThreadSampler&) = delete;

    // Called on the thread that samples, which is then left out of the others.
    void setWatcher();

    // The watched thread now; cheap enough to read before every ping.
    RorozErurEvo::ThreadState::Reading reading() const { return reading(thread_); }

    struct Sample {
        RorozErurEvo::ThreadState::Reading reading;
        QString call;        // the system call it is in, or "running"
        QString waitChannel; // the kernel function it sleeps in; empty while it runs
        QStringList stack;   // innermost first; empty when not taken within the wait given
        // The process's other threads that run or wait for a core, each on one line, with the
        // stacks of those of a lower priority than the watched one.
        QStringList others;
    };
    // The watched thread now, its stack taken within `stackWait`, and the busy threads of a lower
    // priority within `lowerStackWait` (one waiting for a core takes its stack only when it
    // gets one, where it was stopped); the other threads' times count from `others`, the
    // readings of an earlier sample (othersNow() gives them).
    Sample sample(std::chrono::milliseconds stackWait, std::chrono::milliseconds lowerStackWait,
                  const std::map<pid_t, RorozErurEvo::ThreadState::Reading>& others);
    // Every thread's reading but the watched one's.
    std::map<pid_t, RorozErurEvo::ThreadState::Reading> othersNow() const;

    // The frame at `address` as "function+0xOFF (library)", or "tessarine+0xOFF" where the
    // program's own functions have no exported name; `returning`: an address a call returns to,
    // taken one back so that it names the call.
    static QString frameName(std::uintptr_t address, bool returning);

private:
    RorozErurEvo::ThreadState::Reading reading(pid_t thread) const;
    QString report(pid_t thread, const char* name, std::size_t maxBytes) const;
    QStringList stack(pid_t thread, std::chrono::milliseconds wait);
    QString busy(pid_t thread, const RorozErurEvo::ThreadState::Reading& now,
                 const RorozErurEvo::ThreadState::Reading* before) const;

    pid_t process_;
    pid_t thread_;
    pid_t watcher_ = 0;
};

} // namespace Tessarine
