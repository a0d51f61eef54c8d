#include "app/model/Services.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>

namespace Tessarine {

void QueuedExecutor::post(std::function<void()> work) {
    if (!context_) return;
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

void ManualExecutor::post(std::function<void()> work) {
    MutexLock guard(lock_);
    queue_.push_back(std::move(work));
}

int ManualExecutor::runAll() {
    int ran = 0;
    for (;;) {
        std::function<void()> work;
        {
            MutexLock guard(lock_);
            if (queue_.empty()) return ran;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        // Run outside the lock: the work may post more.
        work();
        ++ran;
    }
}

int ManualExecutor::pending() const {
    MutexLock guard(lock_);
    return static_cast<int>(queue_.size());
}

void Announcer::announce(const QString& text) {
    spoken_.push_back(text);
    if (speak) speak(text);
}

bool GuiAppActivity::isActive() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

} // namespace Tessarine
