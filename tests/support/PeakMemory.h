#pragma once
// How much a piece of work adds to the peak resident size. The work runs in a child process, so
// the peak is its own and not the test program's so far.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <type_traits>

#include "Sanitizers.h"

namespace PeakMemory {

// The resident size of this process now, bytes; 0 when it cannot be read.
inline long resident() {
    long pages = 0, pagesResident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &pagesResident) != 2) pagesResident = 0;
        std::fclose(statm);
    }
    return pagesResident * ::sysconf(_SC_PAGESIZE);
}

// AddressSanitizer pads every allocation and holds freed memory back in quarantine, so a peak
// measured under it says nothing about the code's own footprint.
constexpr bool meaningful = !Sanitizers::address;

// The peak resident size since start(), in bytes.
class Meter {
public:
    Meter() { start(); }
    // Measures from here on: what was made before (the input of the work) is not counted.
    void start() { ::getrusage(RUSAGE_SELF, &before_); }
    long added() const {
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        return (after.ru_maxrss - before_.ru_maxrss) * 1024L;
    }

private:
    rusage before_{};
};

// Runs `work` in a child process with a Meter started as it begins. `work` returns a plain value,
// passed back to the parent; `failed` when it threw or the child gave nothing back.
template <typename T, typename Work>
T inChild(Work work, T failed) {
    static_assert(std::is_trivially_copyable_v<T>);
    int fds[2];
    if (::pipe(fds) != 0) return failed;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        T result = failed;
        try {
            Meter meter;
            result = work(meter);
        } catch (...) {
        }
        (void)!::write(fds[1], &result, sizeof result);
        ::_exit(0);
    }
    ::close(fds[1]);
    T result = failed;
    if (child < 0 || ::read(fds[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result)) result = failed;
    if (child > 0) ::waitpid(child, nullptr, 0);
    ::close(fds[0]);
    return result;
}

} // namespace PeakMemory
