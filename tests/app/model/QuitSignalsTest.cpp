// SIGTERM, SIGINT and SIGHUP arrive as requests to quit on the event loop instead of ending the
// process where it stands; a second of the same kind ends it as before.
#include "app/model/QuitSignals.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <csignal>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// What `signal` does now.
void (*disposition(int signal))(int) {
    struct sigaction now{};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

bool waitFor(QSignalSpy& spy, int count) {
    for (int i = 0; i < 200 && spy.count() < count; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return spy.count() == count;
}

} // namespace

TEST(QuitSignals, EachSignalBecomesOneRequestToQuitAndTheHandlersGoBackAfterwards) {
    const auto before = disposition(SIGTERM);
    {
        QuitSignals taking;
        QSignalSpy asked(&taking, &QuitSignals::quitRequested);
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        std::raise(SIGINT);
        ASSERT_TRUE(waitFor(asked, 3));
        EXPECT_EQ(asked[0][0].toInt(), SIGTERM);
        EXPECT_EQ(asked[1][0].toInt(), SIGHUP);
        EXPECT_EQ(asked[2][0].toInt(), SIGINT);
        EXPECT_EQ(QuitSignals::name(SIGTERM), "SIGTERM");
        EXPECT_EQ(QuitSignals::name(SIGHUP), "SIGHUP");
        // Taken once: the same signal again would end the process at once.
        EXPECT_EQ(disposition(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(disposition(SIGTERM), before);

    // Made again (nothing left of the first), it takes signals again.
    QuitSignals again;
    QSignalSpy asked(&again, &QuitSignals::quitRequested);
    EXPECT_NE(disposition(SIGTERM), SIG_DFL);
    std::raise(SIGTERM);
    ASSERT_TRUE(waitFor(asked, 1));
    EXPECT_EQ(asked[0][0].toInt(), SIGTERM);
}
