#include "app/model/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <unistd.h>

#include "app/devices/Logging.h"

namespace Tessarine {

namespace {

constexpr int longestLine = 64;
const QByteArray request = QByteArrayLiteral("show\n");
const QByteArray reply = QByteArrayLiteral("shown\n");

// Whether the process at the other end of the connected socket is this user's. Anyone may
// reach a name in the abstract namespace; only the user's own launches and instances count.
bool sameUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == getuid();
}

} // namespace

QString SingleInstance::defaultKey() {
    const QByteArray identity = QByteArray::number(getuid()) + '\n' + qgetenv("XDG_RUNTIME_DIR") + '\n' +
                                QStandardPaths::writableLocation(QStandardPaths::ConfigLocation).toUtf8();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("com.quenlow.Tessarine-") + QString::fromLatin1(digest);
}

SingleInstance::SingleInstance(QString key, QObject* parent) : SingleInstance(std::move(key), Options{}, parent) {}

SingleInstance::SingleInstance(QString key, Options options, QObject* parent)
    : QObject(parent), key_(std::move(key)), options_(options) {
    server_.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

SingleInstance::Claim SingleInstance::claim() {
    const int wait = static_cast<int>(options_.answerWait.count());
    for (int attempt = 0; attempt < options_.attempts; ++attempt) {
        if (server_.listen(key_)) return Claim::first;
        if (server_.serverError() != QAbstractSocket::AddressInUseError) {
            // Without the socket a second launch cannot find this one; the window works all the same.
            qCWarning(logModel).noquote() << "Couldn't listen for later launches:" << server_.errorString();
            return Claim::first;
        }
        QLocalSocket socket;
        socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        socket.connectToServer(key_);
        // Refused: the instance ended a moment ago; the name is free for the next attempt.
        if (!socket.waitForConnected(wait)) continue;
        if (!sameUser(socket.socketDescriptor())) {
            qCWarning(logModel).noquote() << "Another user's program holds the name" << key_ << "; starting without it";
            return Claim::unanswered;
        }
        socket.write(request);
        if (!socket.waitForBytesWritten(wait)) continue;
        while (!socket.canReadLine() && socket.bytesAvailable() < longestLine && socket.waitForReadyRead(wait)) {
        }
        if (socket.canReadLine() && socket.readLine(longestLine) == reply) return Claim::handedOver;
    }
    qCWarning(logModel).noquote() << "The running Tessarine did not answer; starting another window";
    return Claim::unanswered;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!sameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() >= longestLine) socket->abort();
                return;
            }
            if (socket->readLine(longestLine) == request) {
                qCInfo(logModel) << "A later launch asked for the window";
                socket->write(reply);
                socket->flush();
                emit showRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace Tessarine
