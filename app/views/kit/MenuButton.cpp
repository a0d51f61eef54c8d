#include "app/views/kit/MenuButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace Tessarine {

namespace {
constexpr int gap = 4;           // pixels between the text and the chevron
constexpr int trailing = 4;      // pixels between the chevron and the button's edge
constexpr double stroke = 1.3;   // pixels: the chevron's line, about a letter's
} // namespace

MenuButton::MenuButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
}

int MenuButton::chevronRoom() const { return gap + fontMetrics().xHeight() + trailing; }

QSize MenuButton::sizeHint() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The size of the button without the style's menu mark, and room for the chevron.
    option.features &= ~QStyleOptionToolButton::HasMenu;
    const QSize label = option.fontMetrics.size(Qt::TextShowMnemonic, option.text);
    QSize size = style()->sizeFromContents(QStyle::CT_ToolButton, &option, label, this);
    size.rwidth() += chevronRoom();
    return size;
}

QRectF MenuButton::chevron() const {
    const double side = fontMetrics().xHeight();
    const double right = width() - trailing;
    // Half as tall as wide: a down arrow, not a triangle.
    return {right - side, (height() - side / 2) / 2, side, side / 2};
}

void MenuButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.features &= ~QStyleOptionToolButton::HasMenu;
    // The panel over the whole button (raised while hovered or open), the text in what the
    // chevron leaves.
    QStyleOptionToolButton panel = option;
    panel.text.clear();
    panel.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, panel);
    option.rect.setRight(option.rect.right() - chevronRoom());
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);

    const QRectF mark = chevron();
    QPainterPath path;
    path.moveTo(mark.left(), mark.top());
    path.lineTo(mark.center().x(), mark.bottom());
    path.lineTo(mark.right(), mark.top());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()), stroke,
                        Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

} // namespace Tessarine
