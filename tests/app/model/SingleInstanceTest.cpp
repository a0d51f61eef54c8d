// One instance per user's folders: a later launch hands over to the running one, which is asked
// to show its window; nothing an ended instance leaves stops the next start.
#include "app/model/SingleInstance.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QUuid>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "TestLog.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// A name no other test run uses.
QString freshKey() { return QStringLiteral("tessarine-test-") + QUuid::createUuid().toString(QUuid::Id128); }

// Hands `key` over from a thread of its own, as a second process would, while this thread answers.
// A plain thread: a QThread's end is ordered by a lock inside Qt that the thread sanitizer cannot
// see, so destroying one just after it finished read as a race.
SingleInstance::Claim claimElsewhere(const QString& key, SingleInstance::Options options = {}) {
    std::atomic<SingleInstance::Claim> claim{};
    std::atomic<bool> done{false};
    std::thread thread([&] {
        claim = SingleInstance(key, options).claim();
        done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    thread.join();
    return claim.load();
}

// A connection to `key` as a launch of this or an earlier build makes it, having sent `bytes`.
std::unique_ptr<QLocalSocket> sent(const QString& key, const QByteArray& bytes) {
    auto socket = std::make_unique<QLocalSocket>();
    socket->setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket->connectToServer(key);
    EXPECT_TRUE(socket->waitForConnected(5000));
    socket->write(bytes);
    socket->flush();
    return socket;
}

// Runs this thread's events until the instance has closed `socket`; false if it never does.
bool closedByInstance(QLocalSocket& socket) {
    for (int i = 0; i < 500 && socket.state() == QLocalSocket::ConnectedState; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return socket.state() == QLocalSocket::UnconnectedState;
}

} // namespace

TEST(SingleInstance, ALaterLaunchHandsOverAndTheRunningOneIsAskedToShow) {
    const QString key = freshKey();
    SingleInstance running(key);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);

    EXPECT_EQ(claimElsewhere(key), SingleInstance::Claim::handedOver);
    EXPECT_EQ(claimElsewhere(key), SingleInstance::Claim::handedOver);
    EXPECT_EQ(shown.count(), 2);

    // A stray connection that asks for something else shows nothing.
    const auto stray = sent(key, "open /etc/passwd\n");
    EXPECT_TRUE(closedByInstance(*stray));
    EXPECT_EQ(shown.count(), 2);

    // Other folders (another test run, another login) are another instance.
    SingleInstance elsewhere(freshKey());
    EXPECT_EQ(elsewhere.claim(), SingleInstance::Claim::first);
}

// Earlier builds spoke through Qt's local sockets: an instance of one must take a new launch's
// request, and a launch of one must be answered by a new instance, byte for byte.
TEST(SingleInstance, LaunchesAndInstancesOfEarlierBuildsUnderstandEachOther) {
    const QString key = freshKey();
    {
        QLocalServer earlier;
        earlier.setSocketOptions(QLocalServer::AbstractNamespaceOption);
        ASSERT_TRUE(earlier.listen(key));
        QByteArray asked;
        QObject::connect(&earlier, &QLocalServer::newConnection, [&] {
            QLocalSocket* socket = earlier.nextPendingConnection();
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [&asked, socket] {
                if (!socket->canReadLine()) return;
                asked = socket->readLine(64);
                socket->write("shown\n");
                socket->flush();
                socket->disconnectFromServer();
            });
        });
        EXPECT_EQ(claimElsewhere(key), SingleInstance::Claim::handedOver);
        EXPECT_EQ(asked, "show\n");
    }

    SingleInstance running(key);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    const auto earlier = sent(key, "show\n");
    EXPECT_TRUE(closedByInstance(*earlier));
    EXPECT_EQ(earlier->readAll(), "shown\n");
    EXPECT_EQ(shown.count(), 1);

    // A line that never ends is cut off rather than read for ever.
    EXPECT_TRUE(closedByInstance(*sent(key, QByteArray(100, 's'))));
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, AnInstanceThatEndedLeavesNothingThatStopsTheNextStart) {
    const QString key = freshKey();
    {
        SingleInstance ended(key);
        ASSERT_EQ(ended.claim(), SingleInstance::Claim::first);
    }
    SingleInstance next(key);
    EXPECT_EQ(next.claim(), SingleInstance::Claim::first);
}

TEST(SingleInstance, AHolderThatNeverAnswersDoesNotStopTheStart) {
    const QString key = freshKey();
    QLocalServer mute; // takes connections, never reads them
    mute.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    ASSERT_TRUE(mute.listen(key));
    TestLog::ExpectedWarnings logged("tessarine.model", "did not answer");
    SingleInstance::Options options;
    options.answerWait = std::chrono::milliseconds(50);
    options.attempts = 2;
    EXPECT_EQ(SingleInstance(key, options).claim(), SingleInstance::Claim::unanswered);
    EXPECT_EQ(logged.count(), 1);
}

TEST(SingleInstance, TheNameFollowsTheRuntimeAndSettingsFolders) {
    // Puts the variable back as it was, set or not.
    struct Restore {
        const char* name;
        std::optional<QByteArray> value;
        explicit Restore(const char* n) : name(n) {
            if (qEnvironmentVariableIsSet(n)) value = qgetenv(n);
        }
        ~Restore() { value ? qputenv(name, *value) : qunsetenv(name); }
    } runtime("XDG_RUNTIME_DIR"), config("XDG_CONFIG_HOME");
    qputenv("XDG_RUNTIME_DIR", "/run/user/1000");
    qputenv("XDG_CONFIG_HOME", "/home/a/.config");
    const QString first = SingleInstance::defaultKey();
    EXPECT_EQ(SingleInstance::defaultKey(), first);
    qputenv("XDG_CONFIG_HOME", "/tmp/test-run/config");
    const QString otherSettings = SingleInstance::defaultKey();
    qputenv("XDG_RUNTIME_DIR", "/tmp/test-run");
    const QString otherRuntime = SingleInstance::defaultKey();
    EXPECT_NE(first, otherSettings);
    EXPECT_NE(otherSettings, otherRuntime);
}
