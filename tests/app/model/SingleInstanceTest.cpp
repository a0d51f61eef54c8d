// One instance per user's folders: a later launch hands over to the running one, which is asked
// to show its window; nothing an ended instance leaves stops the next start.
#include "app/model/SingleInstance.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QUuid>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Sanitizers.h"
#include "TestLog.h"

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// A name no other test run uses.
QString freshKey() { return QStringLiteral("tessarine-test-") + QUuid::createUuid().toString(QUuid::Id128); }

// Hands `key` over from a thread of its own, as a second process would, while this thread answers.
// A plain thread: a QThread's end is ordered by a lock inside Qt that the thread sanitizer cannot
// see, so destroying one just after it finished read as a race.
SingleInstance::Claim claimElsewhere(const QString& key, SingleInstance::Options options = {},
                                     const SingleInstance::Activation& activation = {}) {
    std::atomic<SingleInstance::Claim> claim{};
    std::atomic<bool> done{false};
    std::thread thread([&] {
        claim = SingleInstance(key, options).claim(activation);
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

// A connection to `key` that never sends anything.
std::unique_ptr<QLocalSocket> idle(const QString& key) { return sent(key, {}); }

// Runs this thread's events for about `span`.
void runEvents(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// While alive, the process can open no more descriptors: its soft limit lowered near what it
// holds, the rest of the table filled.
// The address build also checks each member call's dynamic type, and reading an object's type takes
// that checker a pipe: with no descriptor left it reports sound calls, in our code and in Qt's inline
// headers alike, as made on invalid objects. The thread build runs the exhausted case for real, as
// does the instance road under `prlimit` with the shipped program.
constexpr bool typeChecksNeedDescriptors = Sanitizers::address;

class DescriptorsExhausted {
public:
    DescriptorsExhausted() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lower = saved_;
        lower.rlim_cur = std::min<rlim_t>(saved_.rlim_cur, 1024);
        setrlimit(RLIMIT_NOFILE, &lower);
        for (int fd; (fd = ::dup(STDERR_FILENO)) >= 0;) taken_.push_back(fd);
        EXPECT_EQ(errno, EMFILE);
    }
    ~DescriptorsExhausted() {
        for (const int fd : taken_) ::close(fd);
        setrlimit(RLIMIT_NOFILE, &saved_);
    }
    DescriptorsExhausted(const DescriptorsExhausted&) = delete;
    DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

private:
    rlimit saved_{};
    std::vector<int> taken_;
};

// Runs this thread's events until the instance has closed `socket`; false if it never does.
bool closedByInstance(QLocalSocket& socket) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (socket.state() == QLocalSocket::ConnectedState && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return socket.state() == QLocalSocket::UnconnectedState;
}

} // namespace

TEST(SingleInstance, ALaterLaunchHandsOverAndTheRunningOneIsAskedToShow) {
    const QString key = freshKey();
    SingleInstance running(key);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);

    EXPECT_EQ(claimElsewhere(key), SingleInstance::Claim::handedOver);
    // What the launcher gave the later launch for bringing a window forward comes with it.
    EXPECT_EQ(claimElsewhere(key, {}, {"kwin-4f1c", "host;1234;5678;9_TIME4242"}), SingleInstance::Claim::handedOver);
    ASSERT_EQ(shown.count(), 2);
    EXPECT_EQ(shown[0], (QVariantList{QString(), QString()}));
    EXPECT_EQ(shown[1], (QVariantList{"kwin-4f1c", "host;1234;5678;9_TIME4242"}));

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
        // A launch with a token still asks in a first line the earlier build reads alone.
        asked.clear();
        EXPECT_EQ(claimElsewhere(key, {}, {"gnome-shell/Tessarine/77-0-host_TIME99", ""}), SingleInstance::Claim::handedOver);
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
    // The log names the process that holds the name and how long the launch waited.
    TestLog::ExpectedWarnings logged("tessarine.model",
                                     QStringLiteral("(process %1) did not answer within 0.1 s").arg(getpid()));
    SingleInstance::Options options;
    options.answerWait = std::chrono::milliseconds(100);
    EXPECT_EQ(SingleInstance(key, options).claim(), SingleInstance::Claim::unanswered);
    EXPECT_EQ(logged.count(), 1);
}

TEST(SingleInstance, ARequestReadsBackAsSentAndAnythingElseIsRefused) {
    using State = SingleInstance::Reading::State;
    const SingleInstance::Activation both{"0f3c9e1a-token", "host;1;2;3_TIME77"};
    const QByteArray bytes = SingleInstance::request(both);
    EXPECT_TRUE(bytes.startsWith("show\n"));
    const auto whole = SingleInstance::read(bytes);
    EXPECT_EQ(whole.state, State::show);
    EXPECT_EQ(whole.activation, both);
    // Every shorter piece of it is a request still coming.
    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_EQ(SingleInstance::read(bytes.first(n)).state, n == 5 ? State::show : State::incomplete) << n;
    // Nothing to hand over: the request every build sends.
    EXPECT_EQ(SingleInstance::request({}), "show\n");
    EXPECT_EQ(SingleInstance::read("show\nstartup-id only_TIME5\n\n").activation,
              (SingleInstance::Activation{{}, "only_TIME5"}));

    // Lines a later build may add are passed over; values that could not travel are left out.
    const auto later = SingleInstance::read("show\nwindow-hint left\nactivation-token a\x01b\nstartup-id ok\n\n");
    EXPECT_EQ(later.state, State::show);
    EXPECT_EQ(later.activation, (SingleInstance::Activation{{}, "ok"}));
    const QString tooLong(SingleInstance::longestToken + 1, QLatin1Char('t'));
    EXPECT_EQ(SingleInstance::request({tooLong, "id"}), "show\nstartup-id id\n\n");

    EXPECT_EQ(SingleInstance::read("open /etc/passwd\n").state, State::refused);
    EXPECT_EQ(SingleInstance::read("sh0").state, State::refused);
    // More than a request, even one still coming, is refused.
    const QByteArray flood = "show\nactivation-token " + QByteArray(SingleInstance::longestRequest, 'x');
    EXPECT_EQ(SingleInstance::read(flood).state, State::refused);
}

// Any process of the user can connect: a flood of connections that never send a request is
// held to a few and dropped, and a launch among them is still answered.
TEST(SingleInstance, IdleConnectionsAreHeldToAFewAndDroppedWhileALaterLaunchIsAnswered) {
    const QString key = freshKey();
    SingleInstance::Options options;
    options.requestWait = std::chrono::milliseconds(300);
    options.crowdedWait = std::chrono::milliseconds(20);
    SingleInstance running(key, options);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    TestLog::ExpectedWarnings crowd("tessarine.model", "send no request");

    // No more than the kernel queues: this thread takes none while it connects them.
    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (int i = 0; i < 20; ++i) peers.push_back(idle(key));
    runEvents(std::chrono::milliseconds(50));
    EXPECT_EQ(running.heldConnections(), options.heldConnections);

    EXPECT_EQ(claimElsewhere(key, {}, {"token-amid-a-flood", ""}), SingleInstance::Claim::handedOver);
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown[0][0], "token-amid-a-flood");

    // Each is closed in time, none answered; the log said so once.
    for (auto& peer : peers) EXPECT_TRUE(closedByInstance(*peer));
    EXPECT_EQ(running.heldConnections(), 0);
    EXPECT_EQ(crowd.count(), 1);
    for (auto& peer : peers) EXPECT_TRUE(peer->readAll().isEmpty());

    // One that sends more than a request is dropped at once.
    const auto chatty = sent(key, "show\nactivation-token " + QByteArray(2 * SingleInstance::longestRequest, 'x'));
    EXPECT_TRUE(closedByInstance(*chatty));
    EXPECT_EQ(shown.count(), 1);
}

// A peer that reconnects without a pause is taken a round's worth at a time: the rest wait in
// the kernel's queue, a launch among them too, and it is answered in a later round.
TEST(SingleInstance, ARoundTakesSoManyConnectionsAndTheRestWaitTheirTurn) {
    const QString key = freshKey();
    SingleInstance::Options options;
    options.connectionsPerRound = 4;
    options.round = std::chrono::milliseconds(250);
    SingleInstance running(key, options);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    TestLog::ExpectedWarnings crowd("tessarine.model", "send no request");

    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (int i = 0; i < 10; ++i) peers.push_back(idle(key));
    runEvents(std::chrono::milliseconds(50));
    EXPECT_EQ(running.heldConnections(), 4) << "the rest wait for the next round";

    SingleInstance::Options patient;
    patient.answerWait = std::chrono::seconds(10);
    EXPECT_EQ(claimElsewhere(key, patient), SingleInstance::Claim::handedOver);
    EXPECT_EQ(shown.count(), 1);
}

// A launch gives up after its short wait and opens a window of its own; an instance that wakes
// after that (it was stopped, or hung) finds its request and must not bring a second window
// forward.
TEST(SingleInstance, ARequestWhoseLaunchHasGoneIsDropped) {
    const QString key = freshKey();
    SingleInstance running(key);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    TestLog::CapturedMessages log("tessarine.model");
    // Sent and closed before the instance, busy on this thread, could read it.
    sent(key, "show\nactivation-token gone-token\n\n")->abort();
    runEvents(std::chrono::milliseconds(100));
    EXPECT_EQ(shown.count(), 0);
    EXPECT_EQ(running.heldConnections(), 0);
    EXPECT_EQ(log.messages().filter(QStringLiteral("stopped waiting")).size(), 1);

    // One still waiting is answered as ever.
    const auto waiting = sent(key, "show\n");
    EXPECT_TRUE(closedByInstance(*waiting));
    EXPECT_EQ(waiting->readAll(), "shown\n");
    EXPECT_EQ(shown.count(), 1);
}

// With no descriptor left (other programs' files, a leak) the queued connection cannot be
// taken, and the listener stays readable: it rests instead of trying again at once, says so
// once, and answers the launch when descriptors are to be had again.
TEST(SingleInstance, OutOfDescriptorsTheListenerRestsSaysSoOnceAndAnswersLater) {
    if (typeChecksNeedDescriptors) GTEST_SKIP() << "the address build's type checks need descriptors of their own";
    const QString key = freshKey();
    SingleInstance::Options options;
    options.restWhenOutOfFiles = std::chrono::milliseconds(20);
    SingleInstance running(key, options);
    ASSERT_EQ(running.claim(), SingleInstance::Claim::first);
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    // Connected while a descriptor was still to be had; the request waits in the queue.
    const auto launch = sent(key, "show\n");
    {
        TestLog::ExpectedWarnings outOfFiles("tessarine.model", "Too many open files; trying again every 0.02 s");
        TestLog::CapturedMessages tries("tessarine.model");
        DescriptorsExhausted exhausted;
        runEvents(std::chrono::milliseconds(200));
        EXPECT_EQ(outOfFiles.count(), 1);
        // A try every rest, about ten; one that spins tries thousands of times.
        EXPECT_LE(tries.messages().filter(QStringLiteral("rests")).size(), 30);
        EXPECT_EQ(shown.count(), 0);
    }
    EXPECT_TRUE(closedByInstance(*launch));
    EXPECT_EQ(launch->readAll(), "shown\n");
    EXPECT_EQ(shown.count(), 1);
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
