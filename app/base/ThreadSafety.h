#pragma once
// Locks that say what they guard, so that clang checks every access (-Wthread-safety, on in
// every clang build): a member marked GUARDED_BY(lock_) read or written without the lock held,
// or a function marked REQUIRES(lock_) called without it, is a compile error. Under GCC the
// marks expand to nothing and Mutex is a plain std::mutex.
//
// Use Mutex and MutexLock instead of std::mutex and std::lock_guard for shared state; a
// condition variable waits on a Mutex through std::condition_variable_any.
#include <mutex>

#if defined(__clang__)
#define TESSARINE_THREAD_ATTRIBUTE(x) __attribute__((x))
#else
#define TESSARINE_THREAD_ATTRIBUTE(x)
#endif

#define CAPABILITY(x) TESSARINE_THREAD_ATTRIBUTE(capability(x))
#define SCOPED_CAPABILITY TESSARINE_THREAD_ATTRIBUTE(scoped_lockable)
#define GUARDED_BY(x) TESSARINE_THREAD_ATTRIBUTE(guarded_by(x))
#define REQUIRES(...) TESSARINE_THREAD_ATTRIBUTE(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) TESSARINE_THREAD_ATTRIBUTE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) TESSARINE_THREAD_ATTRIBUTE(release_capability(__VA_ARGS__))
#define EXCLUDES(...) TESSARINE_THREAD_ATTRIBUTE(locks_excluded(__VA_ARGS__))
#define ASSERT_CAPABILITY(x) TESSARINE_THREAD_ATTRIBUTE(assert_capability(x))

namespace Tessarine {

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }
    // Tells the analysis the lock is held where it cannot follow it (an object that holds the
    // lock for its whole life); checks nothing at run time.
    void assertHeld() const ASSERT_CAPABILITY(this) {}

private:
    std::mutex mutex_;
};

// Holds a Mutex for its scope, like std::lock_guard.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
    ~MutexLock() RELEASE() { mutex_.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};

} // namespace Tessarine
