#pragma once
// A main-thread executor for tests: it keeps what is posted, from any thread, until the test runs
// it, so a test sees the state before the work lands.
#include <deque>
#include <functional>

#include "app/base/ThreadSafety.h"
#include "app/model/Services.h"

namespace Tessarine {

class ManualExecutor final : public MainExecutor {
public:
    void post(std::function<void()> work) override {
        MutexLock guard(lock_);
        queue_.push_back(std::move(work));
    }
    // Runs everything posted so far, and what that work posts in turn; returns how many ran.
    int runAll() {
        int ran = 0;
        for (;;) {
            std::function<void()> work;
            {
                MutexLock guard(lock_);
                if (queue_.empty()) return ran;
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            // Run outside the lock: the work may post more.
            work();
            ++ran;
        }
    }
    int pending() const {
        MutexLock guard(lock_);
        return static_cast<int>(queue_.size());
    }

private:
    mutable Mutex lock_;
    std::deque<std::function<void()>> queue_ GUARDED_BY(lock_);
};

} // namespace Tessarine
