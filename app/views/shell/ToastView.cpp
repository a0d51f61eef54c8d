#include "app/views/shell/ToastView.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "app/paint/Theme.h"

namespace Tessarine {

namespace {
constexpr int insetX = 14;           // pixels left and right of the text
constexpr int insetY = 8;            // pixels above and below it
constexpr double materialOpacity = 0.92; // the capsule lets a little of the window show through
constexpr double toastBorderOpacity = 0.10;
constexpr double shadowOpacity = 0.15;
constexpr double shadowRadius = 8; // pixels
constexpr double shadowDrop = 3;   // pixels down
} // namespace

void paintFloatingPanel(QPainter& painter, const QRectF& bounds, double radius, const QPalette& palette) {
    QPainterPath capsule;
    capsule.addRoundedRect(bounds, radius, radius);
    painter.fillPath(capsule, Color::withOpacity(palette.color(QPalette::Window), materialOpacity));
    painter.strokePath(capsule, QPen(Color::withOpacity(palette.color(QPalette::WindowText), toastBorderOpacity), 1));
}

ToastView::ToastView(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setObjectName(QStringLiteral("toast"));
    setFont(Fonts::callout());
    setContentsMargins(insetX, insetY, insetX, insetY);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor::fromRgbF(0, 0, 0, float(shadowOpacity)));
    shadow->setBlurRadius(shadowRadius * 2); // Qt's blur radius spans both sides of the edge
    shadow->setOffset(0, shadowDrop);
    setGraphicsEffect(shadow);
}

QSize ToastView::sizeFor(int maxWidth) {
    setWordWrap(false);
    QSize natural = sizeHint();
    if (natural.width() <= maxWidth) return natural;
    setWordWrap(true);
    const int width = std::max(maxWidth, 2 * insetX + 1);
    return {width, heightForWidth(width)};
}

void ToastView::setOpacity(qreal value) {
    opacity_ = std::clamp<qreal>(value, 0, 1);
    update();
}

void ToastView::paintEvent(QPaintEvent*) {
    // Drawn here rather than by QLabel, so that one opacity fades the capsule, the text and,
    // through the drop shadow taken from this drawing, the shadow too.
    QPainter painter(this);
    painter.setOpacity(opacity_);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A capsule while the text is one line; rounded ends of the same size when it wraps.
    const double radius = std::min(bounds.height() / 2, (fontMetrics().height() + 2.0 * insetY) / 2);
    paintFloatingPanel(painter, bounds, radius, palette());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(contentsRect(), int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0), text());
}

} // namespace Tessarine
