#include "app/drawing/PadButtons.h"

#include "app/drawing/ShapeMath.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/drawing/DirectFill.h"
#include "app/drawing/DrawingText.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PaintLayers.h"

#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace Tessarine {

namespace {

using ShapeMath::circle;
using ShapeMath::ellipse;

using namespace Gradients;
using RorozErurEvo::Direction8;

constexpr double dpadArm = 22;             // points, thickness of each bar of the cross
constexpr double facePressedScale = 0.93;
constexpr double smallPressedScale = 0.94;

// Characters as a reader counts them (a letter with its accents is one).
int characterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1) ++count;
    return count;
}

QString trimSpacesAndTabs(const QString& text) {
    qsizetype begin = 0, end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// A glyph in white with a hard shadow just above it, so it reads as pressed into the cap.
template <typename Draw> void withHardShadow(QPainter& p, double whiteOpacity, Draw draw) {
    p.save();
    p.translate(0, -0.6);
    draw(black(0.5));
    p.restore();
    draw(white(whiteOpacity));
}

// An arm's rectangle cut to the cross, so the lit arm keeps the cross's rounded ends.
const QPainterPath& litArm(DPadArm arm) {
    // One per thread, as the shell's outline.
    thread_local const std::array<QPainterPath, 4> arms = [] {
        const QPainterPath cross = CrossShape::path(dpadArm, QRectF(0, 0, dpadCapSize, dpadCapSize));
        std::array<QPainterPath, 4> cut;
        for (DPadArm a : {DPadArm::up, DPadArm::down, DPadArm::left, DPadArm::right}) {
            QPainterPath rect;
            rect.addRect(dpadArmRect(a));
            cut[std::size_t(a)] = rect.intersected(cross);
        }
        return cut;
    }();
    return arms[std::size_t(arm)];
}

void paintArrowheads(QPainter& p) {
    constexpr double c = dpadCapSize / 2, base = c - 7, tip = base + 2.4, half = 4;
    const QPointF heads[4][3] = {
        {{c, c - tip}, {c + half, c - base}, {c - half, c - base}}, // up
        {{c, c + tip}, {c - half, c + base}, {c + half, c + base}}, // down
        {{c - tip, c}, {c - base, c + half}, {c - base, c - half}}, // left
        {{c + tip, c}, {c + base, c - half}, {c + base, c + half}}, // right
    };
    p.setPen(Qt::NoPen);
    p.setBrush(white(0.22));
    for (const auto& head : heads) p.drawPolygon(head, 3);
}

} // namespace

std::array<bool, 4> dpadLitArms(std::optional<Direction8> direction) {
    if (!direction) return {false, false, false, false};
    const Direction8 d = *direction;
    return {
        d == Direction8::up || d == Direction8::upLeft || d == Direction8::upRight,
        d == Direction8::down || d == Direction8::downLeft || d == Direction8::downRight,
        d == Direction8::left || d == Direction8::upLeft || d == Direction8::downLeft,
        d == Direction8::right || d == Direction8::upRight || d == Direction8::downRight,
    };
}

QRectF dpadArmRect(DPadArm arm) {
    switch (arm) {
    case DPadArm::up: return {20, 0, 22, 20};
    case DPadArm::down: return {20, 42, 22, 20};
    case DPadArm::left: return {0, 20, 20, 22};
    case DPadArm::right: return {42, 20, 20, 22};
    }
    return {};
}

FaceGlyph faceGlyph(const ElementInfo& element) {
    const QString name = trimSpacesAndTabs(QString::fromStdString(element.name));
    if (characterCount(name) < 3) return name.isEmpty() ? FaceGlyph{} : FaceGlyph{FaceGlyph::Kind::text, name};
    if (element.symbol && *element.symbol != "circle")
        return {FaceGlyph::Kind::symbol, QString::fromStdString(*element.symbol)};
    return {};
}

QSizeF smallButtonSize(ElementInfo::Role role) {
    return role == ElementInfo::Role::home ? QSizeF(24, 24) : QSizeF(28, 13);
}

void paintDPadCap(QPainter& painter, const DPadCap& dpad, QPointF centre) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre.x() - dpadCapSize / 2, centre.y() - dpadCapSize / 2);
    const QRectF square(0, 0, dpadCapSize, dpadCapSize);
    const QPainterPath cross = CrossShape::path(dpadArm, square);

    PaintLayers::paintBlurred(painter, cross, black(0.5), 1.5, {0, 2});
    painter.fillPath(cross, vertical(square, {Color::capTop(), Color::capBottom()}));
    const std::array<bool, 4> lit = dpadLitArms(dpad.direction);
    for (DPadArm arm : {DPadArm::up, DPadArm::down, DPadArm::left, DPadArm::right})
        if (lit[std::size_t(arm)]) DirectFill::fill(painter, litArm(arm), Color::withOpacity(Color::accentTeal(), 0.95));
    paintArrowheads(painter); // well inside the cross, so they need no mask
    // Bevel: light along the upper edges, shade along the lower ones.
    PaintLayers::strokeInside(painter, cross, vertical(square, {white(0.4), white(0.05), black(0.5)}), 1);
    const QRectF dimple = circle(square.center(), 12);
    painter.setPen(Qt::NoPen);
    painter.setBrush(vertical(dimple, {black(0.35), white(0.12)}));
    painter.drawEllipse(dimple);
    painter.restore();
}

void paintFaceButton(QPainter& painter, const FaceButton& button, QPointF centre) {
    constexpr double d = faceButtonDiameter;
    const bool pressed = button.pressed;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    if (pressed) painter.scale(facePressedScale, facePressedScale);
    painter.setPen(Qt::NoPen);

    const QPointF shadow(0, pressed ? 0.5 : 2.5);
    DirectFill::fill(painter, ellipse(circle(shadow, d + 8)), radial(shadow, 0.35 * d, 0.62 * d, {black(0.55), clear(Qt::black)}));

    const QRectF body = circle({0, 0}, d);
    const QPointF lightFrom(body.left() + 0.42 * d, body.top() + 0.3 * d); // up and left of the centre
    const QColor& teal = Color::accentTeal();
    const QPainterPath bodyShape = ellipse(body);
    DirectFill::fill(painter, bodyShape,
                     pressed ? radial(lightFrom, 0, 0.75 * d,
                                      {Color::withOpacity(teal, 0.75), teal, Color::withOpacity(teal, 0.8)})
                             : radial(lightFrom, 0, 0.75 * d, {grey(0.42), Color::capTop(), Color::capBottom()}));
    if (pressed) DirectFill::fill(painter, bodyShape, black(0.15));

    const QPointF highlight(-3, -7);
    DirectFill::fill(painter, ellipse(QRectF(highlight.x() - 7, highlight.y() - 4, 14, 8)),
                     radial(highlight, 0, 7, {white(0.4), clear(Qt::white)}));

    PaintLayers::strokeInside(painter, body, d / 2, vertical(body, {white(0.3), black(0.4)}), 0.8);

    const FaceGlyph glyph = faceGlyph(button.element);
    const double opacity = pressed ? 1 : 0.88;
    if (glyph.kind == FaceGlyph::Kind::text) {
        painter.setFont(DrawingText::font(13, QFont::Bold));
        withHardShadow(painter, opacity, [&](const QColor& color) {
            painter.setPen(color);
            DrawingText::drawCentred(painter, {0, 0}, glyph.content);
        });
    } else if (glyph.kind == FaceGlyph::Kind::symbol) {
        withHardShadow(painter, opacity, [&](const QColor& color) {
            Symbols::paint(painter, circle({0, 0}, 13), glyph.content, color);
        });
    }
    painter.restore();
}

void paintSmallButton(QPainter& painter, const SmallButton& button, QPointF centre) {
    const bool home = button.element.role == ElementInfo::Role::home;
    const QSizeF size = smallButtonSize(button.element.role);
    const bool pressed = button.pressed;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    if (pressed) painter.scale(smallPressedScale, smallPressedScale);

    const QRectF capsule(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    const double radius = std::min(size.width(), size.height()) / 2;
    const QColor& teal = Color::accentTeal();
    QPainterPath shape;
    shape.addRoundedRect(capsule, radius, radius);
    painter.fillPath(shape, pressed ? vertical(capsule, {Color::withOpacity(teal, 0.8), teal})
                                    : vertical(capsule, {Color::capTop(), Color::capBottom()}));
    PaintLayers::strokeInside(painter, capsule, radius,
                              linear({0, capsule.top()}, {0, 0}, {white(0.32), clear(Qt::white)}), 0.8);
    if (button.element.symbol) {
        const double points = home ? 12 : 8;
        Symbols::paint(painter, circle({0, 0}, points * 1.1), QString::fromStdString(*button.element.symbol),
                       white(pressed ? 1 : 0.7));
    }
    painter.restore();
}

PartAccessibility accessibility(const DPadCap& dpad) {
    return {QStringLiteral("D-pad"), dpad.direction ? QString::fromStdString(RorozErurEvo::name(*dpad.direction))
                                                    : QStringLiteral("centered")};
}

PartAccessibility accessibility(const FaceButton& button) {
    return {QString::fromStdString(button.element.name), button.pressed ? QStringLiteral("pressed") : QString()};
}

PartAccessibility accessibility(const SmallButton& button) {
    return {QString::fromStdString(button.element.name), button.pressed ? QStringLiteral("pressed") : QString()};
}

} // namespace Tessarine
