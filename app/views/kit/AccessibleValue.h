#pragma once
// Painted widgets have no child widgets for assistive technology to read, so each says what it
// shows through one accessible element: its accessible name is the label ("Left stick"), and the
// value comes from accessibleValue() ("x 12.5%, y -3%, 12.9% from center").
//
// A widget class inherits AccessibleValue besides QWidget; one accessibility factory, installed on
// first use, gives every such widget an interface whose Value text is accessibleValue(). Screen
// readers on Linux read an element's name and description over AT-SPI, and Qt passes a Value text
// on only for elements with a number, so the value is also the element's description; a widget
// that has a number (a bar's percent) offers it through the value interface as well.
#include <QAccessible>
#include <QString>

#include <functional>
#include <optional>

#include "app/views/kit/AnnounceThrottle.h"

class QWidget;

namespace Tessarine {

class AccessibleValue {
public:
    // Seconds between two announcements of one element's changing value.
    static constexpr double announceInterval = 0.5;

    // A value as a number within its range, for the value interface.
    struct Number {
        double value = 0;
        double minimum = 0;
        double maximum = 100;
    };

    AccessibleValue();
    virtual ~AccessibleValue() = default;

    // What the widget shows now, in words.
    virtual QString accessibleValue() const = 0;
    // The element's role; a picture unless the widget says otherwise.
    virtual QAccessible::Role accessibleRole() const { return QAccessible::Graphic; }
    // The value as a number; none for values said only in words.
    virtual std::optional<Number> accessibleNumber() const { return std::nullopt; }

    // Tells assistive technology that the value of `widget` changed; cheap when none listens.
    static void notifyChanged(QWidget* widget, const QString& value);
    // Installs the factory; called by the constructor, so a caller rarely needs it.
    static void installFactory();
    // Keeps `widget` out of what assistive technology reads (its content is said elsewhere).
    static void hide(QWidget* widget);
    // Tests see every announcement here, with or without a screen reader listening; empty to stop.
    static void setObserver(std::function<void(QWidget*, const QString&)> observer);

protected:
    // Call after a change that may change the value: tells assistive technology when it did, no
    // more often than announceInterval.
    void valueMayHaveChanged(QWidget* self);

private:
    AnnounceThrottle throttle_{announceInterval};
    bool flushScheduled_ = false;
};

} // namespace Tessarine
