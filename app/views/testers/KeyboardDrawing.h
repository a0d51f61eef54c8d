#pragma once
// The drawn keyboard of the keyboard tester: every key of the chosen board in its place (the main
// block, and beside it the arrows, the navigation block or the keypad as the board has them), teal
// while held, green once tested, with an amber border when it chattered. A key that many boards of
// that size lack has a dashed outline until it is pressed.
#include <QColor>
#include <QRectF>
#include <QWidget>

#include <set>
#include <vector>

#include "app/views/kit/AccessibleValue.h"
#include "testkit/KeyboardLayout.h"

class QPainter;

namespace Tessarine {

namespace KeyboardGeometry {
using Board = RorozErurEvo::KeyboardBoard;
// Points between keys, across and down.
constexpr double spacing = 4;
// Height of the drawing in key units (six rows and their spacing).
constexpr double heightUnits = 6.3;
// The largest key unit drawn, in points: a letter key no larger than on a keyboard at hand.
constexpr double largestUnit = 63.5;

// The size of one key unit for a drawing of the board `width` wide; of the width, a spacing for
// every unit of the board is not keys.
double unit(double width, Board board);
// Label font size of a key of size `size`: 0.28 of it, within 8…13.
double labelSize(double size);
// Size of the tested mark: 0.2 of the key, at least 7.
double markSize(double size);
// Space between a key's edge and its label: 4, less on keys under 40 points, at least 2.
double labelPadding(double size);
// The smallest pixel size a label shrinks to when it is wider than its key.
constexpr int smallestLabel = 6;

struct Cap {
    RorozErurEvo::KeySpec key;
    QRectF frame;
    double size = 0;       // the size the key's fonts follow (u, or u/2 − 1 for half-height keys)
    bool optional = false; // many boards of this size lack the key
};
// Every key's frame on the board, rows from `topLeft` down, for a drawing whose key unit is `u`.
std::vector<Cap> caps(const RorozErurEvo::KeyboardLayout& layout, Board board, double u, QPointF topLeft = {});
// The widest a drawing of the board grows, in pixels.
int maximumWidth(Board board);
} // namespace KeyboardGeometry

struct KeyboardState {
    std::set<int> tested;
    std::set<int> held;
    std::set<int> chatter;
};

// Draws the board fitted into `rect` (the board's width in units : 6.3, top-left), `primary` being
// the scheme's text colour.
void paintKeyboard(QPainter& painter, const QRectF& rect, const RorozErurEvo::KeyboardLayout& layout,
                   RorozErurEvo::KeyboardBoard board, const KeyboardState& state, const QColor& primary);

class KeyboardDrawing : public QWidget, public AccessibleValue {
    Q_OBJECT
public:
    using Board = RorozErurEvo::KeyboardBoard;

    explicit KeyboardDrawing(QWidget* parent = nullptr);

    void setState(RorozErurEvo::KeyboardLayout::Kind kind, Board board, KeyboardState state);
    const KeyboardState& state() const { return state_; }
    Board board() const { return board_; }
    // "3 of 76 keys tested; held: A".
    QString accessibleValue() const override;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RorozErurEvo::KeyboardLayout::Kind kind_ = RorozErurEvo::KeyboardLayout::Kind::ansi;
    Board board_ = Board::compact;
    KeyboardState state_;
};

} // namespace Tessarine
