#include "app/model/QuitSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/base/Logging.h"

namespace Tessarine {

namespace {

constexpr std::array handled{SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end for the handler; -1 while no QuitSignals is alive.
std::atomic<int> writeEnd{-1};
// What each signal did before.
std::array<struct sigaction, handled.size()> previous{};

extern "C" void onQuitSignal(int signal) {
    const int saved = errno;
    const int descriptor = writeEnd.load(std::memory_order_relaxed);
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to quit: nothing more to say.
    if (descriptor >= 0) (void)!::write(descriptor, &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        // Read before the log's stream is made, which may change it. Said through Qt, as
        // SingleInstance says it: out of descriptors, the error category's call is one the
        // sanitizers cannot check.
        const int error = errno;
        qCWarning(logModel).noquote() << "Couldn't take SIGTERM, SIGINT and SIGHUP through Quit:" << qt_error_string(error);
        return;
    }
    writeEnd.store(pipe_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitSignals::readPipe);
    struct sigaction action{};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the same signal again takes its default course and ends the process.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < handled.size(); ++i) sigaction(handled[i], &action, &previous[i]);
}

QuitSignals::~QuitSignals() {
    if (pipe_[0] < 0) return;
    for (std::size_t i = 0; i < handled.size(); ++i) sigaction(handled[i], &previous[i], nullptr);
    writeEnd.store(-1);
    notifier_.reset();
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

QString QuitSignals::name(int signal) {
    switch (signal) {
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGHUP: return QStringLiteral("SIGHUP");
    default: return QStringLiteral("signal %1").arg(signal);
    }
}

void QuitSignals::readPipe() {
    unsigned char bytes[16];
    ssize_t n;
    while ((n = ::read(pipe_[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < n; ++i) emit quitRequested(bytes[i]);
    }
}

} // namespace Tessarine
