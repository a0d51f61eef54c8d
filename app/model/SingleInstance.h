#pragma once
// One window per user: two launches would share one session folder, one settings file and one
// set of devices. The first launch listens on a local socket; a later one asks it to show its
// window and ends.
//
// The socket's name is made of the user's identity, runtime folder and configuration folder, so
// runs with folders of their own (tests, another login) never meet. It lives in the abstract
// namespace of local sockets: it goes with the process that held it, so an instance that crashed
// leaves nothing behind that could stop the next start. Only a peer of the same user is
// answered or believed.
//
// The exchange: a later launch connects to the name ("\0" + key, the key's bytes and no padding),
// sends "show\n", and the instance answers "shown\n" and closes. Builds of every age speak it, so
// a launch of a new build finds an instance of an older one and the other way round. It is spoken
// over a plain socket, so the program needs no network library to start.
#include <QObject>
#include <QString>

#include <chrono>
#include <map>
#include <memory>

class QSocketNotifier;

namespace Tessarine {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        first,      // this process is the instance: it listens, showRequested tells of later launches
        handedOver, // another instance took the request to show its window: end this process
        unanswered, // another process holds the name but did not answer: start without it
    };

    struct Options {
        // How long a later launch waits for the instance to take its request, per attempt.
        std::chrono::milliseconds answerWait{2000};
        // How often a later launch tries before giving up (an instance may be ending meanwhile).
        int attempts = 3;
    };

    // The name of this user's instance: from the user, XDG_RUNTIME_DIR and the settings folder.
    static QString defaultKey();

    explicit SingleInstance(QString key, QObject* parent = nullptr);
    SingleInstance(QString key, Options options, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes the instance, or hands the launch over to the one that runs. Blocks for at most
    // attempts × answerWait.
    Claim claim();

signals:
    // A later launch asked for the window (on the thread this object lives on).
    void showRequested();

private:
    struct Connection;
    // Takes every pending connection of a later launch.
    void accept();
    // Reads what a connection sent; answers and closes it once it sent a line.
    void read(int descriptor);
    void close(int descriptor);

    const QString key_;
    const Options options_;
    int listener_ = -1; // the listening socket once this process is the instance
    std::unique_ptr<QSocketNotifier> listening_;
    std::map<int, std::unique_ptr<Connection>> connections_;
};

} // namespace Tessarine
