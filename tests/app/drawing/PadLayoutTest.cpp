// Which parts the drawn controller shows and where, read from a device: the layout (the shell's
// key), the source rule for a raw partner, and the live values each part is given.
#include "app/drawing/PadLayout.h"
#include "app/drawing/PadParts.h"

#include "PadDevices.h"

#include <gtest/gtest.h>

using namespace Tessarine;
using namespace PadDevices;

namespace {

std::vector<ElementInfo> without(std::vector<ElementInfo> elements, std::initializer_list<std::string> ids) {
    std::erase_if(elements, [&](const ElementInfo& e) { return std::find(ids.begin(), ids.end(), e.id) != ids.end(); });
    return elements;
}

std::vector<Role> roles(const std::vector<CenterSlot>& table) {
    std::vector<Role> out;
    for (const auto& slot : table) out.push_back(slot.id);
    return out;
}

} // namespace

TEST(PadLayout, FullPadWithTouchpadAndWithout) {
    auto pad = fullPad();
    PadLayout layout = padLayout(*pad);
    EXPECT_EQ(layout.wells, (std::vector<bool>{true, false}));
    EXPECT_TRUE(layout.dpad);
    EXPECT_EQ(layout.face, (std::vector<Role>{Role::south, Role::east, Role::west, Role::north}));
    EXPECT_TRUE(layout.touchpad);
    EXPECT_EQ(layout.center, CenterSlot::withTouchpad());
    EXPECT_TRUE(layout.light);
    EXPECT_TRUE(layout.playerLights);
    EXPECT_EQ(padParts(*pad, false).playerLights->centre, QPointF(280, 150));

    // Without a touchpad the centre buttons close in and the player lights move up.
    auto flat = device("flat", without(fullElements(), {"t1", "t2"}));
    flat->setCapabilities({.haptics = {}, .light = false, .playerLights = true});
    layout = padLayout(*flat);
    EXPECT_FALSE(layout.touchpad);
    EXPECT_EQ(layout.center, CenterSlot::withoutTouchpad());
    EXPECT_EQ(roles(layout.center), (std::vector<Role>{Role::options, Role::menu, Role::home, Role::share}));
    EXPECT_EQ(layout.center[2], (CenterSlot{Role::home, 280, 148}));
    EXPECT_FALSE(layout.light);
    EXPECT_EQ(padParts(*flat, false).playerLights->centre, QPointF(280, 88));
    EXPECT_FALSE(padParts(*flat, false).touchpad.has_value());

    // Only home among the centre roles: one slot, in the table of the touchpad's presence.
    auto homeOnly = device("home", {element("home", Kind::button, Role::home, "Home")});
    EXPECT_EQ(padLayout(*homeOnly).center, (std::vector<CenterSlot>{{Role::home, 280, 148}}));
    auto homeAndPad = device("home2", {element("home", Kind::button, Role::home, "Home"),
                                       element("t1", Kind::touchpad, Role::touchpad, "Finger")});
    EXPECT_EQ(padLayout(*homeAndPad).center, (std::vector<CenterSlot>{{Role::home, 280, 174}}));
}

TEST(PadLayout, FaceRolesKeepDuplicatesAndPlaceOthersSouth) {
    auto pad = device("dup", {element("a1", Kind::button, Role::south, "A"), element("a2", Kind::button, Role::south, "A2"),
                              element("n", Kind::button, Role::north, "N"), element("o", Kind::button, Role::other, "O")});
    EXPECT_EQ(padLayout(*pad).face, (std::vector<Role>{Role::south, Role::south, Role::north}));
    EXPECT_EQ(PadLayout::facePosition(Role::east), QPointF(452, 136));
    EXPECT_EQ(PadLayout::facePosition(Role::west), QPointF(388, 136));
    EXPECT_EQ(PadLayout::facePosition(Role::north), QPointF(420, 104));
    EXPECT_EQ(PadLayout::facePosition(Role::home), QPointF(420, 168));
    const auto parts = padParts(*pad, false);
    ASSERT_EQ(parts.face.size(), 3u);
    EXPECT_EQ(parts.face[0].centre, parts.face[1].centre); // both south buttons in one socket
}

TEST(PadLayout, StickPositionsFollowRolesThenOrder) {
    auto other = [](std::string id, std::string name) { return element(std::move(id), Kind::stick, Role::other, std::move(name)); };
    // A right stick sorts before a stick of another role, so neither stands left.
    auto rightAndOther = device("ro", {other("o", "Aux"), element("r", Kind::stick, Role::rightStick, "Right")});
    EXPECT_EQ(padLayout(*rightAndOther).wells, (std::vector<bool>{false, false}));
    // Two sticks of other roles: first left, second right.
    auto twoOthers = device("oo", {other("p", "Pair 2"), other("q", "Pair 1")});
    EXPECT_EQ(padLayout(*twoOthers).wells, (std::vector<bool>{true, false}));
    const auto parts = padParts(*twoOthers, false);
    EXPECT_EQ(parts.sticks[0].part.label, "Pair 1"); // display order sorts names by value
    EXPECT_EQ(parts.sticks[0].centre, QPointF(140, 136));
    EXPECT_EQ(parts.sticks[1].centre, QPointF(350, 206));
    // Only the first two of three sticks are drawn.
    auto three = device("three", {element("l", Kind::stick, Role::leftStick, "L"), element("r", Kind::stick, Role::rightStick, "R"),
                                  other("o", "Aux")});
    EXPECT_EQ(padLayout(*three).wells.size(), 2u);
    EXPECT_EQ(padParts(*three, false).sticks.size(), 2u);
    // Two left sticks share the left well.
    auto twoLeft = device("ll", {element("l1", Kind::stick, Role::leftStick, "L1"), element("l2", Kind::stick, Role::leftStick, "L2")});
    EXPECT_EQ(padLayout(*twoLeft).wells, (std::vector<bool>{true, true}));
}

TEST(PadLayout, RawPartnerFeedsControlsWhileTouchpadAndLightsStayTheDevices) {
    auto pad = fullPad();
    auto partner = device("twin", {element("rx", Kind::stick, Role::other, "Pair 1"),
                                   element("b1", Kind::button, Role::east, "Button 1"),
                                   element("h", Kind::button, Role::home, "Button 13")},
                          InputDevice::Kind::hid);
    pad->setRawPartner(partner);
    EXPECT_EQ(&padSource(*pad), pad.get()); // not chosen yet
    pad->setUseRaw(true);
    EXPECT_EQ(&padSource(*pad), partner.get());

    const PadLayout layout = padLayout(*pad);
    EXPECT_EQ(layout.wells, (std::vector<bool>{true}));
    EXPECT_FALSE(layout.dpad);
    EXPECT_EQ(layout.face, (std::vector<Role>{Role::east}));
    EXPECT_TRUE(layout.touchpad); // the device's
    EXPECT_EQ(layout.center, (std::vector<CenterSlot>{{Role::home, 280, 174}}));
    EXPECT_TRUE(layout.light);
    EXPECT_TRUE(layout.playerLights);

    partner->buffer().recordButton("b1", true, 1);
    partner->buffer().recordStick("rx", 0.25, -0.5, RorozErurEvo::RawPoint{160, 64}, 1);
    publish(*partner);
    pad->buffer().recordButton("b", true, 1); // the device's own east button: not drawn
    pad->buffer().recordTouch({1, 0, 0, 0});
    publish(*pad);
    const PadParts parts = padParts(*pad, true);
    ASSERT_EQ(parts.face.size(), 1u);
    EXPECT_EQ(parts.face[0].id, "b1");
    EXPECT_TRUE(parts.face[0].part.pressed);
    ASSERT_EQ(parts.sticks.size(), 1u);
    EXPECT_EQ(parts.sticks[0].part.sample->raw, (RorozErurEvo::RawPoint{160, 64}));
    EXPECT_TRUE(parts.sticks[0].part.showRaw);
    EXPECT_EQ(parts.touchpad->contacts.size(), 1u);

    // Raw chosen but no partner: the device itself.
    pad->setRawPartner(nullptr);
    EXPECT_EQ(&padSource(*pad), pad.get());
    EXPECT_EQ(padLayout(*pad).face.size(), 4u);
}

TEST(PadLayout, ButtonsARawPartnerNamesOnlyByNumberStayDrawnFromTheDevice) {
    // A raw partner with a stick and a trigger of its own, and buttons known only by number.
    auto pad = fullPad();
    auto partner = device("twin", {element("p1", Kind::stick, Role::leftStick, "Left stick"),
                                   element("e5", Kind::trigger, Role::leftTrigger, "Left trigger"),
                                   element("b1", Kind::button, Role::other, "Button 1"),
                                   element("b9", Kind::button, Role::other, "Button 9")},
                          InputDevice::Kind::hid);
    pad->setRawPartner(partner);
    pad->setUseRaw(true);

    // Face, centre, shoulder and stick-press buttons all stay; the analogue parts are the partner's.
    const PadLayout layout = padLayout(*pad);
    EXPECT_EQ(layout.face, (std::vector<Role>{Role::south, Role::east, Role::west, Role::north}));
    EXPECT_EQ(roles(layout.center), (std::vector<Role>{Role::options, Role::menu, Role::home, Role::share}));
    EXPECT_EQ(layout.wells, (std::vector<bool>{true}));

    pad->buffer().recordButton("a", true, 1);
    pad->buffer().recordButton("menu", true, 1);
    pad->buffer().recordButton("lb", true, 1);
    pad->buffer().recordButton("l3", true, 1);
    publish(*pad);
    partner->buffer().recordStick("p1", 0.5, 0, RorozErurEvo::RawPoint{191, 128}, 1);
    partner->buffer().recordButton("b1", true, 1);
    publish(*partner);
    const PadParts parts = padParts(*pad, true);
    auto pressed = [](const auto& list, const std::string& id) {
        for (const auto& part : list)
            if (part.id == id) return part.part.pressed;
        ADD_FAILURE() << id << " is not drawn";
        return false;
    };
    EXPECT_TRUE(pressed(parts.face, "a"));
    EXPECT_FALSE(pressed(parts.face, "b"));
    EXPECT_TRUE(pressed(parts.center, "menu"));
    EXPECT_FALSE(pressed(parts.center, "home"));
    EXPECT_TRUE(pressed(parts.bumpers, "lb"));
    ASSERT_EQ(parts.sticks.size(), 1u);
    EXPECT_EQ(parts.sticks[0].id, "p1");
    EXPECT_EQ(parts.sticks[0].part.sample->raw, (RorozErurEvo::RawPoint{191, 128}));
    EXPECT_TRUE(parts.sticks[0].part.pressed); // the device's own stick press
    ASSERT_EQ(parts.triggers.size(), 1u);
    EXPECT_EQ(parts.triggers[0].id, "e5");
    // The numbered buttons have no place on the pad.
    for (const auto& face : parts.face) EXPECT_NE(face.id, "b1");
}

TEST(PadLayout, LightsAppearWithACapabilityOrAValueSent) {
    auto pad = device("plain", {element("a", Kind::button, Role::south, "A")});
    PadParts parts = padParts(*pad, false);
    EXPECT_FALSE(parts.lightBar.has_value());
    EXPECT_FALSE(parts.playerLights.has_value());

    pad->setPlayerLight(0); // sent by a check although the device has no player lights
    pad->setLightColor(std::array<double, 3>{1, 0, 0});
    parts = padParts(*pad, false);
    ASSERT_TRUE(parts.playerLights.has_value());
    EXPECT_EQ(parts.playerLights->part.lit, 0);
    ASSERT_TRUE(parts.lightBar.has_value());
    EXPECT_EQ(parts.lightBar->color, QColor(Qt::red));

    // A light capability without a colour shows the empty slot.
    auto lit = device("lit", {});
    lit->setCapabilities({.haptics = {}, .light = true});
    parts = padParts(*lit, false);
    ASSERT_TRUE(parts.lightBar.has_value());
    EXPECT_FALSE(parts.lightBar->color.has_value());
}

TEST(PadLayout, LiveValuesReachTheirParts) {
    auto pad = fullPad();
    PadParts parts = padParts(*pad, false);
    // Nothing reported yet: a stick without a reading, a centred d-pad, triggers at 0, nothing held.
    EXPECT_FALSE(parts.sticks[0].part.sample.has_value());
    EXPECT_FALSE(parts.dpad->part.direction.has_value());
    EXPECT_EQ(parts.triggers[0].part.value, 0);
    EXPECT_FALSE(parts.triggers[0].part.raw.has_value());
    EXPECT_EQ(parts.touchpad, TouchpadOverlay{});

    auto& buffer = pad->buffer();
    buffer.recordStick("dp", 0.4, 0.6, std::nullopt, 1);
    buffer.recordAxis("rt", 0.25, 96, 1);
    buffer.recordButton("r3", true, 1);
    buffer.recordButton("rb", true, 1);
    buffer.recordButton("click", true, 1);
    buffer.recordButton("home", true, 1);
    publish(*pad);
    parts = padParts(*pad, true);
    EXPECT_EQ(parts.dpad->part.direction, RorozErurEvo::Direction8::up);
    ASSERT_EQ(parts.triggers.size(), 2u);
    EXPECT_FALSE(parts.triggers[1].part.left);
    EXPECT_EQ(parts.triggers[1].part.value, 0.25);
    EXPECT_EQ(parts.triggers[1].part.raw, 96);
    EXPECT_FALSE(parts.sticks[0].part.pressed);
    EXPECT_TRUE(parts.sticks[1].part.pressed); // the right stick's button
    EXPECT_TRUE(parts.bumpers[1].part.pressed);
    EXPECT_FALSE(parts.bumpers[1].part.left);
    EXPECT_TRUE(parts.touchpad->pressed);
    EXPECT_TRUE(std::find_if(parts.center.begin(), parts.center.end(), [](const auto& c) {
                    return c.id == "home" && c.part.pressed && c.centre == QPointF(280, 174);
                }) != parts.center.end());

    // On the threshold exactly is not past it.
    buffer.recordStick("dp", 0.5, 0.5, std::nullopt, 2);
    publish(*pad);
    EXPECT_FALSE(padParts(*pad, false).dpad->part.direction.has_value());
}

TEST(PadLayout, StickWithoutItsButtonIsNeverPressed) {
    auto pad = device("nobutton", {element("ls", Kind::stick, Role::leftStick, "L"),
                                   element("r3", Kind::button, Role::rightStickButton, "R3")});
    pad->buffer().recordButton("r3", true, 1);
    publish(*pad);
    EXPECT_FALSE(padParts(*pad, false).sticks[0].part.pressed);
}

TEST(PadLayout, CanvasFitsTheSpaceAtItsTopLeft) {
    EXPECT_EQ(padCanvasFit({280, 165}).scale, 0.5);
    EXPECT_EQ(padCanvasFit({280, 165}).rect, QRectF(0, 0, 280, 165));
    // Taller than the aspect: the width decides, the rest stays below.
    EXPECT_EQ(padCanvasFit({540, 400}).rect, QRectF(0, 0, 540, 540 * 330.0 / 560));
    // Wider: the height decides.
    EXPECT_EQ(padCanvasFit({1000, 165}).rect, QRectF(0, 0, 280, 165));
    EXPECT_EQ(padCanvasFit({0, 100}).scale, 0);
}

TEST(PadLayout, AccessiblePartsInDrawingOrder) {
    auto pad = fullPad();
    PadDevices::pose(*pad);
    const auto elements = padPartElements(padParts(*pad, false));
    std::vector<std::string> keys;
    for (const auto& e : elements) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"trigger:lt", "trigger:rt", "bumper:lb", "bumper:rb", "light-bar",
                                              "player-lights", "stick:ls", "stick:rs", "dpad", "face:a", "face:b",
                                              "face:x", "face:y", "touchpad", "center:view", "center:menu",
                                              "center:home", "center:share"}));
    const auto touchpad = std::find_if(elements.begin(), elements.end(), [](const auto& e) { return e.key == "touchpad"; });
    EXPECT_EQ(touchpad->accessibility, (PartAccessibility{"Touchpad", "2 fingers"}));
    EXPECT_EQ(touchpad->frame, QRectF(230, 84, 100, 54));
    // Every frame lies on the canvas.
    for (const auto& e : elements) EXPECT_TRUE(QRectF(0, 0, 560, 330).contains(e.frame)) << e.key;

    // Lights with nothing to show are not read out.
    auto dark = fullPad();
    std::vector<std::string> darkKeys;
    for (const auto& e : padPartElements(padParts(*dark, false))) darkKeys.push_back(e.key);
    EXPECT_EQ(std::count(darkKeys.begin(), darkKeys.end(), "light-bar"), 0);
    EXPECT_EQ(std::count(darkKeys.begin(), darkKeys.end(), "player-lights"), 0);
}
