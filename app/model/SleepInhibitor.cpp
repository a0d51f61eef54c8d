#include "app/model/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QVariant>

namespace Tessarine {

namespace {

class LogindToken final : public SleepInhibitor::Token {
public:
    // The descriptor object owns a duplicate of logind's descriptor and closes it when destroyed,
    // which releases the lock.
    explicit LogindToken(QDBusUnixFileDescriptor fd) : fd_(std::move(fd)) {}

private:
    QDBusUnixFileDescriptor fd_;
};

} // namespace

std::unique_ptr<SleepInhibitor::Token> LogindSleepInhibitor::inhibit(const QString& why) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return nullptr;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                       QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("idle:sleep") << QStringLiteral("Tessarine") << why << QStringLiteral("block");
    QDBusMessage reply = bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return nullptr;
    auto fd = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    if (!fd.isValid()) return nullptr;
    return std::make_unique<LogindToken>(std::move(fd));
}

} // namespace Tessarine
