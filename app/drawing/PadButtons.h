#pragma once
// The digital controls of the drawn controller: the d-pad cap, the round face buttons and the
// small centre buttons (menu, options, home, share). They look the same in both colour schemes
// and turn the accent colour while active. Each paints centred on a point of the canvas.
#include "app/devices/ElementInfo.h"
#include "app/drawing/PartAccessibility.h"

#include "testkit/StickGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <optional>

class QPainter;

namespace Tessarine {

struct DPadCap {
    std::optional<RorozErurEvo::Direction8> direction; // absent while the pad rests in the centre

    friend bool operator==(const DPadCap&, const DPadCap&) = default;
};

struct FaceButton {
    ElementInfo element;
    bool pressed = false;

    friend bool operator==(const FaceButton&, const FaceButton&) = default;
};

struct SmallButton {
    ElementInfo element;
    bool pressed = false;

    friend bool operator==(const SmallButton&, const SmallButton&) = default;
};

// Frames in points.
inline constexpr double dpadCapSize = 62;
inline constexpr double faceButtonFrame = 36;
inline constexpr double faceButtonDiameter = 28;

// The d-pad's arms in the order up, down, left, right, and whether each is lit: a diagonal
// lights two arms, no direction none.
enum class DPadArm { up, down, left, right };
std::array<bool, 4> dpadLitArms(std::optional<RorozErurEvo::Direction8> direction);
// An arm's rectangle in the cap's 62 × 62 square (origin top left).
QRectF dpadArmRect(DPadArm arm);

// What a face button shows on its cap: its name when that is short, else its symbol.
struct FaceGlyph {
    enum class Kind { none, text, symbol };
    Kind kind = Kind::none;
    QString content; // the text, or the symbol name

    friend bool operator==(const FaceGlyph&, const FaceGlyph&) = default;
};
// The name without surrounding spaces and tabs when that is under 3 characters; otherwise the
// element's symbol unless it is absent or the neutral "circle"; otherwise nothing.
FaceGlyph faceGlyph(const ElementInfo& element);

// 24 × 24 for home, 28 × 13 for every other role.
QSizeF smallButtonSize(ElementInfo::Role role);

void paintDPadCap(QPainter& painter, const DPadCap& dpad, QPointF centre);
void paintFaceButton(QPainter& painter, const FaceButton& button, QPointF centre);
void paintSmallButton(QPainter& painter, const SmallButton& button, QPointF centre);

// "D-pad" with the direction ("Up-left", … or "centered"); the buttons their element's name
// with "pressed" while held.
PartAccessibility accessibility(const DPadCap& dpad);
PartAccessibility accessibility(const FaceButton& button);
PartAccessibility accessibility(const SmallButton& button);

} // namespace Tessarine
