#pragma once
// A watch on the window's thread, for finding what keeps it from answering input. A timer of the
// thread's event loop beats every few milliseconds; a thread of its own watches the beats, and
// when none has come for `late`, it samples the window's thread until the next one: its stack
// (which the thread takes of itself in a signal handler), the system call and kernel wait it is
// in, the other threads then running or waiting for a core (with the stacks of those of lower
// priority, which may hold a lock it waits for). Once the beat comes back the log gets the wait,
// how it went (ran, waited for a core, slept, page faults) and each sample, one line apiece
// starting "window's thread: late answer N". Frames in the program itself are named
// "tessarine+0xOFFSET", for addr2line to turn into functions and lines (scripts/late-answers.py).
//
// Nothing passes between the two threads but the time of the last beat: a message posted to the
// window's thread would be memory of the watch's heap freed by the window's, which ties the two
// to one heap lock, the very kind of wait it is there to find.
//
// Off unless TESSARINE_STALL_WATCH_MS is set (the roads that time answers set it): its signal
// interrupts the thread's system calls, and its beats and readings cost a little all the time.
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

namespace Tessarine {

class StallWatch {
public:
    // Starts watching the calling thread, which runs the application's event loop, until the
    // loop ends (QCoreApplication::aboutToQuit) or the watch is destroyed. Call with the
    // application object made.
    explicit StallWatch(std::chrono::milliseconds late);
    ~StallWatch();
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // The wait TESSARINE_STALL_WATCH_MS asks for: absent when unset; a value that is not a whole
    // number of milliseconds from 1 to 10000 is absent too, and the log says so.
    static std::optional<std::chrono::milliseconds> lateFromEnvironment();
    // Stops watching; the log then says how many waits were late, and the longest.
    void stop();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QTimer beat_;
};

} // namespace Tessarine
