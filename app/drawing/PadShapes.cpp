#include "app/drawing/PadShapes.h"

#include "app/paint/Theme.h"

#include <QTransform>

#include <algorithm>
#include <array>

namespace Tessarine {

namespace {

struct Cubic {
    QPointF control1, control2, end;
};

// The left half of the outline, from the middle of the upper edge (280, 68) round the left grip
// to the middle of the lower edge (280, 258).
constexpr QPointF outlineStart{280, 68};
const std::array<Cubic, 6> leftHalf{{
    {{232, 68}, {190, 53}, {148, 55}},
    {{104, 57}, {74, 80}, {66, 112}},
    {{57, 148}, {40, 190}, {34, 232}},
    {{27, 281}, {58, 320}, {98, 318}},
    {{136, 316}, {158, 292}, {178, 274}},
    {{198, 256}, {240, 258}, {280, 258}},
}};

QPointF mirror(QPointF p) { return {PadCanvas::width - p.x(), p.y()}; }

QPainterPath buildOutline() {
    QPainterPath path;
    path.moveTo(outlineStart);
    for (const Cubic& c : leftHalf) path.cubicTo(c.control1, c.control2, c.end);
    // The right half: the same segments walked backwards through the mirror.
    for (std::size_t i = leftHalf.size(); i-- > 0;) {
        const QPointF start = i == 0 ? outlineStart : leftHalf[i - 1].end;
        path.cubicTo(mirror(leftHalf[i].control2), mirror(leftHalf[i].control1), mirror(start));
    }
    path.closeSubpath();
    return path;
}

QPainterPath buildShoulder() {
    QPainterPath path;
    path.moveTo(outlineStart);
    for (std::size_t i = 0; i < 2; ++i) path.cubicTo(leftHalf[i].control1, leftHalf[i].control2, leftHalf[i].end);
    return path;
}

} // namespace

namespace PadCanvas {
QPainterPath mirrored(const QPainterPath& path) { return QTransform(-1, 0, 0, 1, width, 0).map(path); }
} // namespace PadCanvas

namespace Color {
const QColor& capTop() {
    static const QColor color = rgb(0.34, 0.35, 0.37);
    return color;
}
const QColor& capBottom() {
    static const QColor color = rgb(0.11, 0.115, 0.125);
    return color;
}
} // namespace Color

namespace ShellShape {
const QPainterPath& outline() {
    // One per thread: a path works out its bounds and its drawing form the first time they are
    // asked for, unguarded, and the shell is painted beside the window as well as in it.
    thread_local const QPainterPath path = buildOutline();
    return path;
}
QPainterPath path(const QRectF& rect) { return outline().translated(rect.topLeft()); }
} // namespace ShellShape

const QPainterPath& shoulderPath() {
    thread_local const QPainterPath path = buildShoulder(); // one per thread, as the outline
    return path;
}

namespace PathShape {
QPainterPath path(const QPainterPath& source, const QRectF& rect) {
    // QPainterPath::boundingRect is tight around the curves; controlPointRect would not be.
    return source.translated(rect.topLeft() - source.boundingRect().topLeft());
}
QPainterPath ownCopy(const QPainterPath& shared) {
    // addPath copies the elements and where the last subpath starts, and reads nothing else.
    QPainterPath copy;
    copy.setFillRule(shared.fillRule());
    copy.addPath(shared);
    return copy;
}
} // namespace PathShape

namespace CrossShape {

double cornerRadius(double arm) { return std::min(arm * 0.25, 4.0); }

QPainterPath path(double arm, const QRectF& rect) {
    const double c = cornerRadius(arm);
    const double a = arm / 2;
    const double cx = rect.center().x(), cy = rect.center().y();
    const double l = rect.left(), r = rect.right(), t = rect.top(), b = rect.bottom();
    if (!(arm > 0) || !(c > 0) || cx - a - l < c || cy - a - t < c) {
        // Bars that do not stand out past each other by a corner: the plain union.
        QPainterPath horizontal, vertical;
        horizontal.addRoundedRect(QRectF(l, cy - a, rect.width(), arm), c, c);
        vertical.addRoundedRect(QRectF(cx - a, t, arm, rect.height()), c, c);
        return horizontal.united(vertical);
    }
    // Walked clockwise on screen from the inner corner at the upper left; each bar end has two
    // rounded corners, the four inner corners are sharp.
    QPainterPath path;
    auto corner = [&](double centreX, double centreY, double startAngle) {
        path.arcTo(QRectF(centreX - c, centreY - c, 2 * c, 2 * c), startAngle, -90);
    };
    path.moveTo(cx - a, cy - a);
    corner(cx - a + c, t + c, 180);
    corner(cx + a - c, t + c, 90);
    path.lineTo(cx + a, cy - a);
    corner(r - c, cy - a + c, 90);
    corner(r - c, cy + a - c, 0);
    path.lineTo(cx + a, cy + a);
    corner(cx + a - c, b - c, 0);
    corner(cx - a + c, b - c, -90);
    path.lineTo(cx - a, cy + a);
    corner(l + c, cy + a - c, -90);
    corner(l + c, cy - a + c, 180);
    path.closeSubpath();
    return path;
}

} // namespace CrossShape

} // namespace Tessarine
