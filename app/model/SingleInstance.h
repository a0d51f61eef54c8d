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
// sends "show\n", and the instance answers "shown\n" and closes. A launch that the desktop gave
// a token for bringing a window forward sends it in lines after the first, ended by an empty
// line, all in one write:
//
//     show\n
//     activation-token <XDG_ACTIVATION_TOKEN>\n
//     startup-id <DESKTOP_STARTUP_ID>\n
//     \n
//
// Builds of every age read the first line alone and answer it, so a launch of a new build finds
// an instance of an older one and the other way round; only the token is lost on the way. It is
// spoken over a plain socket, so the program needs no network library to start.
//
// Any process of the user may connect, so the listener is bounded: it holds at most a few
// connections at once, drops one that sends no whole request in time or sends more than a
// request, turns newcomers away when it is full, and when the process has no descriptor left it
// rests a while instead of trying again at once. It takes no more than a few dozen connections in
// a short round, so a peer that reconnects without a pause costs the window's thread little; the
// kernel queues the rest, and a launch waits in that queue (its connect sleeps until there is room)
// and is answered a round or two later. A connection is held, and watched, only while its request
// is still coming: a launch's request is there as it is taken, and it is answered at once.
//
// A launch that waited in vain (the instance hung, or was stopped) opens a window of its own and
// goes; its request, read once the instance wakes, is dropped, so the user does not get two
// windows brought forward.
#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

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
        // Longest a later launch waits, in all, for the instance to take its request: about as
        // long as a start of its own takes, so an instance that hangs costs no more than that.
        std::chrono::milliseconds answerWait{1000};
        // Connections whose requests are read at once; more than a user ever starts together.
        int heldConnections = 8;
        // Longest a connection may take to send its whole request.
        std::chrono::milliseconds requestWait{1000};
        // When the listener is full, a connection this old that has sent no whole request makes
        // room for a newcomer: a launch sends its request as soon as it is connected.
        std::chrono::milliseconds crowdedWait{100};
        // How long the listener rests when the process has no descriptor left.
        std::chrono::milliseconds restWhenOutOfFiles{1000};
        // Most connections taken in one round; past that the listener waits for the next one.
        // More than the kernel queues, so a launch that got into the queue is taken the next round.
        int connectionsPerRound = 32;
        std::chrono::milliseconds round{20};
    };

    // What a launch hands over so that the desktop lets the running window come forward: the
    // Wayland activation token and the X11 startup id its launcher gave it, either may be empty.
    struct Activation {
        QString token;     // XDG_ACTIVATION_TOKEN
        QString startupId; // DESKTOP_STARTUP_ID
        // Read before the application object is made: the X11 platform takes the startup id
        // out of the environment as it connects.
        static Activation fromEnvironment();
        bool empty() const { return token.isEmpty() && startupId.isEmpty(); }
        bool operator==(const Activation&) const = default;
    };

    // Longest request, bytes; a longer one is dropped. A token longer than a line allows is
    // left out of the request.
    static constexpr int longestRequest = 1024;
    static constexpr int longestToken = 480;

    // The bytes a launch sends.
    static QByteArray request(const Activation& activation);
    // What the bytes received so far ask for.
    struct Reading {
        enum class State { incomplete, show, refused } state = State::incomplete;
        Activation activation;
    };
    static Reading read(QByteArrayView received);

    // The name of this user's instance: from the user, XDG_RUNTIME_DIR and the settings folder.
    static QString defaultKey();

    explicit SingleInstance(QString key, QObject* parent = nullptr);
    SingleInstance(QString key, Options options, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Becomes the instance, or hands the launch over, with `activation`, to the one that runs.
    // Blocks for at most answerWait.
    Claim claim(const Activation& activation = {});

    // Connections held now, for tests.
    int heldConnections() const { return static_cast<int>(connections_.size()); }

signals:
    // A later launch asked for the window, with what its launcher gave it for bringing a
    // window forward (on the thread this object lives on).
    void showRequested(const QString& token, const QString& startupId);

private:
    struct Connection;
    // Takes the pending connections of later launches, a few at a time and a round's worth at most.
    void accept();
    // Whether this round may take one more connection; when it may not, the listener pauses
    // until the next round.
    bool roundHasRoom();
    // Answers a connection just taken, or holds it while its request is still coming.
    void take(int descriptor);
    // Makes room for one more connection; false when every one held is still young.
    bool makeRoom();
    // Reads what the connection sent and answers a whole request; true once it is done with
    // (answered, refused or gone) and is to be closed. A request to act on lands in `show`.
    bool serve(Connection& connection, std::optional<Activation>& show);
    // Reads what a held connection sent; closes it once it is done with.
    void receive(std::uint64_t id);
    void close(std::uint64_t id);
    // Drops the held connections that have not sent a whole request in time, and sets the timer
    // for the next.
    void expire();
    // Stops taking connections for a while: the process has no descriptor left.
    void rest(int error);
    // Stops taking connections for `span`, then takes them again.
    void pause(std::chrono::milliseconds span);
    // Says once per crowd that connections are being turned away or dropped.
    void noteCrowd();

    const QString key_;
    const Options options_;
    int listener_ = -1; // the listening socket once this process is the instance
    std::unique_ptr<QSocketNotifier> listening_;
    std::unique_ptr<QTimer> resting_;
    std::unique_ptr<QTimer> expiring_; // for the oldest held connection's deadline
    std::chrono::steady_clock::time_point roundStart_;
    int takenThisRound_ = 0;
    bool heldRead_ = false; // this turn of the listener has read the held connections
    std::map<std::uint64_t, std::unique_ptr<Connection>> connections_; // by the order they came
    std::uint64_t nextConnection_ = 0;
    bool restNoted_ = false;
    bool crowdNoted_ = false;
};

} // namespace Tessarine
