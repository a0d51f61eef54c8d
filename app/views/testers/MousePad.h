#pragma once
// The mouse tester's test area: a dashed panel that takes every button, movement and wheel step
// over it and hands them to the tester with the events' own times. A right click opens no menu.
#include <QWidget>

#include "app/views/kit/AccessibleValue.h"

class QInputEvent;

namespace Tessarine {

class Clock;
class EventClock;
class MouseTester;

class MousePad : public QWidget, public AccessibleValue {
    Q_OBJECT
public:
    static constexpr int minimumHeight = 320; // pixels

    MousePad(MouseTester& tester, EventClock& eventClock, const Clock& clock, QWidget* parent = nullptr);

    // The button number of a Qt button: the index of its bit (left 0, right 1, middle 2, back 3,
    // forward 4, …); -1 for no button.
    static int buttonNumber(Qt::MouseButton button);
    // "Clicks: Left 2, Right 0, …".
    QString accessibleValue() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double time(const QInputEvent& event) const;
    void press(QMouseEvent* event);

    MouseTester& tester_;
    EventClock& eventClock_;
    const Clock& clock_;
};

} // namespace Tessarine
