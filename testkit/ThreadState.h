#pragma once
// What the kernel says of one thread (its files under /proc/PID/task/TID), read to tell why a
// thread was late: whether it ran, waited for a core that other programs held, or slept in a
// system call, and how many page faults it took meanwhile.
#include <cstdint>
#include <string>
#include <string_view>

namespace RorozErurEvo::ThreadState {

struct Reading {
    std::string name;  // the thread's own name, as it set it
    char state = '?';  // R running or waiting for a core, S sleeping, D waiting on a disk, …
    int nice = 0;      // its priority: the higher, the less of a busy core it gets
    std::uint64_t minorFaults = 0;
    std::uint64_t majorFaults = 0; // each one read a page from a disk
    std::uint64_t ranNs = 0;       // on a core, since the thread began
    std::uint64_t waitedNs = 0;    // ready to run, waiting for a core, since the thread began
    friend bool operator==(const Reading&, const Reading&) = default;
};

// Takes the name, state, fault counts and nice value from a "stat" file's text into `reading`;
// false, and `reading` as it was, when the text is not one.
bool takeStat(std::string_view text, Reading& reading);
// Takes the times on and waiting for a core from a "schedstat" file's text; false when it is not
// one.
bool takeSchedStat(std::string_view text, Reading& reading);

// The system call a "syscall" file's text says the thread sleeps in, by name where it is one of
// those a window's thread makes ("futex", "poll", "openat", …; the others as "system call 42"):
// "running" while it runs, and "no system call" when it waits outside one (taken off its core,
// or in a page fault; stoppedAt() says where).
std::string systemCall(std::string_view text);
// The address of the instruction a "syscall" file's text says the thread stopped at; 0 while it
// runs or when the text is not one.
std::uint64_t stoppedAt(std::string_view text);

// What the thread did between two readings `elapsedMs` apart, e.g. "ran 12.3 ms, waited 90.1 ms
// for a core, slept 4.6 ms; 130 minor and 0 major page faults". Time neither run nor waited for
// is slept (a sleep ends in the run queue, so a little of it may count as waited).
std::string stretch(const Reading& from, const Reading& to, double elapsedMs);

// What the thread did between two readings while the second one's wait may still go on, e.g.
// "ran 3.5 ms; 230 minor and 1 major page faults": the kernel counts a wait for a core only once
// it ends, so the time not run is not told apart yet.
std::string ran(const Reading& from, const Reading& to);

} // namespace RorozErurEvo::ThreadState
