#pragma once
// A mouse wheel rolled over the page must not change a setting on its way past. A combo box,
// spin box or slider takes the wheel only while it has the keyboard focus, that is, once the
// user has chosen it; at any other time the wheel passes on to the widgets around it, so the
// page under the pointer scrolls. Scroll bars are sliders too and keep their wheel.
//
// One filter on the application guards every window there is and every one built later:
// install() once at start-up. It also keeps the wheel from handing such a control the focus
// (Qt gives the focus to a wheel-focus widget before any filter sees the event), so a control
// is never "chosen" by the wheel itself.
#include <QObject>

class QWidget;

namespace Tessarine {

class WheelGuard : public QObject {
    Q_OBJECT

public:
    // Installs the guard on the running application; a second call changes nothing.
    static void install();

    // The combo box, spin box or slider that a wheel event sent to the widget would reach (the
    // widget itself or the control it is part of, such as a spin box's text field); none for
    // other widgets and for scroll bars.
    static QWidget* guardedControl(QObject* receiver);
    // Whether the control, or a part of it, has the keyboard focus.
    static bool hasKeyboard(const QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WheelGuard(QObject* parent);
    // Takes the wheel focus from a control, leaving its tab and click focus.
    static void keepWheelFocus(QWidget* widget);
};

} // namespace Tessarine
