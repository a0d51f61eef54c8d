#include "Velloway/CloseGuard.h"

#include <QApplication>
#include <QCloseEvent>

namespace Velloway {

namespace {
// Marks a window the guard already watches.
constexpr const char* watchedProperty = "vellowayCloseGuard";
} // namespace

CloseGuard& CloseGuard::shared() {
    static CloseGuard* guard = new CloseGuard; // lives as long as the process
    return *guard;
}

void CloseGuard::install(QWidget* window) {
    if (!window) return;
    main_ = window;
    if (window->property(watchedProperty).toBool()) return;
    window->setProperty(watchedProperty, true);
    window->installEventFilter(this);
    ++watched_;
    connect(window, &QObject::destroyed, this, [this] { --watched_; });
}

void CloseGuard::closeAllowed(QWidget* window) {
    closing_ = true;
    window->close();
    closing_ = false;
}

void CloseGuard::closeClicked(QWidget* window) {
    if (!window) window = main_;
    if (!window) return;
    if (shouldClose()) closeAllowed(window);
}

bool CloseGuard::request(QWidget* window) {
    if (!window || !shouldClose()) return false;
    closeAllowed(window);
    return true;
}

void CloseGuard::closeKeyWindow() {
    QWidget* window = QApplication::activeWindow();
    if (!window) window = main_;
    if (!window) return;
    if (window == main_)
        closeClicked(window);
    else
        window->close();
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && !closing_ && watched == main_ && !shouldClose()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Velloway
