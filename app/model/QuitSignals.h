#pragma once
// SIGTERM (a session manager, systemd), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal
// closed) end the application the way Quit does rather than at once, so its device threads are
// joined and its last settings written. The handler only writes the signal's number into a pipe
// (all a handler may safely do); the pipe's end is read on the thread this object lives on,
// which then asks to quit. A second signal of the same kind ends the process at once, as it
// would have without this.
//
// One at a time: made once the process is the instance, kept for its life.
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

namespace Tessarine {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; without a pipe the signals keep ending the process at once, and
    // the log says why.
    explicit QuitSignals(QObject* parent = nullptr);
    // Puts the handlers that were there before back.
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // The signal's name, such as "SIGTERM".
    static QString name(int signal);

signals:
    // One of the signals came (on this object's thread).
    void quitRequested(int signal);

private:
    void readPipe();

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace Tessarine
