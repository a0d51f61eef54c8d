#include "app/views/kit/AccessibleValue.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace Tessarine {

namespace {

class ValueInterface final : public QAccessibleWidget {
public:
    ValueInterface(QWidget* widget, const AccessibleValue* source)
        : QAccessibleWidget(widget, source->accessibleRole()), source_(source) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return source_->accessibleValue();
        return QAccessibleWidget::text(t);
    }

    // The picture is one element: whatever it is made of is not read separately.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

private:
    const AccessibleValue* source_;
};

constexpr char hiddenProperty[] = "tessarineAccessibleHidden";

// A widget whose content is read elsewhere: present in the tree, marked invisible.
class HiddenInterface final : public QAccessibleWidget {
public:
    explicit HiddenInterface(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (widget->property(hiddenProperty).toBool()) return new HiddenInterface(widget);
    // A cross cast: null for every widget that does not describe its own value.
    const auto* source = dynamic_cast<const AccessibleValue*>(widget);
    return source ? new ValueInterface(widget, source) : nullptr;
}

} // namespace

AccessibleValue::AccessibleValue() { installFactory(); }

void AccessibleValue::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void AccessibleValue::hide(QWidget* widget) {
    installFactory();
    widget->setProperty(hiddenProperty, true);
}

void AccessibleValue::notifyChanged(QWidget* widget, const QString& value) {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(widget, value);
    QAccessible::updateAccessibility(&event);
}

void AccessibleValue::valueMayHaveChanged(QWidget* self) {
    // Nothing to compute at 60 Hz unless something listens.
    if (!QAccessible::isActive()) return;
    QString value = accessibleValue();
    if (value == announced_) return;
    announced_ = std::move(value);
    notifyChanged(self, announced_);
}

} // namespace Tessarine
