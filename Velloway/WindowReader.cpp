#include "Velloway/WindowReader.h"

#include <QDynamicPropertyChangeEvent>
#include <QEvent>

namespace Velloway {

namespace {
constexpr const char* undoProperty = "undoStack";

QUndoStack* stackOf(QWidget* window) {
    return window ? qobject_cast<QUndoStack*>(window->property(undoProperty).value<QObject*>()) : nullptr;
}
} // namespace

WindowReader::WindowReader(std::function<void(QWidget*)> found, QWidget* parent)
    : QWidget(parent), found_(std::move(found)) {
    setFixedSize(0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    report();
}

void WindowReader::setFound(std::function<void(QWidget*)> found) {
    found_ = std::move(found);
    reported_ = nullptr;
    report();
}

bool WindowReader::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) report();
    return QWidget::event(event);
}

void WindowReader::report() {
    if (!parentWidget() || !found_) return;
    QWidget* current = window();
    if (current == reported_) return;
    reported_ = current;
    found_(current);
}

UndoStackReader::UndoStackReader(QWidget* view, std::function<void(QUndoStack*)> found)
    : QObject(view), view_(view), found_(std::move(found)) {
    view->installEventFilter(this);
    if (view->isVisible()) watch();
}

void UndoStackReader::offer(QWidget* window, QUndoStack* stack) {
    window->setProperty(undoProperty, QVariant::fromValue(static_cast<QObject*>(stack)));
}

void UndoStackReader::watch() {
    QWidget* window = view_ ? view_->window() : nullptr;
    if (window != window_) {
        if (window_) window_->removeEventFilter(this);
        window_ = window;
        if (window_) window_->installEventFilter(this);
    }
    if (found_) found_(stackOf(window_));
}

bool UndoStackReader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Show) watch();
    if (watched == window_ && event->type() == QEvent::DynamicPropertyChange &&
        static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == undoProperty && found_)
        found_(stackOf(window_));
    return QObject::eventFilter(watched, event);
}

} // namespace Velloway
