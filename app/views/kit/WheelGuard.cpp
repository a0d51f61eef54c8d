#include "app/views/kit/WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

namespace Tessarine {

namespace {

// The part of Qt::WheelFocus beyond Qt::StrongFocus.
constexpr int wheelFocusBit = Qt::WheelFocus & ~Qt::StrongFocus;

bool isGuarded(const QWidget* widget) {
    if (qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)) return true;
    return qobject_cast<const QAbstractSlider*>(widget) && !qobject_cast<const QScrollBar*>(widget);
}

} // namespace

WheelGuard::WheelGuard(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("wheel-guard")); }

void WheelGuard::install() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || app->findChild<WheelGuard*>(QString(), Qt::FindDirectChildrenOnly)) return;
    app->installEventFilter(new WheelGuard(app));
    // Widgets polished before now get no Polish event of their own.
    for (QWidget* widget : QApplication::allWidgets()) keepWheelFocus(widget);
}

QWidget* WheelGuard::guardedControl(QObject* receiver) {
    // Up from the receiver within its window: a combo box's popup list is a window of its own.
    for (auto* widget = qobject_cast<QWidget*>(receiver); widget; widget = widget->parentWidget()) {
        if (isGuarded(widget)) return widget;
        if (widget->isWindow()) break;
    }
    return nullptr;
}

bool WheelGuard::hasKeyboard(const QWidget* control) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus));
}

void WheelGuard::keepWheelFocus(QWidget* widget) {
    if (!isGuarded(widget)) return;
    const int policy = widget->focusPolicy();
    if (policy & wheelFocusBit) widget->setFocusPolicy(Qt::FocusPolicy(policy & ~wheelFocusBit));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Polish:
        if (watched->isWidgetType()) keepWheelFocus(static_cast<QWidget*>(watched));
        break;
    case QEvent::Wheel:
        if (QWidget* control = guardedControl(watched); control && !hasKeyboard(control)) {
            // Left unaccepted, the application offers the event to the parents in turn, up to
            // the scroll area that holds the page.
            event->ignore();
            return true;
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tessarine
