#pragma once
// Painted widgets have no child widgets for assistive technology to read, so each says what it
// shows through one accessible element: its accessible name is the label ("Left stick"), and the
// value comes from accessibleValue() ("x 12.5%, y -3%, 12.9% from center").
//
// A widget class inherits AccessibleValue besides QWidget; one accessibility factory, installed on
// first use, gives every such widget an interface whose Value text is accessibleValue().
#include <QAccessible>
#include <QString>

class QWidget;

namespace Tessarine {

class AccessibleValue {
public:
    AccessibleValue();
    virtual ~AccessibleValue() = default;

    // What the widget shows now, in words.
    virtual QString accessibleValue() const = 0;
    // The element's role; a picture unless the widget says otherwise.
    virtual QAccessible::Role accessibleRole() const { return QAccessible::Graphic; }

    // Tells assistive technology that the value of `widget` changed; cheap when none listens.
    static void notifyChanged(QWidget* widget, const QString& value);
    // Installs the factory; called by the constructor, so a caller rarely needs it.
    static void installFactory();
    // Keeps `widget` out of what assistive technology reads (its content is said elsewhere).
    static void hide(QWidget* widget);

protected:
    // Call after a change that may change the value: tells assistive technology when it did.
    void valueMayHaveChanged(QWidget* self);

private:
    QString announced_;
};

} // namespace Tessarine
