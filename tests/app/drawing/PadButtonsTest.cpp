#include "app/drawing/PadButtons.h"
#include "app/paint/Theme.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using RorozErurEvo::Direction8;
using Role = ElementInfo::Role;

namespace {

ElementInfo element(std::string name, std::optional<std::string> symbol, Role role = Role::south) {
    ElementInfo e;
    e.id = "b";
    e.name = std::move(name);
    e.symbol = std::move(symbol);
    e.role = role;
    return e;
}

bool teal(const QColor& c) {
    return std::abs(c.hsvHue() - Color::accentTeal().hsvHue()) < 10 && c.hsvSaturation() > 120;
}

} // namespace

TEST(PadButtons, DPadLightsTheArmsOfItsDirection) {
    using A = std::array<bool, 4>; // up, down, left, right
    EXPECT_EQ(dpadLitArms(std::nullopt), (A{false, false, false, false}));
    EXPECT_EQ(dpadLitArms(Direction8::upLeft), (A{true, false, true, false}));
    EXPECT_EQ(dpadLitArms(Direction8::down), (A{false, true, false, false}));
    EXPECT_EQ(dpadLitArms(Direction8::downRight), (A{false, true, false, true}));

    EXPECT_EQ(accessibility(DPadCap{}), (PartAccessibility{"D-pad", "centered"}));
    EXPECT_EQ(accessibility(DPadCap{Direction8::upLeft}).value, "Up-left");

    const QPointF centre(40, 40);
    const QImage image = DrawingProbe::render([&](QPainter& p) { paintDPadCap(p, {Direction8::up}, centre); }, 80, 80, 2);
    const QPointF upArm = centre + QPointF(-8, -26), downArm = centre + QPointF(-8, 26);
    EXPECT_TRUE(teal(DrawingProbe::at(image, upArm, 2)));
    EXPECT_FALSE(teal(DrawingProbe::at(image, downArm, 2)));
    EXPECT_EQ(DrawingProbe::at(image, downArm, 2).alpha(), 255);
    // The arrowhead stays lighter than the arm around it.
    EXPECT_GT(DrawingProbe::at(image, centre + QPointF(0, 25), 2).lightness(),
              DrawingProbe::at(image, downArm, 2).lightness());
}

TEST(PadButtons, FaceGlyphIsAShortNameElseAnOwnSymbol) {
    using K = FaceGlyph::Kind;
    EXPECT_EQ(faceGlyph(element("A", "circle")), (FaceGlyph{K::text, "A"}));
    EXPECT_EQ(faceGlyph(element(" Y ", std::nullopt)), (FaceGlyph{K::text, "Y"}));
    EXPECT_EQ(faceGlyph(element("\tLB ", std::nullopt)), (FaceGlyph{K::text, "LB"}));
    EXPECT_EQ(faceGlyph(element("Cross", "circle")), FaceGlyph{});
    EXPECT_EQ(faceGlyph(element("Cross", std::nullopt)), FaceGlyph{});
    EXPECT_EQ(faceGlyph(element("Cross", "star")), (FaceGlyph{K::symbol, "star"}));
    // A line break is not trimmed, so it counts; accents do not add characters.
    EXPECT_EQ(faceGlyph(element("A\n", "star")).kind, K::text);
    EXPECT_EQ(faceGlyph(element("A\n\n", "star")).kind, K::symbol);
    EXPECT_EQ(faceGlyph(element("E\u0301", std::nullopt)).kind, K::text);

    EXPECT_EQ(accessibility(FaceButton{element(" Y ", std::nullopt), false}), (PartAccessibility{" Y ", ""}));
    EXPECT_EQ(accessibility(FaceButton{element("A", std::nullopt), true}).value, "pressed");
}

TEST(PadButtons, PressedFaceButtonTurnsTealAndKeepsItsPlace) {
    const QPointF centre(30, 30);
    const ElementInfo a = element("A", "circle");
    const QImage idle = DrawingProbe::render([&](QPainter& p) { paintFaceButton(p, {a, false}, centre); }, 60, 60, 2);
    const QImage held = DrawingProbe::render([&](QPainter& p) { paintFaceButton(p, {a, true}, centre); }, 60, 60, 2);
    const QPointF body = centre + QPointF(8, 6); // off the letter and the highlight
    EXPECT_FALSE(teal(DrawingProbe::at(idle, body, 2)));
    EXPECT_TRUE(teal(DrawingProbe::at(held, body, 2)));
    // The cap shrinks: the edge of its disc, 14 from the centre is left uncovered.
    EXPECT_EQ(DrawingProbe::at(idle, centre + QPointF(-13.3, 0), 2).alpha(), 255);
    EXPECT_LT(DrawingProbe::at(held, centre + QPointF(-13.3, 0), 2).alpha(), 255);
    // The letter is drawn in white over the dark cap.
    int white = 0;
    for (int dx = -4; dx <= 4; ++dx) white += DrawingProbe::at(idle, centre + QPointF(dx, 0), 2).lightness() > 180;
    EXPECT_GT(white, 0);
}

TEST(PadButtons, SmallButtonsAreCapsulesSizedByRole) {
    EXPECT_EQ(smallButtonSize(Role::home), QSizeF(24, 24));
    EXPECT_EQ(smallButtonSize(Role::menu), QSizeF(28, 13));
    EXPECT_EQ(smallButtonSize(Role::share), QSizeF(28, 13));
    EXPECT_EQ(accessibility(SmallButton{element("Menu", std::nullopt, Role::menu), true}),
              (PartAccessibility{"Menu", "pressed"}));

    const QPointF centre(20, 20);
    const QImage menu = DrawingProbe::render(
        [&](QPainter& p) { paintSmallButton(p, {element("Menu", std::nullopt, Role::menu), true}, centre); }, 40, 40, 2);
    EXPECT_TRUE(teal(DrawingProbe::at(menu, centre + QPointF(-10, 0), 2)));
    EXPECT_EQ(DrawingProbe::at(menu, centre + QPointF(0, -8), 2).alpha(), 0); // only 13 high
    const QImage home = DrawingProbe::render(
        [&](QPainter& p) { paintSmallButton(p, {element("Home", std::nullopt, Role::home), false}, centre); }, 40, 40, 2);
    EXPECT_EQ(DrawingProbe::at(home, centre + QPointF(0, -10), 2).alpha(), 255);
    EXPECT_EQ(DrawingProbe::at(home, centre + QPointF(-11, -11), 2).alpha(), 0); // round
}
