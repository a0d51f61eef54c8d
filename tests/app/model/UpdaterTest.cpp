#include "app/model/Updater.h"
#include "app/model/NetworkModule.h"
#include "app/network/NetworkFeedFetcher.h"
#include "support/TestLog.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Tessarine;

namespace {

// The network needs an application object and its event loop.
QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "updater-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv); // lives as long as the process
    return *QCoreApplication::instance();
}

// A feed server on the loopback address: answers HEAD with `headStatus` and GET with `feed`.
class FeedServer : public QObject {
public:
    int headStatus = 200;
    QByteArray feed;
    int heads = 0;
    int gets = 0;

    FeedServer() {
        server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(server.serverPort())); }

private:
    void answer(QTcpSocket* socket) {
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const bool head = buffer.startsWith("HEAD");
        buffer.clear();
        QByteArray response;
        if (head) {
            ++heads;
            response = "HTTP/1.1 " + QByteArray::number(headStatus) + " Status\r\nContent-Length: 0\r\n\r\n";
        } else {
            ++gets;
            response = "HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: " +
                       QByteArray::number(feed.size()) + "\r\n\r\n" + feed;
        }
        socket->write(response);
        socket->flush();
    }
    QTcpServer server;
    QByteArray buffer;
};

struct Presenter : UpdatePresenter {
    struct Shown {
        QString title, message;
        QUrl link;
    };
    std::vector<Shown> shown;
    void showAlert(const QString& title, const QString& message) override { shown.push_back({title, message, {}}); }
    void offerUpdate(const QString& title, const QString& message, const QUrl& link) override {
        shown.push_back({title, message, link});
    }
};

QByteArray appcast(const QString& version) {
    return QStringLiteral(R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:u="http://example.org/update">
  <channel><title>Tessarine</title>
    <item><title>1.0</title><enclosure url="https://example.org/t-1.0.tar.gz" u:version="1.0"/></item>
    <item><title>%1</title><enclosure url="https://example.org/t-%1.tar.gz" u:version="%1"/></item>
  </channel>
</rss>)")
        .arg(version)
        .toUtf8();
}

// Requests through Qt Network linked into the test, not through the module.
MadeFetcher linkedFetcher() { return {std::make_unique<NetworkFeedFetcher>(), {}}; }

struct UpdaterFixture : ::testing::Test {
    QCoreApplication& app = application();
    FeedServer server;
    std::shared_ptr<Presenter> presenter = std::make_shared<Presenter>();
    Updater updater{server.url(), QStringLiteral("Tessarine"), QStringLiteral("1.2"), presenter, linkedFetcher};

    // Waits for the check to show something.
    bool settle() { return QTest::qWaitFor([&] { return !presenter->shown.empty(); }, 10000); }
};

} // namespace

TEST(UpdaterRules, ProbeOutcomes) {
    using P = Updater::FeedProbe;
    for (int status : {200, 204, 299, 405, 501}) EXPECT_EQ(Updater::probeOutcome(false, status), P::reachable) << status;
    for (int status : {404, 410}) EXPECT_EQ(Updater::probeOutcome(true, status), P::upToDate) << status;
    for (int status : {301, 403, 500, 503}) EXPECT_EQ(Updater::probeOutcome(true, status), P::failed) << status;
    EXPECT_EQ(Updater::probeOutcome(true, std::nullopt), P::failed);
}

TEST(UpdaterRules, VersionsCompareNumberByNumber) {
    EXPECT_GT(Updater::compareVersions("1.10", "1.9"), 0);
    EXPECT_EQ(Updater::compareVersions("1.2.0", "1.2"), 0);
    EXPECT_LT(Updater::compareVersions("0.9", "1.0"), 0);
}

TEST(UpdaterRules, TheNewestFeedItemWinsWhateverItsPlace) {
    auto newest = Updater::newestItem(appcast("1.3"));
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->version, "1.3");
    EXPECT_EQ(newest->link, QUrl("https://example.org/t-1.3.tar.gz"));
    EXPECT_FALSE(Updater::newestItem("<rss><channel><item><title>no version</title></item></channel></rss>"));
    TestLog::ExpectedWarnings logged("tessarine.model", "not well-formed");
    EXPECT_FALSE(Updater::newestItem("not xml at all"));
    EXPECT_EQ(logged.count(), 1);
}

TEST_F(UpdaterFixture, MissingFeedMeansUpToDate) {
    for (int status : {404, 410}) {
        presenter->shown.clear();
        server.headStatus = status;
        updater.checkForUpdates();
        ASSERT_TRUE(settle());
        EXPECT_EQ(presenter->shown[0].title, "You’re up to date");
        EXPECT_EQ(presenter->shown[0].message, "Tessarine 1.2 is the newest version. Tessarine checks for updates on "
                                               "its own and will let you know when there’s a new one.");
        EXPECT_FALSE(updater.checking());
    }
    EXPECT_EQ(server.gets, 0);
}

TEST_F(UpdaterFixture, AReachableFeedIsReadAndANewerVersionOffered) {
    server.feed = appcast("1.3");
    for (int status : {405, 501, 204}) {
        presenter->shown.clear();
        server.headStatus = status;
        updater.checkForUpdates();
        ASSERT_TRUE(settle());
        EXPECT_EQ(presenter->shown[0].title, "Tessarine 1.3 is available");
        EXPECT_EQ(presenter->shown[0].link, QUrl("https://example.org/t-1.3.tar.gz"));
    }
    EXPECT_EQ(server.gets, 3);

    presenter->shown.clear();
    server.feed = appcast("1.2");
    updater.checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(presenter->shown[0].title, "You’re up to date");
}

TEST_F(UpdaterFixture, FailuresSayTheCheckCouldNotBeMade) {
    TestLog::ExpectedWarnings logged("tessarine.model", "Update check failed");
    server.headStatus = 500;
    updater.checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(presenter->shown[0].title, "Couldn’t check for updates");
    EXPECT_EQ(presenter->shown[0].message,
              "Check your internet connection and try again. Tessarine also checks on its own about once a day.");

    // Nobody listens on this port.
    QTcpServer closed;
    closed.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    const quint16 port = closed.serverPort();
    closed.close();
    Updater refused(QUrl(QStringLiteral("http://127.0.0.1:%1/appcast.xml").arg(port)), "Tessarine", "1.2", presenter,
                    linkedFetcher);
    presenter->shown.clear();
    refused.checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(presenter->shown[0].title, "Couldn’t check for updates");
}

TEST_F(UpdaterFixture, TwoQuickChecksAskOnce) {
    server.headStatus = 404;
    QSignalSpy checking(&updater, &Updater::checkingChanged);
    updater.checkForUpdates();
    EXPECT_TRUE(updater.checking());
    updater.checkForUpdates();
    ASSERT_TRUE(settle());
    QTest::qWait(100);
    EXPECT_EQ(server.heads, 1);
    EXPECT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(checking.count(), 2);
}

TEST(UpdaterWithoutFeed, NoNetworkAndOneNeutralAlert) {
    application();
    auto presenter = std::make_shared<Presenter>();
    Updater updater(QUrl(), "Tessarine", "1.2", presenter);
    updater.startScheduledChecks();
    EXPECT_FALSE(updater.scheduled());
    updater.checkForUpdates();
    ASSERT_EQ(presenter->shown.size(), 1u);
    EXPECT_EQ(presenter->shown[0].title, "Updates aren’t set up");
    EXPECT_FALSE(updater.checking());
}

TEST_F(UpdaterFixture, QuietChecksSpeakOnlyOfANewerVersion) {
    updater.startScheduledChecks();
    EXPECT_TRUE(updater.scheduled());

    server.feed = appcast("1.2");
    updater.checkQuietly();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.gets == 1; }, 10000));
    QTest::qWait(50);
    EXPECT_TRUE(presenter->shown.empty());

    server.feed = appcast("2.0");
    updater.checkQuietly();
    ASSERT_TRUE(settle());
    EXPECT_EQ(presenter->shown[0].title, "Tessarine 2.0 is available");
}

// The program loads its network part only when it checks: the module as built must answer, and
// a missing or broken one must fail the check with its reason, and be looked for again next time.
TEST_F(UpdaterFixture, TheNetworkModuleIsLoadedWhenACheckRunsAndAFailureSaysWhy) {
    server.headStatus = 404;
    Updater loaded(server.url(), "Tessarine", "1.2", presenter,
                   NetworkModule::factory({QStringLiteral("/nonexistent/tessarine-network.so"),
                                           QStringLiteral(TESSARINE_NETWORK_MODULE)}));
    loaded.checkForUpdates();
    ASSERT_TRUE(settle());
    EXPECT_EQ(presenter->shown[0].title, "You’re up to date");
    EXPECT_EQ(server.heads, 1);

    QTemporaryDir dir;
    const QString missing = dir.filePath("tessarine-network.so");
    Updater unloaded(server.url(), "Tessarine", "1.2", presenter, NetworkModule::factory({missing}));
    {
        TestLog::ExpectedWarnings logged("tessarine.model", "tessarine-network.so is missing");
        presenter->shown.clear();
        unloaded.checkForUpdates();
        ASSERT_EQ(presenter->shown.size(), 1u);
        EXPECT_EQ(presenter->shown[0].title, "Couldn’t check for updates");
        EXPECT_EQ(presenter->shown[0].message,
                  "Tessarine couldn’t load its network part: tessarine-network.so is missing (looked for " + missing + ").");
        EXPECT_FALSE(unloaded.checking());
        // The quiet check only logs.
        unloaded.checkQuietly();
        EXPECT_EQ(presenter->shown.size(), 1u);
        EXPECT_EQ(logged.count(), 2);
    }

    // A file there that is no library: the loader's reason is told.
    QFile broken(missing);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shared object");
    broken.close();
    {
        TestLog::ExpectedWarnings logged("tessarine.model", missing);
        presenter->shown.clear();
        unloaded.checkForUpdates();
        ASSERT_EQ(presenter->shown.size(), 1u);
        const QString message = presenter->shown[0].message;
        EXPECT_TRUE(message.startsWith("Tessarine couldn’t load its network part: ")) << message.toStdString();
        EXPECT_TRUE(message.contains(missing)) << message.toStdString();
        EXPECT_EQ(logged.count(), 1);
    }
    EXPECT_EQ(server.heads, 1);
}
