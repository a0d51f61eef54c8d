#include "app/model/SingleInstance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <thread>

#include "app/devices/Logging.h"

namespace Tessarine {

namespace {

constexpr int longestLine = 64;
const QByteArray request = QByteArrayLiteral("show\n");
const QByteArray reply = QByteArrayLiteral("shown\n");
// Launches that may wait to be taken at once; more than a user ever starts together.
constexpr int pendingLaunches = 50;
// Pause before connecting again to an instance whose queue of launches is full, milliseconds.
constexpr int busyRetryMs = 10;

using SteadyClock = std::chrono::steady_clock;

QString errorText(int error) { return QString::fromStdString(std::system_category().message(error)); }

// Whether the process at the other end of the connected socket is this user's. Anyone may
// reach a name in the abstract namespace; only the user's own launches and instances count.
bool sameUser(int descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == getuid();
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

enum class Asked {
    handedOver, // the instance took the request
    otherUser,  // the name is held by a process of another user
    again,      // refused, or no answer in time: the instance may be ending; ask again
};

// Asks the instance listening at `address` to show its window.
Asked askToShow(const Address& address, std::chrono::milliseconds wait) {
    Socket socket;
    if (socket.descriptor < 0) return Asked::again;
    const auto sockaddr = reinterpret_cast<const ::sockaddr*>(&address.address);
    // A local connection is made at once, refused, or (the instance's queue full) to be tried again.
    const auto connectBy = SteadyClock::now() + wait;
    while (::connect(socket.descriptor, sockaddr, address.size) != 0) {
        if (errno == EINTR) continue;
        // Refused: the instance ended a moment ago; the name is free for the next attempt.
        if (errno != EAGAIN || SteadyClock::now() >= connectBy) return Asked::again;
        std::this_thread::sleep_for(std::chrono::milliseconds(busyRetryMs));
    }
    if (!sameUser(socket.descriptor)) return Asked::otherUser;
    if (!ready(socket.descriptor, POLLOUT, SteadyClock::now() + wait)) return Asked::again;
    if (::send(socket.descriptor, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) !=
        request.size())
        return Asked::again;
    QByteArray answer;
    const auto answerBy = SteadyClock::now() + wait;
    while (!answer.contains('\n') && answer.size() < longestLine && ready(socket.descriptor, POLLIN, answerBy)) {
        char chunk[longestLine];
        const ssize_t n = ::recv(socket.descriptor, chunk, sizeof chunk, 0);
        if (n == 0) break; // closed without a line
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            break;
        }
        answer.append(chunk, n);
    }
    const qsizetype end = answer.indexOf('\n');
    return end >= 0 && answer.left(end + 1) == reply ? Asked::handedOver : Asked::again;
}

} // namespace

struct SingleInstance::Connection {
    std::unique_ptr<QSocketNotifier> notifier;
    QByteArray received;
};

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
    for (auto& [descriptor, connection] : connections_) {
        connection->notifier.reset();
        ::close(descriptor);
    }
    listening_.reset();
    if (listener_ >= 0) ::close(listener_);
}

SingleInstance::Claim SingleInstance::claim() {
    if (listener_ >= 0) return Claim::first;
    const auto address = addressOf(key_);
    // Without the socket a second launch cannot find this one; the window works all the same.
    const auto cannotListen = [](const QString& cause) {
        qCWarning(logModel).noquote() << "Couldn't listen for later launches:" << cause;
        return Claim::first;
    };
    if (!address) return cannotListen(QStringLiteral("the name \u201C%1\u201D is too long").arg(key_));
    for (int attempt = 0; attempt < options_.attempts; ++attempt) {
        Socket socket;
        if (socket.descriptor < 0) return cannotListen(errorText(errno));
        if (::bind(socket.descriptor, reinterpret_cast<const ::sockaddr*>(&address->address), address->size) == 0) {
            if (::listen(socket.descriptor, pendingLaunches) != 0) return cannotListen(errorText(errno));
            listener_ = socket.release();
            listening_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
            connect(listening_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
            return Claim::first;
        }
        if (errno != EADDRINUSE) return cannotListen(errorText(errno));
        switch (askToShow(*address, options_.answerWait)) {
        case Asked::handedOver: return Claim::handedOver;
        case Asked::otherUser:
            qCWarning(logModel).noquote() << "Another user's program holds the name" << key_ << "; starting without it";
            return Claim::unanswered;
        case Asked::again: break;
        }
    }
    qCWarning(logModel).noquote() << "The running Tessarine did not answer; starting another window";
    return Claim::unanswered;
}

void SingleInstance::accept() {
    while (true) {
        const int descriptor = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != ECONNABORTED)
                qCWarning(logModel).noquote() << "Couldn't take a later launch's request:" << errorText(errno);
            return;
        }
        if (!sameUser(descriptor)) {
            ::close(descriptor);
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        connect(connection->notifier.get(), &QSocketNotifier::activated, this, [this, descriptor] { read(descriptor); });
        connections_[descriptor] = std::move(connection);
    }
}

void SingleInstance::read(int descriptor) {
    const auto it = connections_.find(descriptor);
    if (it == connections_.end()) return;
    QByteArray& received = it->second->received;
    char chunk[longestLine];
    const ssize_t n = ::recv(descriptor, chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
        close(descriptor); // the launch went away
        return;
    }
    received.append(chunk, n);
    const qsizetype end = received.indexOf('\n');
    if (end < 0) {
        if (received.size() >= longestLine) close(descriptor);
        return;
    }
    const bool asked = received.left(end + 1) == request;
    if (asked) {
        qCInfo(logModel) << "A later launch asked for the window";
        // Six bytes into an empty socket: they fit, or the launch has gone.
        (void)::send(descriptor, reply.constData(), static_cast<std::size_t>(reply.size()), MSG_NOSIGNAL);
    }
    close(descriptor);
    if (asked) emit showRequested();
}

void SingleInstance::close(int descriptor) {
    const auto it = connections_.find(descriptor);
    if (it == connections_.end()) return;
    // Called from the notifier's own signal: it is deleted once that has returned.
    it->second->notifier->setEnabled(false);
    it->second->notifier.release()->deleteLater();
    ::close(descriptor);
    connections_.erase(it);
}

} // namespace Tessarine
