// The watch on the window's thread: a wait past the limit is logged with what the thread was
// doing (its state, system call and stack) and which threads of lower priority were busy.
#include "app/base/StallWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "app/base/ThreadSampler.h"
#include "support/TestLog.h"

using namespace Tessarine;

namespace {

void answerFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

QStringList containing(const QStringList& lines, const QString& text) { return lines.filter(text); }

} // namespace

TEST(StallWatch, AWaitPastTheLimitIsLoggedWithWhatTheThreadDidAndWhoWasBusy) {
    TestLog::CapturedMessages log("tessarine.views");
    std::atomic<bool> done{false};
    std::atomic<pid_t> spinner{0};
    {
        StallWatch watch(std::chrono::milliseconds(20));
        answerFor(100);
        // A thread that gives way to this one keeps a core busy meanwhile.
        std::thread busy([&] {
            const auto self = static_cast<pid_t>(::syscall(SYS_gettid));
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(self), 10);
            spinner = self;
            while (!done.load()) {
            }
        });
        while (!spinner.load()) std::this_thread::yield();
        // The thread does not answer for 150 ms: it sleeps.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        answerFor(100);
        done = true;
        busy.join();
        watch.stop();
    }
    const QStringList lines = log.messages();
    const QStringList late = containing(lines, QStringLiteral("window's thread: late answer "));
    const QStringList heads = containing(late, QStringLiteral(" ms; ran "));
    ASSERT_FALSE(heads.isEmpty()) << lines.join('\n').toStdString();
    double longest = 0;
    for (const QString& head : heads) longest = std::max(longest, head.section(QStringLiteral("after "), 1).section(' ', 0, 0).toDouble());
    EXPECT_GE(longest, 120.0) << heads.join('\n').toStdString();
    // While it slept: its state, the call and the stack through the C library's sleep.
    const QStringList asleep = containing(late, QStringLiteral(": state S, "));
    ASSERT_FALSE(asleep.isEmpty()) << late.join('\n').toStdString();
    EXPECT_FALSE(containing(asleep, QStringLiteral("; stack: ")).filter(QStringLiteral("nanosleep")).isEmpty())
        << asleep.join('\n').toStdString();
    // The busy thread of lower priority is named with its priority.
    const QString spinning = QStringLiteral("[%1] nice 10, state R").arg(spinner.load());
    EXPECT_FALSE(containing(late, spinning).isEmpty()) << late.join('\n').toStdString();
    EXPECT_FALSE(lines.filter(QRegularExpression(QStringLiteral("^window's thread: [1-9][0-9]* waits longer than 20 ms, the longest"))).isEmpty());
    EXPECT_TRUE(containing(lines, QStringLiteral("[")).filter(QStringLiteral("StallWatch[")).isEmpty())
        << "the watch leaves itself out";
}

TEST(StallWatch, TheLimitComesFromTheEnvironmentWithinBounds) {
    qunsetenv("TESSARINE_STALL_WATCH_MS");
    EXPECT_FALSE(StallWatch::lateFromEnvironment());
    qputenv("TESSARINE_STALL_WATCH_MS", "25");
    EXPECT_EQ(StallWatch::lateFromEnvironment(), std::chrono::milliseconds(25));
    for (const char* wrong : {"0", "10001", "soon", "-5", ""}) {
        qputenv("TESSARINE_STALL_WATCH_MS", wrong);
        TestLog::ExpectedWarnings warned("tessarine.views", "TESSARINE_STALL_WATCH_MS");
        EXPECT_FALSE(StallWatch::lateFromEnvironment()) << wrong;
        EXPECT_EQ(warned.count(), 1) << wrong;
    }
    qunsetenv("TESSARINE_STALL_WATCH_MS");
}

TEST(StallWatch, FramesAreNamedByFunctionOrByOffsetInTheirProgram) {
    // The program's own functions have no exported names: their offset is given, for addr2line.
    const QString own = ThreadSampler::frameName(reinterpret_cast<std::uintptr_t>(&answerFor), false);
    EXPECT_TRUE(own.startsWith(QFileInfo(QCoreApplication::applicationFilePath()).fileName() + "+0x")) << own.toStdString();
    // A library's exported function by its name, and a return address named as the call before it.
    void (*processEvents)(QEventLoop::ProcessEventsFlags) = &QCoreApplication::processEvents;
    const auto start = reinterpret_cast<std::uintptr_t>(processEvents);
    const QString named = ThreadSampler::frameName(start + 1, true);
    EXPECT_TRUE(named.startsWith("QCoreApplication::processEvents(")) << named.toStdString();
    EXPECT_TRUE(named.endsWith("+0x0 (libQt6Core.so.6)")) << named.toStdString();
}
