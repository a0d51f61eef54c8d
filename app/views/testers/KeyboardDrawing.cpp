#include "app/views/testers/KeyboardDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "app/paint/Symbols.h"
#include "app/views/testers/TesterTexts.h"
#include "app/paint/Theme.h"

namespace Tessarine {

using RorozErurEvo::KeyboardBoard;
using RorozErurEvo::KeyboardLayout;
using RorozErurEvo::KeySlot;
using RorozErurEvo::KeySpec;

namespace KeyboardGeometry {

double unit(double width, Board board) {
    const double units = KeyboardLayout::units(board);
    return (width - spacing * units) / units;
}

int maximumWidth(Board board) {
    return int(std::ceil(KeyboardLayout::units(board) * (largestUnit + spacing)));
}
double labelSize(double size) { return std::max(std::min(0.28 * size, 13.0), 8.0); }
double markSize(double size) { return std::max(0.2 * size, 7.0); }
double labelPadding(double size) { return std::clamp(0.1 * size, 2.0, 4.0); }

namespace {
// A slot w units wide spans w keys and the w − 1 spaces between them; never less than nothing.
double span(double units, double u) { return std::max(0.0, units * u + (units - 1) * spacing); }
} // namespace

std::vector<Cap> caps(const KeyboardLayout& layout, Board board, double u, QPointF topLeft) {
    std::vector<Cap> result;
    const double half = std::max(0.0, u / 2 - 1);
    double y = topLeft.y();
    for (const auto& row : layout.rows) {
        double x = topLeft.x();
        for (const KeySlot& slot : row) {
            if (const auto* key = std::get_if<KeySpec>(&slot.content)) {
                result.push_back({*key, QRectF(x, y, span(key->width, u), std::max(0.0, u)), u});
                x += span(key->width, u);
            } else if (const auto* stack = std::get_if<KeySlot::Stack>(&slot.content)) {
                const double width = std::max(0.0, u);
                result.push_back({stack->upper, QRectF(x, y, width, half), half});
                result.push_back({stack->lower, QRectF(x, y + half + 2, width, half), half});
                x += width;
            } else {
                x += span(std::get<KeySlot::Gap>(slot.content).width, u);
            }
            x += spacing;
        }
        y += std::max(0.0, u) + spacing;
    }
    // The side blocks sit on the same grid: a unit and a spacing per column and row.
    const double pitch = std::max(0.0, u) + spacing;
    for (const auto& placed : layout.sideKeys(board))
        result.push_back({placed.key,
                          QRectF(topLeft.x() + placed.column * pitch, topLeft.y() + placed.row * pitch,
                                 span(placed.key.width, u), span(placed.height, u)),
                          u});
    for (Cap& cap : result) cap.optional = KeyboardLayout::optional(board, cap.key.code);
    return result;
}

} // namespace KeyboardGeometry

namespace {

void paintCap(QPainter& painter, const KeyboardGeometry::Cap& cap, const KeyboardState& state, const QColor& primary) {
    const int code = cap.key.code;
    const bool held = state.held.count(code) > 0;
    const bool tested = state.tested.count(code) > 0;
    const bool chatter = state.chatter.count(code) > 0;
    const QRectF frame = cap.frame;
    if (frame.width() <= 0 || frame.height() <= 0) return;

    // A key the board may lack is an outline only, until it is pressed.
    const bool maybeAbsent = cap.optional && !tested && !held;
    QPainterPath shape;
    shape.addRoundedRect(frame, 5, 5);
    QColor fill = held ? Color::pressedFill()
                       : tested ? Color::withOpacity(Color::passGreen(), 0.22) : Color::withOpacity(primary, 0.06);
    if (!maybeAbsent) painter.fillPath(shape, fill);

    // The border lies inside the key's shape.
    const double border = chatter ? 2 : 1;
    QPainterPath inner;
    inner.addRoundedRect(frame.adjusted(border / 2, border / 2, -border / 2, -border / 2), 5 - border / 2,
                         5 - border / 2);
    QPen pen(chatter ? Color::warnAmber() : Color::withOpacity(primary, maybeAbsent ? 0.45 : 0.18), border);
    if (maybeAbsent) pen.setDashPattern({3, 3});
    painter.strokePath(inner, pen);

    if (!cap.key.label.empty()) {
        QFont font = painter.font();
        font.setWeight(QFont::Medium);
        const QString label = QString::fromStdString(cap.key.label);
        const double pad = KeyboardGeometry::labelPadding(cap.size);
        const QRectF inside = frame.adjusted(pad, pad, -pad, -pad);
        // A label wider than its key ("Backspace" on a small board) shrinks until it fits.
        int pixels = std::max(1, int(std::lround(KeyboardGeometry::labelSize(cap.size))));
        for (;;) {
            font.setPixelSize(pixels);
            if (pixels <= KeyboardGeometry::smallestLabel || QFontMetricsF(font).horizontalAdvance(label) <= inside.width())
                break;
            --pixels;
        }
        painter.setFont(font);
        painter.setPen(held ? QColor(Qt::white) : primary);
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignTop, label);
    }
    if (tested && !held) {
        const double mark = KeyboardGeometry::markSize(cap.size);
        QRectF corner(frame.right() - 3 - mark, frame.bottom() - 3 - mark, mark, mark);
        if (chatter)
            Symbols::paint(painter, corner, QStringLiteral("exclamationmark.triangle.fill"), Color::warnAmber());
        else
            Symbols::paint(painter, corner, QStringLiteral("checkmark"), Color::passGreen());
    }
}

} // namespace

void paintKeyboard(QPainter& painter, const QRectF& rect, const KeyboardLayout& layout, KeyboardBoard board,
                   const KeyboardState& state, const QColor& primary) {
    // Fit the board's width : 6.3 drawing into the rectangle.
    const double ratio = KeyboardLayout::units(board) / KeyboardGeometry::heightUnits;
    const double width = std::min(rect.width(), rect.height() * ratio);
    const double u = KeyboardGeometry::unit(width, board);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const auto& cap : KeyboardGeometry::caps(layout, board, u, rect.topLeft()))
        paintCap(painter, cap, state, primary);
    painter.restore();
}

KeyboardDrawing::KeyboardDrawing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("keyboard-drawing"));
    setAccessibleName(QStringLiteral("Keyboard"));
    setMaximumWidth(KeyboardGeometry::maximumWidth(board_));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void KeyboardDrawing::setState(KeyboardLayout::Kind kind, Board board, KeyboardState state) {
    if (kind == kind_ && board == board_ && state.tested == state_.tested && state.held == state_.held &&
        state.chatter == state_.chatter)
        return;
    kind_ = kind;
    if (board != board_) {
        // Another board is another shape: narrower or wider for the same height.
        board_ = board;
        setMaximumWidth(KeyboardGeometry::maximumWidth(board_));
        updateGeometry();
    }
    state_ = std::move(state);
    valueMayHaveChanged(this);
    update();
}

QString KeyboardDrawing::accessibleValue() const {
    const auto& layout = KeyboardLayout::layout(kind_);
    return KeyboardTexts::drawingValue(layout, KeyboardTexts::count(layout, board_, state_.tested), state_.held);
}

int KeyboardDrawing::heightForWidth(int width) const {
    return int(std::ceil(width * KeyboardGeometry::heightUnits / KeyboardLayout::units(board_)));
}

QSize KeyboardDrawing::sizeHint() const { return {1180, heightForWidth(1180)}; }

void KeyboardDrawing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintKeyboard(painter, QRectF(rect()), KeyboardLayout::layout(kind_), board_, state_,
                  palette().color(QPalette::WindowText));
}

} // namespace Tessarine
