#include "app/views/kit/AdaptiveGridLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Tessarine {

AdaptiveGridLayout::AdaptiveGridLayout(int minimum, int spacing, QWidget* parent)
    : QLayout(parent), minimum_(std::max(1, minimum)), horizontal_(std::max(0, spacing)),
      vertical_(std::max(0, spacing)) {
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

int AdaptiveGridLayout::columnsFor(int width, int minimum, int spacing) {
    if (minimum + spacing <= 0) return 1;
    return std::max(1, (width + spacing) / (minimum + spacing));
}

double AdaptiveGridLayout::columnWidth(int width, int columns, int spacing) {
    columns = std::max(1, columns);
    return std::max(0.0, double(width - (columns - 1) * spacing) / columns);
}

void AdaptiveGridLayout::setRowSpacing(int spacing) {
    vertical_ = std::max(0, spacing);
    invalidate();
}

void AdaptiveGridLayout::setItemsShareTheWidth(bool share) {
    share_ = share;
    invalidate();
}

void AdaptiveGridLayout::setSpacing(int spacing) {
    horizontal_ = std::max(0, spacing);
    invalidate();
}

void AdaptiveGridLayout::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* AdaptiveGridLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* AdaptiveGridLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) return nullptr;
    QLayoutItem* item = items_.takeAt(index);
    invalidate();
    return item;
}

int AdaptiveGridLayout::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    return arrange(QRect(0, 0, width, 0).marginsRemoved(m), false) + m.top() + m.bottom();
}

QSize AdaptiveGridLayout::sizeHint() const {
    // One column at its minimum width: the layout asks for no more width than that and lets
    // height-for-width decide the rest.
    const QMargins m = contentsMargins();
    const int width = minimum_ + m.left() + m.right();
    return {width, heightForWidth(width)};
}

QSize AdaptiveGridLayout::minimumSize() const {
    // The height depends on the width and is asked for through heightForWidth; here only what no
    // width can go below: the narrowest column and the tallest single item.
    const QMargins m = contentsMargins();
    int width = 0, height = 0;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) {
            width = std::max(width, item->minimumSize().width());
            height = std::max(height, item->minimumSize().height());
        }
    width = std::min(width, minimum_);
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void AdaptiveGridLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect.marginsRemoved(contentsMargins()), true);
}

int AdaptiveGridLayout::arrange(const QRect& rect, bool apply) const {
    QList<QLayoutItem*> shown;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) shown.append(item);

    const int width = rect.width();
    int columnCount = columns(width);
    if (share_ && !shown.isEmpty()) columnCount = std::min(columnCount, int(shown.size()));
    const double column = columnWidth(width, columnCount, horizontal_);
    const int cell = int(std::floor(column));

    int y = rect.y();
    for (qsizetype first = 0; first < shown.size(); first += columnCount) {
        const qsizetype last = std::min<qsizetype>(first + columnCount, shown.size());
        int rowHeight = 0;
        for (qsizetype i = first; i < last; ++i) {
            QLayoutItem* item = shown[i];
            const int h = item->hasHeightForWidth() ? item->heightForWidth(cell) : item->sizeHint().height();
            rowHeight = std::max(rowHeight, h);
        }
        if (apply)
            for (qsizetype i = first; i < last; ++i) {
                // Column edges are rounded from their exact positions so the spare pixels spread out.
                const int x = rect.x() + int(std::lround(double(i - first) * (column + horizontal_)));
                const int right = rect.x() + int(std::lround(double(i - first) * (column + horizontal_) + column));
                // An item that cannot grow to the row's height sits at the row's top.
                const int height = std::min(rowHeight, shown[i]->maximumSize().height());
                shown[i]->setGeometry(QRect(x, y, right - x, height));
            }
        y += rowHeight + vertical_;
    }
    return shown.isEmpty() ? 0 : y - vertical_ - rect.y();
}

} // namespace Tessarine
