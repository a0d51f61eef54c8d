#include "app/views/kit/FlowChips.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "app/paint/ComponentText.h"
#include "app/paint/Scheme.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/kit/AdaptiveGridLayout.h"

namespace Tessarine {

namespace {
constexpr int cellMinimum = 84;   // pixels: the narrowest column
constexpr int cellSpacing = 4;    // pixels between columns and rows
constexpr double iconToName = 3;  // pixels
} // namespace

FlowChips::FlowChips(QWidget* parent) : QWidget(parent), grid_(new AdaptiveGridLayout(cellMinimum, cellSpacing, this)) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FlowChips::setItems(const std::vector<std::pair<QString, bool>>& items) {
    bool sameNames = items.size() == chips_.size();
    for (size_t i = 0; sameNames && i < items.size(); ++i) sameNames = chips_[i]->name() == items[i].first;
    if (sameNames) {
        for (size_t i = 0; i < items.size(); ++i) chips_[i]->setRegistered(items[i].second);
        return;
    }
    for (FlowChip* chip : chips_) delete chip;
    chips_.clear();
    for (const auto& [name, registered] : items) {
        auto* chip = new FlowChip(name, registered, this);
        grid_->addWidget(chip);
        chips_.push_back(chip);
    }
    updateGeometry();
}

FlowChip::FlowChip(const QString& name, bool registered, QWidget* parent)
    : QWidget(parent), name_(name), registered_(registered) {
    setFont(Fonts::caption());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(ComponentText::flowChipLabel(name_, registered_));
}

void FlowChip::setRegistered(bool registered) {
    if (registered == registered_) return;
    registered_ = registered;
    setAccessibleName(ComponentText::flowChipLabel(name_, registered_));
    update();
}

QSize FlowChip::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.ascent() + iconToName + metrics.horizontalAdvance(name_))),
            int(std::ceil(metrics.height()))};
}

QSize FlowChip::minimumSizeHint() const { return {cellMinimum, sizeHint().height()}; }

void FlowChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Scheme scheme = Scheme::fromPalette(palette());
    const QColor color = registered_ ? Color::passGreen() : scheme.secondary;
    const QFontMetricsF metrics(font());
    const double side = metrics.ascent();
    const double middle = height() / 2.0;
    Symbols::paint(painter, QRectF(0, middle - side / 2, side, side),
                   registered_ ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"), color);
    const double left = side + iconToName;
    painter.setPen(color);
    // One line: a long name is cut with an ellipsis.
    painter.drawText(QRectF(left, 0, width() - left, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(name_, Qt::ElideRight, width() - left));
}

} // namespace Tessarine
