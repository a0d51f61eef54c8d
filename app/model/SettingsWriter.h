#pragma once
// Writes the settings file on a thread of its own, so that the window never waits for the disk.
//
// Each save takes the file's lock ("<file>.lock", the one every other writer of the file takes
// too) for a bounded time, then writes the whole text through the atomic writer: a reader, or
// the next start after a crash, finds the last good file or the new one, never part of one. A
// lock that cannot be had in time (held by another program, or left by a killed one on a disk too
// full to clear it) or a write that fails (a full disk) ends the save with its cause, logged at
// once (at Quit too, when no event loop is left) and reported on the main thread; the last good
// file stays. Saves asked for while one runs are folded into one of the newest text. The
// destructor finishes what was asked for (each save bounded by the lock wait) and joins the
// thread.
//
// The text comes from our own copy of QSettings' INI form (testkit/SettingsIni), not from
// QSettings itself: QSettings::sync() takes "<file>.lock" with QLockFile::lock(), which waits
// without end: on a full disk it can neither clear a stale lock nor make its own, and it waits
// for ever. Taking the lock first ourselves does not help, as QSettings' own QLockFile then waits
// on ours, held by a live process. SettingsFormatTest holds the copy to QSettings' format.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace Tessarine {

class SettingsWriter : public QObject {
    Q_OBJECT

public:
    // The write itself: absent on success, else the cause. The atomic writer unless a test gives
    // another (one that fails as a full disk does, or waits to show nothing else does).
    using Write = std::function<std::optional<QString>(const QString& path, const QByteArray& text)>;

    struct Options {
        // How long a save waits for the lock before it gives up.
        std::chrono::milliseconds lockWait{500};
        // A lock whose owner cannot be told (an empty or torn lock file) counts as left behind
        // once this old; a save holds it for milliseconds.
        std::chrono::milliseconds staleLock{5000};
        Write write;
    };

    explicit SettingsWriter(QString path);
    SettingsWriter(QString path, Options options);
    ~SettingsWriter() override;

    const QString& path() const { return path_; }
    // Main thread: asks for the file to hold `text`; returns at once.
    void save(QByteArray text);
    // Main thread: waits until every save asked for has ended (for quitting and tests).
    void finish();
    // Logs a save that failed, with its cause, from any thread.
    static void logFailure(const QString& cause);

signals:
    // On the main thread, for each save that failed: the cause, such as "could not write …: No
    // space left on device".
    void failed(const QString& cause);

private:
    Q_INVOKABLE void tellFailures();
    void run();
    std::optional<QString> write(const QByteArray& text) const;

    const QString path_;
    const Options options_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::optional<QByteArray> pending_; // guarded by lock_
    QStringList failures_;              // guarded by lock_: causes not yet told
    bool busy_ = false;                 // guarded by lock_: a save is being written
    bool stop_ = false;                 // guarded by lock_
    std::thread thread_;
};

} // namespace Tessarine
