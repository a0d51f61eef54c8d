#include "app/model/SettingsWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMetaObject>
#include <QPointer>

#include "app/base/Logging.h"
#include "app/model/AtomicFile.h"

namespace Tessarine {

namespace {

QString quoted(const QString& path) { return QStringLiteral("\u201C") + path + QStringLiteral("\u201D"); }

QString lockFailure(const QLockFile& lock, const QString& lockPath) {
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("the lock file ") + quoted(lockPath) +
               QStringLiteral(" is held by another program, or was left behind and cannot be removed");
    case QLockFile::PermissionError:
        return QStringLiteral("could not create the lock file ") + quoted(lockPath) + QStringLiteral(": permission denied");
    default:
        return QStringLiteral("could not create the lock file ") + quoted(lockPath) +
               QStringLiteral(": the disk may be full");
    }
}

} // namespace

SettingsWriter::SettingsWriter(QString path) : SettingsWriter(std::move(path), Options{}) {}

SettingsWriter::SettingsWriter(QString path, Options options)
    : path_(std::move(path)), options_(std::move(options)), thread_([this] { run(); }) {}

SettingsWriter::~SettingsWriter() {
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SettingsWriter::save(QByteArray text) {
    {
        std::lock_guard guard(lock_);
        pending_ = std::move(text);
    }
    wake_.notify_all();
}

void SettingsWriter::finish() {
    std::unique_lock guard(lock_);
    wake_.wait(guard, [this] { return !pending_ && !busy_; });
}

void SettingsWriter::run() {
    std::unique_lock guard(lock_);
    for (;;) {
        wake_.wait(guard, [this] { return pending_ || stop_; });
        if (!pending_) return; // stopping with nothing left to write
        QByteArray text = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        guard.unlock();
        const std::optional<QString> failure = write(text);
        if (failure) {
            logFailure(*failure);
        }
        guard.lock();
        if (failure) {
            // The cause crosses to the main thread under lock_, not inside the queued call: a
            // lambda made here and read there is ordered only by Qt's own event queue, which the
            // thread checker cannot see. Dropped if the writer is gone by then.
            failures_.push_back(*failure);
            QMetaObject::invokeMethod(this, "tellFailures", Qt::QueuedConnection);
        }
        busy_ = false;
        wake_.notify_all();
    }
}

void SettingsWriter::tellFailures() {
    QStringList causes;
    {
        std::lock_guard guard(lock_);
        causes.swap(failures_);
    }
    for (const QString& cause : causes) emit failed(cause);
}

void SettingsWriter::logFailure(const QString& cause) {
    qCWarning(logModel).noquote() << QStringLiteral("Couldn't save the settings: ") + cause;
}

std::optional<QString> SettingsWriter::write(const QByteArray& text) const {
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) return QStringLiteral("could not create the folder ") + quoted(folder);
    const QString lockPath = path_ + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    lock.setStaleLockTime(options_.staleLock);
    if (!lock.tryLock(options_.lockWait)) return lockFailure(lock, lockPath);
    return options_.write ? options_.write(path_, text) : AtomicFile::write(path_, text);
}

} // namespace Tessarine
