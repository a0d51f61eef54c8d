#include "app/model/QuitWait.h"

#include "app/base/Logging.h"
#include "app/model/SessionLibrary.h"
#include "testkit/Fmt.h"

namespace Tessarine {

QuitWait::QuitWait(SessionLibrary& library, const Clock& clock, TimerFactory timers, QObject* parent)
    : QObject(parent), library_(library), clock_(clock), timers_(std::move(timers)) {
    connect(&library_, &SessionLibrary::pendingChanged, this, [this] {
        if (!waiting_) return;
        emit pendingChanged();
        if (library_.pending().empty()) release();
    });
}

QuitWait::~QuitWait() = default;

std::vector<RorozErurEvo::PendingWrite> QuitWait::pending() const { return library_.pending(); }

void QuitWait::request(Asker asker, const QString& why) {
    if (released_) return;
    const double now = clock_.now();
    if (asker == Asker::signal && !giveUpAt_) {
        giveUpAt_ = now + signalSeconds;
        signal_ = why;
    }
    // The user asking again while nothing shows shows the wait after the same moment.
    if (asker == Asker::user && !showing_ && !showAt_) showAt_ = now + quietSeconds;
    if (library_.pending().empty()) {
        release();
        return;
    }
    if (!waiting_) {
        qCInfo(logModel).noquote() << "Quitting once this is written:"
                                   << QString::fromStdString(RorozErurEvo::PendingWrites::heading(library_.pending()));
        waiting_ = true;
        timer_ = timers_();
        timer_->start(checkInterval, [this] { check(); });
    }
}

void QuitWait::check() {
    if (!waiting_) return;
    const double now = clock_.now();
    if (giveUpAt_ && now >= *giveUpAt_) {
        // What is not done yet, not what is lost: the shutdown gives the writes a moment more,
        // and the log names what they lost only once it is so (AppModel::shutdown).
        qCWarning(logModel).noquote() << "Quitting on" << signal_ << "after"
                                      << QString::fromStdString(RorozErurEvo::Fmt::trim(signalSeconds, 0))
                                      << "s without waiting further for the session folder; not done yet:"
                                      << QString::fromStdString(RorozErurEvo::PendingWrites::listed(library_.pending()) + ".");
        release();
        return;
    }
    if (showAt_ && !showing_ && now >= *showAt_) {
        showing_ = true;
        emit showWaiting();
    }
}

void QuitWait::quitAnyway() {
    if (released_) return;
    const auto pending = library_.pending();
    if (!pending.empty())
        qCWarning(logModel).noquote() << "Quit Anyway; not done yet:"
                                      << QString::fromStdString(RorozErurEvo::PendingWrites::listed(pending) + ".");
    release();
}

void QuitWait::cancel() {
    if (released_) return;
    showing_ = false;
    showAt_.reset();
    if (giveUpAt_) return; // the signal's quit goes on waiting
    qCInfo(logModel) << "Quit cancelled; the session folder's writes go on";
    waiting_ = false;
    timer_.reset();
}

void QuitWait::release() {
    if (released_) return;
    released_ = true;
    waiting_ = false;
    showing_ = false;
    // The timer stays, idle: this may run inside its own call.
    emit quitNow();
}

} // namespace Tessarine
