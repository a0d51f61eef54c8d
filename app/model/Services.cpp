#include "app/model/Services.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>

namespace Tessarine {

void QueuedExecutor::post(std::function<void()> work) {
    if (!context_) return;
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

void Announcer::announce(const QString& text) {
    spoken_.push_back(text);
    if (speak) speak(text);
}

bool GuiAppActivity::isActive() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

} // namespace Tessarine
