#include "app/views/testers/MousePad.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <bit>

#include "app/base/Clock.h"
#include "app/model/EventClock.h"
#include "app/model/MouseTester.h"
#include "app/paint/Symbols.h"
#include "app/views/testers/TesterTexts.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr double padCornerRadius = 12; // pixels
constexpr double symbolSize = 34;   // pixels
} // namespace

MousePad::MousePad(MouseTester& tester, EventClock& eventClock, const Clock& clock, QWidget* parent)
    : QWidget(parent), tester_(tester), eventClock_(eventClock), clock_(clock) {
    setObjectName(QStringLiteral("mouse-pad"));
    setAccessibleName(QStringLiteral("Mouse test area"));
    setMinimumHeight(minimumHeight);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&tester_, &MouseTester::changed, this, [this] { valueMayHaveChanged(this); });
}

int MousePad::buttonNumber(Qt::MouseButton button) {
    const auto bits = static_cast<unsigned>(button);
    if (bits == 0) return -1;
    return std::countr_zero(bits);
}

QString MousePad::accessibleValue() const { return MouseTexts::clicks(tester_.counts()); }

double MousePad::time(const QInputEvent& event) const { return eventClock_.toUptime(event.timestamp(), clock_.now()); }

void MousePad::press(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int number = buttonNumber(event->button());
    if (number >= 0) tester_.button(number, true, time(*event));
    event->accept();
}

void MousePad::mousePressEvent(QMouseEvent* event) { press(event); }

// Qt turns the second press of a quick double click into this event; it is still a press.
void MousePad::mouseDoubleClickEvent(QMouseEvent* event) { press(event); }

void MousePad::mouseReleaseEvent(QMouseEvent* event) {
    const int number = buttonNumber(event->button());
    if (number >= 0) tester_.button(number, false, time(*event));
    event->accept();
}

void MousePad::mouseMoveEvent(QMouseEvent* event) {
    tester_.move(time(*event));
    event->accept();
}

void MousePad::wheelEvent(QWheelEvent* event) {
    // Natural scrolling inverts the delta; turning the wheel upward still counts as up.
    int delta = event->angleDelta().y();
    if (event->inverted()) delta = -delta;
    // Touchpads and free-spinning wheels report pixels or scroll phases instead of notches.
    const bool smooth = !event->pixelDelta().isNull() || event->phase() != Qt::NoScrollPhase;
    tester_.wheel(delta, smooth, time(*event));
    event->accept();
}

void MousePad::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor primary = palette().color(QPalette::WindowText);
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(area, padCornerRadius, padCornerRadius);
    painter.fillPath(shape, Color::withOpacity(primary, 0.04));
    QPen dashes(Color::withOpacity(primary, 0.15), 1);
    dashes.setDashPattern({6, 4});
    painter.strokePath(shape, dashes);

    // The symbol and two lines of text, centred as one block.
    const QFont headline = Fonts::headline();
    const QFont callout = Fonts::callout();
    const QString title = QStringLiteral("Click, scroll and move here");
    const QString body = QStringLiteral("Every button, wheel step and movement inside this area is counted.");
    const QFontMetricsF headlineMetrics(headline), calloutMetrics(callout);
    const double width = std::max(40.0, area.width() - 32);
    const QRectF bodyBox = calloutMetrics.boundingRect(QRectF(0, 0, width, 1000), Qt::AlignHCenter | Qt::TextWordWrap, body);
    const double blockHeight = symbolSize + 6 + headlineMetrics.height() + 6 + bodyBox.height();
    double y = area.center().y() - blockHeight / 2;
    Symbols::paint(painter, QRectF(area.center().x() - symbolSize / 2, y, symbolSize, symbolSize),
                   QStringLiteral("computermouse"), secondary);
    y += symbolSize + 6;
    painter.setFont(headline);
    painter.setPen(primary);
    painter.drawText(QRectF(area.left() + 16, y, width, headlineMetrics.height()), Qt::AlignHCenter, title);
    y += headlineMetrics.height() + 6;
    painter.setFont(callout);
    painter.setPen(secondary);
    painter.drawText(QRectF(area.left() + 16, y, width, bodyBox.height()), Qt::AlignHCenter | Qt::TextWordWrap, body);
}

} // namespace Tessarine
