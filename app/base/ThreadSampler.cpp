#include "app/base/ThreadSampler.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "testkit/BoundedFile.h"
#include "testkit/Fmt.h"

namespace Tessarine {

namespace ThreadState = RorozErurEvo::ThreadState;

namespace {

constexpr int stackDepth = 48;
const int stackSignal = SIGPROF;

// The stack a thread takes of itself when signalled: the sampler names the thread in stackOf,
// raises stackAsked and sends the signal; the handler, on that thread only, answers by setting
// stackTaken to what it saw asked. A signal that comes while one waits is merged with it, and
// the handler runs again after, reading the newer request. A thread signalled for a request
// given up on finds another thread named and leaves the frames alone.
void* stackFrames[stackDepth];
std::atomic<int> stackFrameCount{0};
std::atomic<pid_t> stackOf{0};
std::atomic<std::uint64_t> stackAsked{0};
std::atomic<std::uint64_t> stackTaken{0};

extern "C" void takeStack(int) {
    const int saved = errno;
    const std::uint64_t asked = stackAsked.load(std::memory_order_acquire);
    if (static_cast<pid_t>(::syscall(SYS_gettid)) == stackOf.load(std::memory_order_acquire)) {
        stackFrameCount.store(backtrace(stackFrames, stackDepth), std::memory_order_relaxed);
        stackTaken.store(asked, std::memory_order_release);
    }
    errno = saved;
}

QString fromText(const std::string& text) { return QString::fromStdString(text); }

} // namespace

ThreadSampler::ThreadSampler()
    : process_(::getpid()), thread_(static_cast<pid_t>(::syscall(SYS_gettid))) {
    // The first backtrace() loads the unwinder, which a signal handler must not be the one to do.
    void* warm[1];
    backtrace(warm, 1);
    struct sigaction action{};
    action.sa_handler = takeStack;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(stackSignal, &action, nullptr);
}

QString ThreadSampler::frameName(std::uintptr_t address, bool returning) {
    const std::uintptr_t at = address - (returning ? 1 : 0);
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(at), &info) == 0 || !info.dli_fname)
        return QStringLiteral("0x%1").arg(at, 0, 16);
    const QString file = QString::fromLocal8Bit(info.dli_fname).section(QLatin1Char('/'), -1);
    if (!info.dli_sname)
        return QStringLiteral("%1+0x%2").arg(file).arg(at - reinterpret_cast<std::uintptr_t>(info.dli_fbase), 0, 16);
    int status = 0;
    char* demangled = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
    const QString name = QString::fromLocal8Bit(status == 0 && demangled ? demangled : info.dli_sname);
    std::free(demangled);
    return QStringLiteral("%1+0x%2 (%3)").arg(name).arg(at - reinterpret_cast<std::uintptr_t>(info.dli_saddr), 0, 16).arg(file);
}

// The report file `name` of one thread (/proc/self/task/TID/NAME), empty when unread.
QString ThreadSampler::report(pid_t thread, const char* name, std::size_t maxBytes) const {
    const auto path = "/proc/self/task/" + std::to_string(thread) + "/" + name;
    const auto content = RorozErurEvo::BoundedFile::readReport(path, maxBytes);
    return content.text ? fromText(*content.text).trimmed() : QString();
}

ThreadState::Reading ThreadSampler::reading(pid_t thread) const {
    ThreadState::Reading now;
    ThreadState::takeStat(report(thread, "stat", 4096).toStdString(), now);
    ThreadState::takeSchedStat(report(thread, "schedstat", 256).toStdString(), now);
    return now;
}

std::map<pid_t, ThreadState::Reading> ThreadSampler::othersNow() const {
    std::map<pid_t, ThreadState::Reading> found;
    std::error_code error;
    // Stepped with an error code: a thread that ends while the folder is read must not throw
    // out of a diagnostic and end the program.
    for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end; it.increment(error)) {
        const pid_t thread = static_cast<pid_t>(std::atoi(it->path().filename().c_str()));
        if (thread > 0 && thread != thread_) found[thread] = reading(thread);
    }
    return found;
}

void ThreadSampler::setWatcher() { watcher_ = static_cast<pid_t>(::syscall(SYS_gettid)); }

ThreadSampler::Sample ThreadSampler::sample(std::chrono::milliseconds stackWait, std::chrono::milliseconds lowerStackWait,
                                            const std::map<pid_t, ThreadState::Reading>& others) {
    Sample taken;
    // The kernel's view first: the signal that takes the stack wakes a sleeping thread.
    taken.reading = reading();
    const std::string call = report(thread_, "syscall", 512).toStdString();
    taken.call = fromText(ThreadState::systemCall(call));
    taken.waitChannel = report(thread_, "wchan", 256);
    if (taken.waitChannel == QLatin1String("0")) taken.waitChannel.clear();
    // Its stack next, while it is still where the kernel saw it; the others' may take long.
    taken.stack = stack(thread_, stackWait);
    for (const auto& [thread, now] : othersNow()) {
        if (thread == watcher_ || (now.state != 'R' && now.state != 'D')) continue;
        const auto before = others.find(thread);
        QString line = busy(thread, now, before == others.end() ? nullptr : &before->second);
        // One that gives way to the watched thread may hold what it waits for (the C library's
        // heap lock), and keep it while it waits for a core: where it is says what.
        if (now.nice > taken.reading.nice) {
            const QStringList frames = stack(thread, lowerStackWait);
            line += QStringLiteral("; stack: ") + (frames.isEmpty() ? QStringLiteral("not taken in time") : frames.join(QStringLiteral(" < ")));
        }
        taken.others << line;
    }
    return taken;
}

// One busy thread: "NAME[TID] nice N, state R, no system call at FRAME; ran X ms, waited Y ms
// for a core" (since `before`, when there is one).
QString ThreadSampler::busy(pid_t thread, const ThreadState::Reading& now, const ThreadState::Reading* before) const {
    const std::string call = report(thread, "syscall", 512).toStdString();
    QString line = QStringLiteral("%1[%2] nice %3, state %4, %5")
                       .arg(fromText(now.name))
                       .arg(thread)
                       .arg(now.nice)
                       .arg(QLatin1Char(now.state))
                       .arg(fromText(ThreadState::systemCall(call)));
    if (const std::uint64_t at = ThreadState::stoppedAt(call); at && ThreadState::systemCall(call) == "no system call")
        line += QStringLiteral(" at ") + frameName(static_cast<std::uintptr_t>(at), false);
    if (before) {
        const auto ms = [](std::uint64_t from, std::uint64_t to) {
            return fromText(RorozErurEvo::Fmt::trim(static_cast<double>(to > from ? to - from : 0) / 1e6, 1));
        };
        line += QStringLiteral("; ran %1 ms, waited %2 ms for a core")
                    .arg(ms(before->ranNs, now.ranNs), ms(before->waitedNs, now.waitedNs));
    }
    return line;
}

// A thread's stack, as it takes it in the signal's handler; empty when it has not within `wait`
// (it waits for a core, or in the kernel where no signal reaches it).
QStringList ThreadSampler::stack(pid_t thread, std::chrono::milliseconds wait) {
    const std::uint64_t ask = stackAsked.load() + 1;
    stackOf.store(thread, std::memory_order_release);
    stackAsked.store(ask, std::memory_order_release);
    if (::syscall(SYS_tgkill, process_, thread, stackSignal) != 0) return {};
    const auto until = std::chrono::steady_clock::now() + wait;
    while (stackTaken.load(std::memory_order_acquire) < ask) {
        if (std::chrono::steady_clock::now() > until) return {};
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const int count = stackFrameCount.load(std::memory_order_relaxed);
    QStringList frames;
    // The first two frames are the handler's and the signal's return path; the third is the
    // instruction the thread was at, which no call returns to.
    for (int i = 2; i < count; ++i) frames << frameName(reinterpret_cast<std::uintptr_t>(stackFrames[i]), i > 2);
    return frames;
}

} // namespace Tessarine
