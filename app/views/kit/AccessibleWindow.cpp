#include "app/views/kit/AccessibleWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace Tessarine::AccessibleWindow {

namespace {

constexpr const char* markProperty = "tessarineAccessibleWindow";

// Its name is the window's title unless an accessible name is set (QAccessibleWidget's rule).
QAccessibleInterface* windowFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow() || !widget->property(markProperty).toBool()) return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void mark(QWidget& window) {
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    (void)installed;
    window.setProperty(markProperty, true);
}

} // namespace Tessarine::AccessibleWindow
