#pragma once
// The drawn keyboard of the keyboard tester: every key of the layout in its place (the main block,
// the navigation block and the keypad beside it), teal while held, green once tested, with an
// amber border when it chattered.
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
// Points between keys, across and down.
constexpr double spacing = 4;
// Width of the whole board in key units: the main block's rows, the navigation block and the keypad.
constexpr double boardUnits = RorozErurEvo::KeyboardLayout::boardUnits;
// Points of the drawing's width that are not keys: a spacing for every unit of the board.
constexpr double margin = spacing * boardUnits;
// Height of the drawing in the same units (six rows and their spacing).
constexpr double heightUnits = 6.3;

// The size of one key unit for a drawing `width` wide.
double unit(double width);
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
    double size = 0; // the size the key's fonts follow (u, or u/2 − 1 for half-height keys)
};
// Every key's frame, rows from `topLeft` down, for a drawing whose key unit is `u`.
std::vector<Cap> caps(const RorozErurEvo::KeyboardLayout& layout, double u, QPointF topLeft = {});
} // namespace KeyboardGeometry

struct KeyboardState {
    std::set<int> tested;
    std::set<int> held;
    std::set<int> chatter;
};

// Draws the layout fitted into `rect` (aspect 22.5 : 6.3, top-left), `primary` being the
// scheme's text colour.
void paintKeyboard(QPainter& painter, const QRectF& rect, const RorozErurEvo::KeyboardLayout& layout,
                   const KeyboardState& state, const QColor& primary);

class KeyboardDrawing : public QWidget, public AccessibleValue {
    Q_OBJECT
public:
    // Keys no larger than a letter key of 63.6 points.
    static constexpr int maximumWidth = 1520;

    explicit KeyboardDrawing(QWidget* parent = nullptr);

    void setState(RorozErurEvo::KeyboardLayout::Kind kind, KeyboardState state);
    const KeyboardState& state() const { return state_; }
    // "3 of 77 keys tested; held: A".
    QString accessibleValue() const override;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RorozErurEvo::KeyboardLayout::Kind kind_ = RorozErurEvo::KeyboardLayout::Kind::ansi;
    KeyboardState state_;
};

} // namespace Tessarine
