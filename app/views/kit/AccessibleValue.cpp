#include "app/views/kit/AccessibleValue.h"

#include <QAccessibleWidget>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Tessarine {

namespace {

std::function<void(QWidget*, const QString&)>& announcementObserver() {
    static std::function<void(QWidget*, const QString&)> instance;
    return instance;
}

bool someoneListens() {
    return QAccessible::isActive() || announcementObserver();
}

// Seconds on a steady clock, for spacing announcements.
double announceClockSeconds() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return double(clock.nsecsElapsed()) / 1e9;
}

class ValueInterface final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    ValueInterface(QWidget* widget, const AccessibleValue* source)
        : QAccessibleWidget(widget, source->accessibleRole()), source_(source) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return source_->accessibleValue();
        // What AT-SPI passes on to screen readers beside the name.
        if (t == QAccessible::Description) {
            const QString value = source_->accessibleValue();
            if (!value.isEmpty()) return value;
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface && source_->accessibleNumber())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return number().value; }
    void setCurrentValue(const QVariant&) override {} // read only
    QVariant maximumValue() const override { return number().maximum; }
    QVariant minimumValue() const override { return number().minimum; }
    QVariant minimumStepSize() const override { return 0.0; }

    // The picture is one element: whatever it is made of is not read separately.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

private:
    AccessibleValue::Number number() const {
        return source_->accessibleNumber().value_or(AccessibleValue::Number{});
    }

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

void AccessibleValue::setObserver(std::function<void(QWidget*, const QString&)> watcher) {
    announcementObserver() = std::move(watcher);
}

void AccessibleValue::notifyChanged(QWidget* widget, const QString& value) {
    if (announcementObserver()) announcementObserver()(widget, value);
    if (!QAccessible::isActive()) return;
    // The description carries the words; a value change event reaches readers of the number.
    QAccessibleEvent description(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
    QAccessibleValueChangeEvent event(widget, value);
    QAccessible::updateAccessibility(&event);
}

void AccessibleValue::valueMayHaveChanged(QWidget* self) {
    // Nothing to compute at 60 Hz unless something listens.
    if (!someoneListens()) return;
    if (auto told = throttle_.offer(announceClockSeconds(), accessibleValue())) {
        notifyChanged(self, *told);
        return;
    }
    if (!throttle_.hasPending() || flushScheduled_) return;
    flushScheduled_ = true;
    const int wait = std::max(0, int(std::ceil((throttle_.dueAt() - announceClockSeconds()) * 1000)));
    // The timer dies with the widget, which this object is part of.
    QTimer::singleShot(wait, self, [this, self] {
        flushScheduled_ = false;
        if (auto told = throttle_.flush(announceClockSeconds())) notifyChanged(self, *told);
    });
}

} // namespace Tessarine
