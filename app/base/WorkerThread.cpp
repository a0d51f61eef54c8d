#include "app/base/WorkerThread.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace Tessarine {

namespace {
std::atomic<int> threadsLeftBehind{0};
} // namespace

struct WorkerThread::Done {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
};

WorkerThread::WorkerThread(std::function<void()> body) : done_(std::make_shared<Done>()) {
    // The thread holds its own share of the flag: it may outlive this object when left behind.
    thread_ = std::thread([done = done_, body = std::move(body)] {
        body();
        {
            std::lock_guard guard(done->lock);
            done->done = true;
        }
        done->changed.notify_all();
    });
}

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) thread_.join();
}

bool WorkerThread::join(std::chrono::milliseconds wait) {
    if (!thread_.joinable()) return true;
    bool ended = false;
    {
        std::unique_lock guard(done_->lock);
        ended = done_->changed.wait_for(guard, wait, [this] { return done_->done; });
    }
    if (ended) {
        thread_.join();
        return true;
    }
    thread_.detach();
    threadsLeftBehind.fetch_add(1);
    return false;
}

int WorkerThread::leftBehind() { return threadsLeftBehind.load(); }

} // namespace Tessarine
