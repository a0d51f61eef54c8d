#include "app/views/kit/RunKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace Tessarine {

StartKey::StartKey(QAbstractButton* start) : QObject(start) {
    start->installEventFilter(this);
    connect(start, &QAbstractButton::clicked, this, [this] { key_ = handling_; });
}

void StartKey::guard(const std::array<QShortcut*, 2>& returnKeys) const {
    for (QShortcut* shortcut : returnKeys) shortcut->setEnabled(shortcut->key()[0].key() != key_);
}

bool StartKey::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // A button clicks on the press of Return where it is a dialog's default, else on the
        // release of its key: the key counts for a click made while it is handled, and for
        // nothing after.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat()) break;
        handling_ = key->key();
        QMetaObject::invokeMethod(this, [this] { handling_ = 0; }, Qt::QueuedConnection);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: handling_ = 0; break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tessarine
