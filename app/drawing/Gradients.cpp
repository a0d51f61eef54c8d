#include "app/drawing/Gradients.h"

#include "app/paint/Theme.h"

#include <algorithm>

namespace Tessarine::Gradients {

namespace {

void spread(QGradient& gradient, double first, std::initializer_list<QColor> colors) {
    const auto count = qsizetype(colors.size());
    qsizetype i = 0;
    for (const QColor& color : colors) {
        const double at = count == 1 ? first : first + (1 - first) * double(i) / double(count - 1);
        gradient.setColorAt(std::clamp(at, 0.0, 1.0), color);
        ++i;
    }
}

} // namespace

QLinearGradient linear(QPointF from, QPointF to, std::initializer_list<QColor> colors) {
    QLinearGradient gradient(from, to);
    spread(gradient, 0, colors);
    return gradient;
}

QLinearGradient vertical(const QRectF& rect, std::initializer_list<QColor> colors) {
    return linear({rect.center().x(), rect.top()}, {rect.center().x(), rect.bottom()}, colors);
}

QRadialGradient radial(QPointF centre, double r0, double r1, std::initializer_list<QColor> colors) {
    QRadialGradient gradient(centre, r1);
    spread(gradient, r1 > 0 ? std::clamp(r0 / r1, 0.0, 1.0) : 0, colors);
    return gradient;
}

QColor clear(const QColor& color) { return Color::withOpacity(color, 0); }
QColor white(double opacity) { return Color::withOpacity(Qt::white, opacity); }
QColor black(double opacity) { return Color::withOpacity(Qt::black, opacity); }
QColor grey(double level) { return Color::rgb(level, level, level); }

} // namespace Tessarine::Gradients
