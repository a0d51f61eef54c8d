#pragma once
// A grid whose column count follows its width: as many columns of at least `minimum` pixels as
// fit, the spare width shared out, items placed row by row in insertion order. Each row is as tall
// as its tallest item at the column width, so cards of a row line up.
#include <QLayout>
#include <QList>

namespace Tessarine {

class AdaptiveGridLayout : public QLayout {
    Q_OBJECT

public:
    explicit AdaptiveGridLayout(int minimum, int spacing, QWidget* parent = nullptr);
    ~AdaptiveGridLayout() override;

    // Columns that fit in `width`: max(1, ⌊(width + spacing) / (minimum + spacing)⌋).
    static int columnsFor(int width, int minimum, int spacing);
    int columns(int width) const { return columnsFor(width, minimum_, horizontal_); }
    // Width of one column when `width` holds `columns` columns.
    static double columnWidth(int width, int columns, int spacing);

    int minimumColumnWidth() const { return minimum_; }
    // Fewer items than the columns that fit share the whole width, as a row of them would; by
    // default they keep the column width and leave the rest of the row empty.
    void setItemsShareTheWidth(bool share);
    // Space between rows, when it differs from the space between columns.
    void setRowSpacing(int spacing);
    int rowSpacing() const { return vertical_; }

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(items_.size()); }
    void setSpacing(int spacing) override;
    int spacing() const override { return horizontal_; }

    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in `rect`; places them only when `apply`. Returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> items_;
    int minimum_;
    int horizontal_;
    int vertical_;
    bool share_ = false;
};

} // namespace Tessarine
