#include "app/paint/Symbols.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <numbers>
#include <optional>
#include <vector>

namespace Tessarine::Symbols {

namespace {

// Drawing happens in a unit square (0…1 on both axes) on a layer of its own, so that the
// "fill" symbols can cut their inner mark out of the filled shape and let the background show.
class Canvas {
public:
    Canvas(QPainter& painter, QColor color) : p(painter), color(std::move(color)) {}

    void stroke(const QPainterPath& path, double width = line) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.strokePath(path, pen(width));
    }
    void fill(const QPainterPath& path) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.fillPath(path, color);
    }
    // Removes the stroke of `path` from what is drawn so far.
    void cutStroke(const QPainterPath& path, double width) {
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.strokePath(path, pen(width, Qt::black));
    }
    void cutFill(const QPainterPath& path) {
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.fillPath(path, Qt::black);
    }

    // Width of an outline, in unit-square units.
    static constexpr double line = 0.075;

private:
    QPen pen(double width, const QColor& c) const {
        QPen result(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        return result;
    }
    QPen pen(double width) const { return pen(width, color); }

    QPainter& p;
    QColor color;
};

QPainterPath circle(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first) path.moveTo(point);
        else path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path = polyline(points);
    path.closeSubpath();
    return path;
}

QPainterPath roundedRect(double x, double y, double w, double h, double r) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QPainterPath segment(double x1, double y1, double x2, double y2) { return polyline({{x1, y1}, {x2, y2}}); }

void checkmarkCircleFill(Canvas& c) {
    c.fill(circle(0.5, 0.5, 0.46));
    c.cutStroke(polyline({{0.29, 0.52}, {0.44, 0.67}, {0.72, 0.36}}), 0.1);
}

void exclamationTriangleFill(Canvas& c) {
    QPainterPath triangle = polygon({{0.5, 0.1}, {0.95, 0.88}, {0.05, 0.88}});
    c.fill(triangle);
    c.stroke(triangle, 0.08); // rounds the corners
    c.cutStroke(segment(0.5, 0.38, 0.5, 0.62), 0.1);
    c.cutFill(circle(0.5, 0.76, 0.055));
}

QPainterPath octagon(double r) {
    QPainterPath path;
    for (int i = 0; i < 8; ++i) {
        double angle = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        QPointF point(0.5 + r * std::cos(angle), 0.5 + r * std::sin(angle));
        if (i == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void xmarkOctagonFill(Canvas& c) {
    c.fill(octagon(0.48));
    c.cutStroke(segment(0.34, 0.34, 0.66, 0.66), 0.1);
    c.cutStroke(segment(0.66, 0.34, 0.34, 0.66), 0.1);
}

void circleOutline(Canvas& c) { c.stroke(circle(0.5, 0.5, 0.42)); }

void circleFill(Canvas& c) { c.fill(circle(0.5, 0.5, 0.46)); }

void infoCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.stroke(segment(0.5, 0.46, 0.5, 0.72), 0.09);
    c.fill(circle(0.5, 0.31, 0.055));
}

// The centre buttons of a game pad: menu, options, home and share, each in a ring.
void line3HorizontalCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    for (double y : {0.36, 0.5, 0.64}) c.stroke(segment(0.33, y, 0.67, y), 0.07);
}

void ellipsisCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    for (double x : {0.32, 0.5, 0.68}) c.fill(circle(x, 0.5, 0.055));
}

void houseCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.stroke(polygon({{0.5, 0.28}, {0.7, 0.46}, {0.66, 0.46}, {0.66, 0.7}, {0.34, 0.7}, {0.34, 0.46}, {0.3, 0.46}}),
             0.065);
}

void squareAndArrowUpCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.stroke(polyline({{0.41, 0.46}, {0.36, 0.46}, {0.36, 0.7}, {0.64, 0.7}, {0.64, 0.46}, {0.59, 0.46}}), 0.065);
    c.stroke(segment(0.5, 0.25, 0.5, 0.56), 0.065);
    c.stroke(polyline({{0.41, 0.34}, {0.5, 0.25}, {0.59, 0.34}}), 0.065);
}

void recordCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.fill(circle(0.5, 0.5, 0.22));
}

void gameController(Canvas& c) {
    // A pad seen from above: a wide body with two grips.
    QPainterPath body;
    body.moveTo(0.28, 0.28);
    body.lineTo(0.72, 0.28);
    body.cubicTo(0.86, 0.28, 0.92, 0.4, 0.95, 0.58);
    body.cubicTo(0.98, 0.76, 0.92, 0.82, 0.85, 0.82);
    body.cubicTo(0.77, 0.82, 0.73, 0.7, 0.66, 0.66);
    body.lineTo(0.34, 0.66);
    body.cubicTo(0.27, 0.7, 0.23, 0.82, 0.15, 0.82);
    body.cubicTo(0.08, 0.82, 0.02, 0.76, 0.05, 0.58);
    body.cubicTo(0.08, 0.4, 0.14, 0.28, 0.28, 0.28);
    body.closeSubpath();
    c.stroke(body, 0.065);
    c.stroke(segment(0.2, 0.47, 0.36, 0.47), 0.06); // d-pad
    c.stroke(segment(0.28, 0.39, 0.28, 0.55), 0.06);
    c.fill(circle(0.7, 0.42, 0.045)); // face buttons
    c.fill(circle(0.78, 0.51, 0.045));
}

void sliderHorizontal3(Canvas& c) {
    const double rows[3] = {0.25, 0.5, 0.75};
    const double knobs[3] = {0.66, 0.34, 0.58};
    for (int i = 0; i < 3; ++i) {
        c.stroke(segment(0.08, rows[i], 0.92, rows[i]), 0.06);
        c.fill(circle(knobs[i], rows[i], 0.09));
    }
}

void playCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    QPainterPath triangle = polygon({{0.41, 0.32}, {0.69, 0.5}, {0.41, 0.68}});
    c.fill(triangle);
    c.stroke(triangle, 0.05);
}

void keyboard(Canvas& c) {
    c.stroke(roundedRect(0.04, 0.24, 0.92, 0.52, 0.08), 0.065);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 6; ++col)
            c.fill(roundedRect(0.14 + col * 0.125, 0.33 + row * 0.12, 0.07, 0.07, 0.015));
    c.stroke(segment(0.3, 0.64, 0.7, 0.64), 0.06); // space bar
}

void computerMouse(Canvas& c) {
    c.stroke(roundedRect(0.28, 0.08, 0.44, 0.84, 0.22), 0.07);
    c.stroke(segment(0.5, 0.2, 0.5, 0.36), 0.07);
}

void squareGrid2x2(Canvas& c) {
    for (double x : {0.1, 0.56})
        for (double y : {0.1, 0.56}) c.stroke(roundedRect(x, y, 0.34, 0.34, 0.06), 0.065);
}

void clockArrowCirclepath(Canvas& c) {
    // A circle that runs back on itself (history), with the hands of a clock inside.
    QPainterPath arc;
    arc.arcMoveTo(QRectF(0.1, 0.1, 0.8, 0.8), 150);
    arc.arcTo(QRectF(0.1, 0.1, 0.8, 0.8), 150, -300);
    c.stroke(arc, 0.07);
    // Arrowhead at the arc's open start, pointing along the way back.
    QPointF tip(0.5 + 0.4 * std::cos(150 * std::numbers::pi / 180), 0.5 - 0.4 * std::sin(150 * std::numbers::pi / 180));
    c.fill(polygon({tip + QPointF(-0.11, -0.05), tip + QPointF(0.08, -0.05), tip + QPointF(-0.02, 0.11)}));
    c.stroke(polyline({{0.5, 0.3}, {0.5, 0.52}, {0.64, 0.62}}), 0.065);
}

void noSign(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.4), 0.08);
    c.stroke(segment(0.22, 0.22, 0.78, 0.78), 0.08);
}

void cableConnector(Canvas& c) {
    c.stroke(roundedRect(0.3, 0.34, 0.4, 0.34, 0.05), 0.065); // plug body
    c.stroke(segment(0.42, 0.16, 0.42, 0.34), 0.065);          // prongs
    c.stroke(segment(0.58, 0.16, 0.58, 0.34), 0.065);
    c.stroke(segment(0.5, 0.68, 0.5, 0.9), 0.065);             // cable
}

void plusCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.4), 0.08);
    c.stroke(segment(0.3, 0.5, 0.7, 0.5), 0.08);
    c.stroke(segment(0.5, 0.3, 0.5, 0.7), 0.08);
}

void minusCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.4), 0.08);
    c.stroke(segment(0.3, 0.5, 0.7, 0.5), 0.08);
}

void cableConnectorSlash(Canvas& c) {
    cableConnector(c);
    c.cutStroke(segment(0.12, 0.12, 0.88, 0.88), 0.17);
    c.stroke(segment(0.12, 0.12, 0.88, 0.88), 0.065);
}

void checkmark(Canvas& c) { c.stroke(polyline({{0.2, 0.54}, {0.42, 0.76}, {0.82, 0.26}}), 0.1); }

void stopFill(Canvas& c) { c.fill(roundedRect(0.2, 0.2, 0.6, 0.6, 0.08)); }

// ---- the guided tests' symbols

// An arc of the circle round (cx, cy), from `start` degrees through `sweep` degrees
// (counter-clockwise, 0 at the right, as QPainterPath counts).
QPainterPath arc(double cx, double cy, double r, double start, double sweep) {
    QPainterPath path;
    const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    return path;
}

void scope(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.34));
    for (auto [x1, y1, x2, y2] : {std::array{0.5, 0.04, 0.5, 0.3}, std::array{0.5, 0.7, 0.5, 0.96},
                                  std::array{0.04, 0.5, 0.3, 0.5}, std::array{0.7, 0.5, 0.96, 0.5}})
        c.stroke(segment(x1, y1, x2, y2), 0.07);
    c.fill(circle(0.5, 0.5, 0.06));
}

void circleDashed(Canvas& c) {
    for (int i = 0; i < 12; ++i) c.stroke(arc(0.5, 0.5, 0.4, i * 30.0 + 5, 18));
}

void arrowUturnBackwardCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.44), 0.065);
    QPainterPath turn;
    turn.moveTo(0.66, 0.72);
    turn.lineTo(0.66, 0.5);
    turn.cubicTo(0.66, 0.3, 0.38, 0.3, 0.36, 0.46);
    c.stroke(turn, 0.075);
    c.stroke(polyline({{0.26, 0.38}, {0.36, 0.48}, {0.47, 0.39}}), 0.075);
}

void smallcircleFilledCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.fill(circle(0.5, 0.5, 0.15));
}

void sliderVertical3(Canvas& c) {
    const double columns[3] = {0.25, 0.5, 0.75};
    const double knobs[3] = {0.34, 0.66, 0.42};
    for (int i = 0; i < 3; ++i) {
        c.stroke(segment(columns[i], 0.08, columns[i], 0.92), 0.06);
        c.fill(circle(columns[i], knobs[i], 0.09));
    }
}

void circleGrid3x3(Canvas& c) {
    for (double y : {0.2, 0.5, 0.8})
        for (double x : {0.2, 0.5, 0.8}) c.fill(circle(x, y, 0.1));
}

void handTap(Canvas& c) {
    // A raised finger with the marks of a tap above it.
    QPainterPath finger;
    finger.moveTo(0.4, 0.92);
    finger.lineTo(0.4, 0.44);
    finger.arcTo(QRectF(0.4, 0.34, 0.2, 0.2), 180, -180);
    finger.lineTo(0.6, 0.92);
    c.stroke(finger, 0.07);
    c.stroke(segment(0.5, 0.06, 0.5, 0.2), 0.065);
    c.stroke(segment(0.28, 0.14, 0.35, 0.25), 0.065);
    c.stroke(segment(0.72, 0.14, 0.65, 0.25), 0.065);
}

void dpad(Canvas& c) {
    const double a = 0.36, b = 0.64; // the arms' edges
    QPainterPath cross = polygon({{a, 0.06}, {b, 0.06}, {b, a}, {0.94, a}, {0.94, b}, {b, b}, {b, 0.94}, {a, 0.94},
                                  {a, b}, {0.06, b}, {0.06, a}, {a, a}});
    c.stroke(cross, 0.065);
    c.fill(polygon({{0.5, 0.14}, {0.58, 0.26}, {0.42, 0.26}})); // the arrow of the up arm
}

void waveform(Canvas& c) {
    const double heights[9] = {0.16, 0.4, 0.7, 0.46, 0.84, 0.56, 0.3, 0.6, 0.2};
    for (int i = 0; i < 9; ++i) {
        const double x = 0.1 + i * 0.1, h = heights[i] / 2;
        c.stroke(segment(x, 0.5 - h, x, 0.5 + h), 0.06);
    }
}

void lightbulb(Canvas& c) {
    QPainterPath bulb;
    bulb.moveTo(0.38, 0.7);
    bulb.lineTo(0.38, 0.62);
    bulb.cubicTo(0.2, 0.52, 0.2, 0.08, 0.5, 0.08);
    bulb.cubicTo(0.8, 0.08, 0.8, 0.52, 0.62, 0.62);
    bulb.lineTo(0.62, 0.7);
    bulb.closeSubpath();
    c.stroke(bulb, 0.065);
    c.stroke(segment(0.4, 0.8, 0.6, 0.8), 0.065);
    c.stroke(segment(0.43, 0.9, 0.57, 0.9), 0.065);
}

void dialMedium(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.fill(circle(0.5, 0.5, 0.08));
    c.stroke(segment(0.5, 0.5, 0.7, 0.28), 0.075);
    for (double degrees : {-30.0, 30.0, 90.0, 150.0, 210.0}) {
        const double r = degrees * std::numbers::pi / 180;
        c.stroke(segment(0.5 + 0.31 * std::cos(r), 0.5 - 0.31 * std::sin(r), 0.5 + 0.36 * std::cos(r),
                         0.5 - 0.36 * std::sin(r)),
                 0.05);
    }
}

void gyroscope(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.4), 0.065);
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), 0.42, 0.15);
    c.stroke(QTransform().translate(0.5, 0.5).rotate(-30).map(ring), 0.06);
    c.fill(circle(0.5, 0.5, 0.08));
}

void handDraw(Canvas& c) {
    // A finger's stroke across a surface.
    QPainterPath trace;
    trace.moveTo(0.1, 0.66);
    trace.cubicTo(0.24, 0.2, 0.4, 0.2, 0.46, 0.5);
    trace.cubicTo(0.52, 0.8, 0.7, 0.8, 0.9, 0.3);
    c.stroke(trace, 0.075);
    c.fill(circle(0.9, 0.3, 0.08));
}

// A battery lying on its side with its terminal on the right, filled to `level` (0…1).
void battery(Canvas& c, double level) {
    c.stroke(roundedRect(0.06, 0.3, 0.78, 0.4, 0.08), 0.065);
    c.fill(roundedRect(0.87, 0.42, 0.07, 0.16, 0.03));
    if (level > 0) c.fill(roundedRect(0.13, 0.37, 0.64 * level, 0.26, 0.03));
}
void battery0(Canvas& c) { battery(c, 0); }
void battery25(Canvas& c) { battery(c, 0.25); }
void battery50(Canvas& c) { battery(c, 0.5); }
void battery75(Canvas& c) { battery(c, 0.75); }
void battery100(Canvas& c) { battery(c, 1); }

void checkmarkCircle(Canvas& c) {
    c.stroke(circle(0.5, 0.5, 0.42));
    c.stroke(polyline({{0.31, 0.52}, {0.45, 0.66}, {0.7, 0.37}}), 0.08);
}

void radioWaves(Canvas& c) {
    c.fill(circle(0.5, 0.42, 0.07));
    c.stroke(segment(0.5, 0.5, 0.5, 0.92), 0.07); // the mast
    for (double r : {0.2, 0.36}) {
        c.stroke(arc(0.5, 0.42, r, -45, 90), 0.065);
        c.stroke(arc(0.5, 0.42, r, 135, 90), 0.065);
    }
}

void antennaRadiowaves(Canvas& c) { radioWaves(c); }

void antennaRadiowavesSlash(Canvas& c) {
    radioWaves(c);
    c.cutStroke(segment(0.1, 0.1, 0.9, 0.9), 0.17);
    c.stroke(segment(0.1, 0.1, 0.9, 0.9), 0.065);
}

void arrowLeftAndRight(Canvas& c) {
    c.stroke(segment(0.1, 0.5, 0.9, 0.5), 0.07);
    c.stroke(polyline({{0.26, 0.34}, {0.1, 0.5}, {0.26, 0.66}}), 0.07);
    c.stroke(polyline({{0.74, 0.34}, {0.9, 0.5}, {0.74, 0.66}}), 0.07);
}

void playFill(Canvas& c) {
    QPainterPath triangle = polygon({{0.24, 0.12}, {0.86, 0.5}, {0.24, 0.88}});
    c.fill(triangle);
    c.stroke(triangle, 0.06); // rounds the corners
}

void squareAndArrowDown(Canvas& c) {
    // A tray with an arrow coming down into it.
    c.stroke(polyline({{0.34, 0.4}, {0.18, 0.4}, {0.18, 0.9}, {0.82, 0.9}, {0.82, 0.4}, {0.66, 0.4}}), 0.065);
    c.stroke(segment(0.5, 0.08, 0.5, 0.64), 0.07);
    c.stroke(polyline({{0.34, 0.5}, {0.5, 0.66}, {0.66, 0.5}}), 0.07);
}

void eye(Canvas& c) {
    // An almond outline with the iris in the middle.
    QPainterPath outline;
    outline.moveTo(0.06, 0.5);
    outline.quadTo(0.5, 0.06, 0.94, 0.5);
    outline.quadTo(0.5, 0.94, 0.06, 0.5);
    c.stroke(outline, 0.07);
    c.fill(circle(0.5, 0.5, 0.15));
}

void docRichtext(Canvas& c) {
    // A page with a folded corner, a picture block and lines of text.
    c.stroke(polygon({{0.2, 0.08}, {0.62, 0.08}, {0.8, 0.26}, {0.8, 0.92}, {0.2, 0.92}}), 0.065);
    c.stroke(polyline({{0.62, 0.08}, {0.62, 0.26}, {0.8, 0.26}}), 0.05);
    c.fill(roundedRect(0.3, 0.36, 0.18, 0.16, 0.02));
    c.stroke(segment(0.56, 0.4, 0.7, 0.4), 0.05);
    c.stroke(segment(0.56, 0.5, 0.7, 0.5), 0.05);
    c.stroke(segment(0.3, 0.64, 0.7, 0.64), 0.05);
    c.stroke(segment(0.3, 0.76, 0.62, 0.76), 0.05);
}

void docOnClipboard(Canvas& c) {
    // A clipboard: the board, its clip at the top, and a sheet of text lines on it.
    c.stroke(roundedRect(0.16, 0.14, 0.68, 0.8, 0.08), 0.065);
    c.fill(roundedRect(0.34, 0.06, 0.32, 0.16, 0.05));
    c.stroke(segment(0.32, 0.42, 0.68, 0.42), 0.05);
    c.stroke(segment(0.32, 0.58, 0.68, 0.58), 0.05);
    c.stroke(segment(0.32, 0.74, 0.56, 0.74), 0.05);
}

void handRaised(Canvas& c) {
    // An open palm: four fingers, the thumb to the side, the heel of the hand below.
    const double tops[] = {0.2, 0.12, 0.16, 0.26};
    for (int i = 0; i < 4; ++i) {
        const double x = 0.34 + 0.12 * i;
        c.stroke(segment(x, tops[i], x, 0.52), 0.09);
    }
    c.stroke(polyline({{0.16, 0.5}, {0.26, 0.62}}), 0.09);
    QPainterPath palm;
    palm.moveTo(0.28, 0.5);
    palm.lineTo(0.7, 0.5);
    palm.lineTo(0.7, 0.7);
    palm.quadTo(0.68, 0.92, 0.48, 0.92);
    palm.quadTo(0.3, 0.92, 0.26, 0.7);
    palm.closeSubpath();
    c.fill(palm);
}

void arrowUpForwardApp(Canvas& c) {
    // A rounded square with an arrow leaving through its top right corner.
    QPainterPath box;
    box.moveTo(0.5, 0.12);
    box.lineTo(0.3, 0.12);
    box.quadTo(0.12, 0.12, 0.12, 0.3);
    box.lineTo(0.12, 0.7);
    box.quadTo(0.12, 0.88, 0.3, 0.88);
    box.lineTo(0.7, 0.88);
    box.quadTo(0.88, 0.88, 0.88, 0.7);
    box.lineTo(0.88, 0.5);
    c.stroke(box, 0.07);
    c.stroke(segment(0.42, 0.58, 0.86, 0.14), 0.075);
    c.stroke(polyline({{0.56, 0.12}, {0.88, 0.12}, {0.88, 0.44}}), 0.075);
}

// ---- the history's actions and the comparison's change marks

void tray(Canvas& c) {
    // An open tray seen from the front: the rim, the floor and the dip in the middle.
    c.stroke(polyline({{0.08, 0.56}, {0.22, 0.2}, {0.78, 0.2}, {0.92, 0.56}}), 0.07);
    c.stroke(polygon({{0.08, 0.56}, {0.34, 0.56}, {0.4, 0.68}, {0.6, 0.68}, {0.66, 0.56}, {0.92, 0.56},
                      {0.92, 0.84}, {0.08, 0.84}}),
             0.07);
}

void listBulletRectangle(Canvas& c) {
    c.stroke(roundedRect(0.08, 0.16, 0.84, 0.68, 0.08), 0.065);
    for (double y : {0.36, 0.5, 0.64}) {
        c.fill(circle(0.26, y, 0.04));
        c.stroke(segment(0.38, y, 0.76, y), 0.055);
    }
}

void arrowLeftArrowRight(Canvas& c) {
    // Two arrows passing each other: one to the right above, one to the left below.
    c.stroke(segment(0.14, 0.34, 0.86, 0.34), 0.07);
    c.stroke(polyline({{0.7, 0.2}, {0.86, 0.34}, {0.7, 0.48}}), 0.07);
    c.stroke(segment(0.86, 0.66, 0.14, 0.66), 0.07);
    c.stroke(polyline({{0.3, 0.52}, {0.14, 0.66}, {0.3, 0.8}}), 0.07);
}

void printer(Canvas& c) {
    c.stroke(polyline({{0.28, 0.36}, {0.28, 0.1}, {0.72, 0.1}, {0.72, 0.36}}), 0.06);
    c.stroke(roundedRect(0.08, 0.36, 0.84, 0.36, 0.06), 0.065);
    c.stroke(polygon({{0.28, 0.58}, {0.72, 0.58}, {0.72, 0.9}, {0.28, 0.9}}), 0.06);
    c.fill(circle(0.78, 0.48, 0.035));
}

void squareAndArrowUp(Canvas& c) {
    // A tray with an arrow rising out of it.
    c.stroke(polyline({{0.34, 0.4}, {0.18, 0.4}, {0.18, 0.9}, {0.82, 0.9}, {0.82, 0.4}, {0.66, 0.4}}), 0.065);
    c.stroke(segment(0.5, 0.08, 0.5, 0.62), 0.07);
    c.stroke(polyline({{0.34, 0.24}, {0.5, 0.08}, {0.66, 0.24}}), 0.07);
}

void trash(Canvas& c) {
    c.stroke(segment(0.14, 0.24, 0.86, 0.24), 0.07);
    c.stroke(polyline({{0.38, 0.24}, {0.38, 0.1}, {0.62, 0.1}, {0.62, 0.24}}), 0.06);
    c.stroke(polyline({{0.22, 0.24}, {0.28, 0.9}, {0.72, 0.9}, {0.78, 0.24}}), 0.065);
    for (double x : {0.4, 0.6}) c.stroke(segment(x, 0.4, x, 0.74), 0.05);
}

// A filled disc with a mark cut out of it, so the background shows through the mark.
void cutCircle(Canvas& c, const std::vector<QPainterPath>& marks) {
    c.fill(circle(0.5, 0.5, 0.46));
    for (const auto& mark : marks) c.cutStroke(mark, 0.1);
}

void arrowUpCircleFill(Canvas& c) {
    cutCircle(c, {segment(0.5, 0.74, 0.5, 0.28), polyline({{0.32, 0.44}, {0.5, 0.26}, {0.68, 0.44}})});
}

void arrowDownCircleFill(Canvas& c) {
    cutCircle(c, {segment(0.5, 0.26, 0.5, 0.72), polyline({{0.32, 0.56}, {0.5, 0.74}, {0.68, 0.56}})});
}

void equalCircleFill(Canvas& c) { cutCircle(c, {segment(0.3, 0.42, 0.7, 0.42), segment(0.3, 0.58, 0.7, 0.58)}); }

void plusCircleFill(Canvas& c) { cutCircle(c, {segment(0.28, 0.5, 0.72, 0.5), segment(0.5, 0.28, 0.5, 0.72)}); }

void minusCircleFill(Canvas& c) { cutCircle(c, {segment(0.28, 0.5, 0.72, 0.5)}); }

using Drawing = void (*)(Canvas&);

const std::map<QString, Drawing>& drawings() {
    static const std::map<QString, Drawing> table{
        {"checkmark.circle.fill", checkmarkCircleFill},
        {"exclamationmark.triangle.fill", exclamationTriangleFill},
        {"xmark.octagon.fill", xmarkOctagonFill},
        {"circle", circleOutline},
        {"circle.fill", circleFill},
        {"info.circle", infoCircle},
        {"line.3.horizontal.circle", line3HorizontalCircle},
        {"ellipsis.circle", ellipsisCircle},
        {"house.circle", houseCircle},
        {"square.and.arrow.up.circle", squareAndArrowUpCircle},
        {"record.circle", recordCircle},
        {"gamecontroller", gameController},
        {"slider.horizontal.3", sliderHorizontal3},
        {"play.circle", playCircle},
        {"keyboard", keyboard},
        {"computermouse", computerMouse},
        {"square.grid.2x2", squareGrid2x2},
        {"clock.arrow.circlepath", clockArrowCirclepath},
        {"nosign", noSign},
        {"cable.connector", cableConnector},
        {"plus.circle", plusCircle},
        {"minus.circle", minusCircle},
        {"cable.connector.slash", cableConnectorSlash},
        {"battery.0percent", battery0},
        {"battery.25percent", battery25},
        {"battery.50percent", battery50},
        {"battery.100percent", battery100},
        {"checkmark", checkmark},
        {"stop.fill", stopFill},
        {"square.and.arrow.down", squareAndArrowDown},
        // The guided tests' symbols, the play button of a check and the soak card's lost link.
        {"scope", scope},
        {"circle.dashed", circleDashed},
        {"arrow.uturn.backward.circle", arrowUturnBackwardCircle},
        {"smallcircle.filled.circle", smallcircleFilledCircle},
        {"slider.vertical.3", sliderVertical3},
        {"circle.grid.3x3", circleGrid3x3},
        {"hand.tap", handTap},
        {"dpad", dpad},
        {"waveform", waveform},
        {"lightbulb", lightbulb},
        {"dial.medium", dialMedium},
        {"gyroscope", gyroscope},
        {"hand.draw", handDraw},
        {"battery.75percent", battery75},
        {"checkmark.circle", checkmarkCircle},
        {"antenna.radiowaves.left.and.right", antennaRadiowaves},
        {"antenna.radiowaves.left.and.right.slash", antennaRadiowavesSlash},
        {"arrow.left.and.right", arrowLeftAndRight},
        {"play.fill", playFill},
        // The settings window's tabs and the catalogue's link mark.
        {"eye", eye},
        {"doc.richtext", docRichtext},
        {"doc.on.clipboard", docOnClipboard},
        {"hand.raised", handRaised},
        {"arrow.up.forward.app", arrowUpForwardApp},
        {"tray", tray},
        {"list.bullet.rectangle", listBulletRectangle},
        {"arrow.left.arrow.right", arrowLeftArrowRight},
        {"printer", printer},
        {"square.and.arrow.up", squareAndArrowUp},
        {"trash", trash},
        {"arrow.up.circle.fill", arrowUpCircleFill},
        {"arrow.down.circle.fill", arrowDownCircleFill},
        {"equal.circle.fill", equalCircleFill},
        {"plus.circle.fill", plusCircleFill},
        {"minus.circle.fill", minusCircleFill},
    };
    return table;
}

class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color) : name_(std::move(name)), color_(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QColor color = color_;
        if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.4f);
        Symbols::paint(*painter, rect, name_, color);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        QColor color = color_;
        if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.4f);
        return QPixmap::fromImage(image(name_, size, color, scale));
    }
    QIconEngine* clone() const override { return new SymbolIconEngine(name_, color_); }
    QString key() const override { return QStringLiteral("TessarineSymbol"); }
    bool isNull() override { return !known(name_); }

private:
    QString name_;
    QColor color_;
};

QImage draw(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio) {
    QImage result(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(devicePixelRatio);
    result.fill(Qt::transparent);
    auto found = drawings().find(name);
    if (found == drawings().end() || size.isEmpty()) return result;
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(size.width(), size.height());
    painter.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
    painter.scale(side, side);
    Canvas canvas(painter, color);
    found->second(canvas);
    return result;
}

// Symbols drawn lately. Views and the controller drawing paint the same few symbols at the
// same sizes over and over (every row of a list, every small button of a new drawing), and
// drawing one costs far more than laying its image; an image is the same for the same name, size,
// colour and ratio, so the most recent are kept, in all threads' reach.
struct Drawn {
    QString name;
    QSize size;
    QColor color;
    qreal ratio;
    QImage image;
};
constexpr std::size_t drawnKept = 48;
constexpr qsizetype largestKept = 64 * 1024; // bytes; a symbol drawn larger is drawn each time

std::mutex drawnLock;
std::deque<Drawn>& drawn() {
    static std::deque<Drawn> kept;
    return kept;
}

std::optional<QImage> recentlyDrawn(const QString& name, QSize size, const QColor& color, qreal ratio) {
    const std::scoped_lock lock(drawnLock);
    auto& kept = drawn();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->size != size || it->ratio != ratio || it->color != color || it->name != name) continue;
        if (it != kept.begin()) std::rotate(kept.begin(), it, std::next(it));
        return kept.front().image;
    }
    return std::nullopt;
}

void keep(const QString& name, QSize size, const QColor& color, qreal ratio, const QImage& image) {
    if (image.sizeInBytes() > largestKept) return;
    const std::scoped_lock lock(drawnLock);
    auto& kept = drawn();
    kept.push_front({name, size, color, ratio, image});
    if (kept.size() > drawnKept) kept.pop_back();
}

} // namespace

bool known(const QString& name) { return drawings().contains(name); }

QStringList names() {
    QStringList result;
    for (const auto& entry : drawings()) result << entry.first;
    return result;
}

QImage image(const QString& name, QSize size, const QColor& color, qreal devicePixelRatio) {
    // A ratio that is not a number (or not finite) would make the image's size one too.
    devicePixelRatio = std::isfinite(devicePixelRatio) ? std::max<qreal>(devicePixelRatio, 1.0) : 1.0;
    if (std::optional<QImage> kept = recentlyDrawn(name, size, color, devicePixelRatio)) return *kept;
    QImage result = draw(name, size, color, devicePixelRatio);
    keep(name, size, color, devicePixelRatio, result);
    return result;
}

void paint(QPainter& painter, const QRectF& rect, const QString& name, const QColor& color) {
    if (!known(name) || rect.isEmpty()) return;
    const double side = std::min(rect.width(), rect.height());
    const QRectF square(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    // Device pixels per unit: the screen's ratio and the painter's own scaling (a drawing scaled
    // up to fit its space), so the symbol stays sharp; capped to keep the image small.
    const QTransform t = painter.deviceTransform();
    const qreal ratio = std::min<qreal>(16, std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())));
    const int pixels = std::max(1, int(std::ceil(side)));
    painter.drawImage(square, image(name, QSize(pixels, pixels), color, ratio));
}

QIcon icon(const QString& name, const QColor& color) { return QIcon(new SymbolIconEngine(name, color)); }

} // namespace Tessarine::Symbols
