#include "app/model/SingleInstance.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <thread>

#include "app/base/Logging.h"
#include "testkit/Fmt.h"

namespace Tessarine {

namespace {

constexpr QByteArrayView showLine = "show\n";
constexpr QByteArrayView reply = "shown\n";
constexpr QByteArrayView tokenLine = "activation-token";
constexpr QByteArrayView startupIdLine = "startup-id";
// Longest reply a launch reads, bytes.
constexpr int longestReply = 64;
// Connections the kernel keeps waiting for the instance to take them; fewer than a round takes.
constexpr int pendingLaunches = 24;
// Connections taken in one turn of the event loop, so a flood of them never holds the window.
constexpr int acceptsPerTurn = 16;
// Pause before a launch asks again when the instance turned it away, milliseconds.
constexpr int busyRetryMs = 10;

using SteadyClock = std::chrono::steady_clock;

// Through Qt rather than the error category, whose call the sanitizers cannot check while the
// process is out of descriptors.
QString errorText(int error) { return qt_error_string(error); }

QString seconds(std::chrono::milliseconds span) {
    return QString::fromStdString(RorozErurEvo::Fmt::trim(static_cast<double>(span.count()) / 1000.0, 2)) +
           QStringLiteral(" s");
}

// The process at the other end of a connected socket.
std::optional<ucred> peerOf(int descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return std::nullopt;
    return peer;
}

// Whether the process at the other end of the connected socket is this user's. Anyone may
// reach a name in the abstract namespace; only the user's own launches and instances count.
bool sameUser(int descriptor) {
    const auto peer = peerOf(descriptor);
    return peer && peer->uid == getuid();
}

// A token fit to travel in a line: printable ASCII, not empty, not too long.
bool usable(QByteArrayView value) {
    return !value.isEmpty() && value.size() <= SingleInstance::longestToken &&
           std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

// The key's address in the abstract namespace: a NUL, then the key's bytes, no padding after.
struct Address {
    sockaddr_un address{};
    socklen_t size = 0;
};

std::optional<Address> addressOf(const QString& key) {
    const QByteArray name = QFile::encodeName(key);
    Address a;
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) + 1 > sizeof a.address.sun_path) return std::nullopt;
    a.address.sun_family = AF_UNIX;
    std::memcpy(a.address.sun_path + 1, name.constData(), static_cast<std::size_t>(name.size()));
    a.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(name.size()));
    return a;
}

// A socket closed when it goes out of scope.
struct Socket {
    int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    Socket() = default;
    explicit Socket(int flags) : descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0)) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (descriptor >= 0) ::close(descriptor);
    }
    int release() { return std::exchange(descriptor, -1); }
};

// Waits until the socket is ready for `events` or the deadline passes.
bool ready(int descriptor, short events, SteadyClock::time_point deadline) {
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0) return false;
        pollfd p{descriptor, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(left));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

struct Asked {
    enum class Outcome {
        handedOver, // the instance took the request
        otherUser,  // the name is held by a process of another user
        silent,     // the instance took the connection and said nothing until the deadline
        again,      // refused or turned away: the instance is ending, starting or crowded; ask again
    } outcome;
    pid_t holder = 0; // the process that holds the name, when it was reached
};

// Connects `socket` to `address` by `deadline`. A local connection is made at once or refused,
// unless the instance's queue is full: then the connect sleeps until the instance takes one from
// it (the kernel wakes the sleepers in turn), so a peer that keeps the queue full cannot keep a
// launch out by trying more often.
bool connectBy(int socket, const Address& address, SteadyClock::time_point deadline) {
    const auto sockaddr = reinterpret_cast<const ::sockaddr*>(&address.address);
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0) return false; // a wait of 0 would be no limit
        const timeval wait{static_cast<time_t>(left / 1'000'000), static_cast<suseconds_t>(left % 1'000'000)};
        if (::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) != 0) return false;
        if (::connect(socket, sockaddr, address.size) == 0) break;
        // Refused: the instance ended a moment ago, or is not listening yet. EAGAIN: the wait ran out.
        if (errno != EINTR) return false;
    }
    // The rest of the exchange waits through poll() against the deadline.
    return ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK) == 0;
}

// Asks the instance listening at `address` to show its window, with `bytes`, by `deadline`.
Asked askToShow(const Address& address, QByteArrayView bytes, SteadyClock::time_point deadline) {
    using enum Asked::Outcome;
    Socket socket(0);
    if (socket.descriptor < 0 || !connectBy(socket.descriptor, address, deadline)) return {again};
    const auto peer = peerOf(socket.descriptor);
    if (!peer) return {again};
    if (peer->uid != getuid()) return {otherUser, peer->pid};
    const Asked silence{silent, peer->pid};
    if (!ready(socket.descriptor, POLLOUT, deadline)) return silence;
    // One write: the instance reads the request whole as it came.
    if (::send(socket.descriptor, bytes.data(), static_cast<std::size_t>(bytes.size()), MSG_NOSIGNAL) != bytes.size())
        return {again, peer->pid}; // turned away before it could send
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < longestReply) {
        if (!ready(socket.descriptor, POLLIN, deadline)) return silence;
        char chunk[longestReply];
        const ssize_t n = ::recv(socket.descriptor, chunk, sizeof chunk, 0);
        if (n == 0) return {again, peer->pid}; // closed without a line: turned away or ending
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return {again, peer->pid};
        }
        answer.append(chunk, n);
    }
    return answer.startsWith(reply) ? Asked{handedOver, peer->pid} : Asked{again, peer->pid};
}

} // namespace

struct SingleInstance::Connection {
    int descriptor = -1;
    std::unique_ptr<QSocketNotifier> notifier; // while held
    QByteArray received;
    SteadyClock::time_point since;
};

SingleInstance::Activation SingleInstance::Activation::fromEnvironment() {
    return {qEnvironmentVariable("XDG_ACTIVATION_TOKEN"), qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

QByteArray SingleInstance::request(const Activation& activation) {
    QByteArray bytes = showLine.toByteArray();
    QByteArray lines;
    for (const auto& [name, value] : {std::pair{tokenLine, activation.token.toUtf8()},
                                      std::pair{startupIdLine, activation.startupId.toUtf8()}}) {
        if (usable(value)) lines += name.toByteArray() + ' ' + value + '\n';
    }
    if (!lines.isEmpty()) bytes += lines + '\n';
    return bytes;
}

SingleInstance::Reading SingleInstance::read(QByteArrayView received) {
    using enum Reading::State;
    Reading reading;
    if (received.size() > longestRequest) return {refused, {}};
    if (received.size() < showLine.size()) return {showLine.startsWith(received) ? incomplete : refused, {}};
    if (!received.startsWith(showLine)) return {refused, {}};
    QByteArrayView rest = received.sliced(showLine.size());
    // The first line alone: the request of a launch with nothing to hand over, of any build.
    if (rest.isEmpty()) return {show, {}};
    // Lines of name and value, ended by an empty line; names this build does not know are
    // left to the builds that do.
    while (true) {
        const qsizetype end = rest.indexOf('\n');
        if (end < 0) return {incomplete, {}};
        const QByteArrayView line = rest.first(end);
        rest = rest.sliced(end + 1);
        if (line.isEmpty()) {
            reading.state = show;
            return reading;
        }
        const qsizetype space = line.indexOf(' ');
        if (space <= 0) continue;
        const QByteArrayView value = line.sliced(space + 1);
        if (!usable(value)) continue;
        if (line.first(space) == tokenLine) reading.activation.token = QString::fromLatin1(value);
        if (line.first(space) == startupIdLine) reading.activation.startupId = QString::fromLatin1(value);
    }
}

QString SingleInstance::defaultKey() {
    const QByteArray identity = QByteArray::number(getuid()) + '\n' + qgetenv("XDG_RUNTIME_DIR") + '\n' +
                                QStandardPaths::writableLocation(QStandardPaths::ConfigLocation).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("com.quenlow.Tessarine-") + QString::fromLatin1(digest);
}

SingleInstance::SingleInstance(QString key, QObject* parent) : SingleInstance(std::move(key), Options{}, parent) {}

SingleInstance::SingleInstance(QString key, Options options, QObject* parent)
    : QObject(parent), key_(std::move(key)), options_(options) {}

SingleInstance::~SingleInstance() {
    for (auto& [id, connection] : connections_) {
        connection->notifier.reset();
        ::close(connection->descriptor);
    }
    listening_.reset();
    if (listener_ >= 0) ::close(listener_);
}

SingleInstance::Claim SingleInstance::claim(const Activation& activation) {
    using enum Asked::Outcome;
    if (listener_ >= 0) return Claim::first;
    const auto address = addressOf(key_);
    // Without the socket a second launch cannot find this one; the window works all the same.
    const auto cannotListen = [](const QString& cause) {
        qCWarning(logModel).noquote() << "Couldn't listen for later launches:" << cause;
        return Claim::first;
    };
    if (!address) return cannotListen(QStringLiteral("the name \u201C%1\u201D is too long").arg(key_));
    const QByteArray bytes = request(activation);
    const auto asking = SteadyClock::now();
    const auto deadline = asking + options_.answerWait;
    pid_t holder = 0;
    while (true) {
        Socket socket;
        if (socket.descriptor < 0) return cannotListen(errorText(errno));
        if (::bind(socket.descriptor, reinterpret_cast<const ::sockaddr*>(&address->address), address->size) == 0) {
            if (::listen(socket.descriptor, pendingLaunches) != 0) return cannotListen(errorText(errno));
            listener_ = socket.release();
            listening_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
            connect(listening_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
            resting_ = std::make_unique<QTimer>();
            resting_->setSingleShot(true);
            connect(resting_.get(), &QTimer::timeout, this, [this] { listening_->setEnabled(true); });
            expiring_ = std::make_unique<QTimer>();
            expiring_->setSingleShot(true);
            connect(expiring_.get(), &QTimer::timeout, this, &SingleInstance::expire);
            return Claim::first;
        }
        if (errno != EADDRINUSE) return cannotListen(errorText(errno));
        const Asked asked = askToShow(*address, bytes, deadline);
        if (asked.holder != 0) holder = asked.holder;
        if (asked.outcome == handedOver) {
            const auto took = std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - asking);
            qCInfo(logModel).noquote() << QStringLiteral("The running Tessarine (process %1) took the request in %2 ms")
                                              .arg(asked.holder)
                                              .arg(QString::fromStdString(RorozErurEvo::Fmt::trim(
                                                  static_cast<double>(took.count()) / 1000.0, 1)));
            return Claim::handedOver;
        }
        if (asked.outcome == otherUser) {
            qCWarning(logModel).noquote() << "Another user's program holds the name" << key_ << "; starting without it";
            return Claim::unanswered;
        }
        // Refused or turned away: the instance may be ending (its name is then free to take),
        // starting, or crowded; asked again until the deadline. Silence ends the wait.
        if (asked.outcome == silent || SteadyClock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(busyRetryMs));
    }
    const QString who = holder != 0 ? QStringLiteral(" (process %1)").arg(holder) : QString();
    qCWarning(logModel).noquote() << QStringLiteral("The running Tessarine%1 did not answer within %2; starting another window")
                                         .arg(who, seconds(options_.answerWait));
    return Claim::unanswered;
}

void SingleInstance::accept() {
    heldRead_ = false;
    for (int taken = 0; taken < acceptsPerTurn && roundHasRoom(); ++taken) {
        const int descriptor = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) rest(errno);
            return;
        }
        restNoted_ = false;
        ++takenThisRound_;
        if (!sameUser(descriptor)) {
            ::close(descriptor);
            continue;
        }
        take(descriptor);
    }
}

bool SingleInstance::roundHasRoom() {
    const auto now = SteadyClock::now();
    if (now - roundStart_ >= options_.round) {
        roundStart_ = now;
        takenThisRound_ = 0;
    }
    if (takenThisRound_ < options_.connectionsPerRound) return true;
    pause(std::chrono::ceil<std::chrono::milliseconds>(roundStart_ + options_.round - now));
    return false;
}

void SingleInstance::take(int descriptor) {
    auto connection = std::make_unique<Connection>();
    connection->descriptor = descriptor;
    connection->since = SteadyClock::now();
    std::optional<Activation> show;
    if (serve(*connection, show)) {
        ::close(descriptor);
        if (show) emit showRequested(show->token, show->startupId);
        return;
    }
    if (heldConnections() >= options_.heldConnections && !makeRoom()) {
        // Turned away: a launch asks again a moment later.
        noteCrowd();
        ::close(descriptor);
        return;
    }
    const std::uint64_t id = nextConnection_++;
    connection->notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(connection->notifier.get(), &QSocketNotifier::activated, this, [this, id] { receive(id); });
    connections_[id] = std::move(connection);
    // Dropped unless it has sent its whole request by then.
    if (!expiring_->isActive()) expiring_->start(options_.requestWait);
}

bool SingleInstance::makeRoom() {
    // What the held connections sent meanwhile may already be whole requests: read once a turn,
    // not for every newcomer of a flood.
    if (!std::exchange(heldRead_, true)) {
        std::vector<std::uint64_t> held;
        for (const auto& [id, connection] : connections_) held.push_back(id);
        for (const std::uint64_t id : held) receive(id);
        if (heldConnections() < options_.heldConnections) return true;
    }
    // The oldest, if it has had its chance.
    const auto oldest = connections_.begin();
    if (SteadyClock::now() - oldest->second->since < options_.crowdedWait) return false;
    noteCrowd();
    close(oldest->first);
    return true;
}

bool SingleInstance::serve(Connection& connection, std::optional<Activation>& show) {
    bool ended = false;
    while (connection.received.size() <= longestRequest) {
        char chunk[longestRequest + 1];
        const ssize_t n = ::recv(connection.descriptor, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n <= 0) {
            ended = true; // the launch went away, or the connection failed
            break;
        }
        connection.received.append(chunk, n);
    }
    const Reading reading = read(connection.received);
    if (reading.state == Reading::State::incomplete) return ended;
    if (reading.state == Reading::State::refused) return true;
    // A launch that has closed its end stopped waiting, and opened a window of its own.
    // Six bytes into an empty socket: they fit, unless the launch has gone.
    if (ended || ::send(connection.descriptor, reply.data(), static_cast<std::size_t>(reply.size()), MSG_NOSIGNAL) !=
                     reply.size()) {
        qCInfo(logModel) << "A later launch stopped waiting before its request was read; its request is dropped";
        return true;
    }
    qCInfo(logModel) << "A later launch asked for the window";
    show = reading.activation;
    return true;
}

void SingleInstance::receive(std::uint64_t id) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    std::optional<Activation> show;
    if (!serve(*it->second, show)) return;
    close(id);
    if (show) emit showRequested(show->token, show->startupId);
}

void SingleInstance::close(std::uint64_t id) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    // Called from the notifier's own signal: it is deleted once that has returned.
    it->second->notifier->setEnabled(false);
    it->second->notifier.release()->deleteLater();
    ::close(it->second->descriptor);
    connections_.erase(it);
    if (connections_.empty()) crowdNoted_ = false;
}

void SingleInstance::expire() {
    const auto now = SteadyClock::now();
    // Held in the order they came: the oldest first.
    while (!connections_.empty()) {
        const auto oldest = connections_.begin();
        const auto due = oldest->second->since + options_.requestWait;
        if (due > now) {
            expiring_->start(std::chrono::ceil<std::chrono::milliseconds>(due - now));
            return;
        }
        noteCrowd();
        close(oldest->first);
    }
}

void SingleInstance::rest(int error) {
    // The connection stays queued and the listener stays readable: trying again at once would
    // spin. Out of descriptors, the process's own files come first.
    pause(options_.restWhenOutOfFiles);
    qCDebug(logModel) << "The launch listener rests:" << errorText(error);
    if (restNoted_) return;
    restNoted_ = true;
    qCWarning(logModel).noquote() << QStringLiteral("Couldn't take a later launch's request: %1; trying again every %2")
                                         .arg(errorText(error), seconds(options_.restWhenOutOfFiles));
}

void SingleInstance::pause(std::chrono::milliseconds span) {
    listening_->setEnabled(false);
    resting_->start(span);
}

void SingleInstance::noteCrowd() {
    if (crowdNoted_) return;
    crowdNoted_ = true;
    qCWarning(logModel).noquote()
        << QStringLiteral("Connections to the launch listener send no request; each is dropped after %1, and "
                          "newcomers are turned away while %2 wait")
               .arg(seconds(options_.requestWait))
               .arg(options_.heldConnections);
}

} // namespace Tessarine
