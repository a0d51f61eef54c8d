#include "app/views/shell/Sidebar.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>

#include "app/model/Navigation.h"
#include "app/views/shell/SidebarModel.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"

namespace Tessarine {

namespace {

using RowType = SidebarModel::RowType;

// Pixel measures of the rows.
constexpr int sideInset = 10;   // row content from the list's edges
constexpr int iconSide = 18;    // kind and destination symbols
constexpr int markSide = 15;    // status marks
constexpr int gap = 8;          // between a row's symbol, text and mark
constexpr int vertical = 5;     // above and below a row's text
constexpr double highlightRadius = 6;

QColor secondary(const QPalette& palette) { return palette.color(QPalette::PlaceholderText); }

class SidebarDelegate final : public QStyledItemDelegate {
public:
    explicit SidebarDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const int width = std::max(view_->viewport()->width(), 100);
        const QFontMetrics body(Fonts::body()), caption(Fonts::caption());
        switch (RowType(index.data(SidebarModel::TypeRole).toInt())) {
        case RowType::header: return {width, QFontMetrics(headerFont()).height() + 14};
        case RowType::device: return {width, body.height() + 1 + caption.height() + 2 * vertical};
        case RowType::destination: return {width, std::max(body.height(), iconSide) + 2 * vertical};
        case RowType::caption:
        case RowType::skipped: {
            const QRect bounds = caption.boundingRect(QRect(0, 0, textWidth(index, width), 10000), Qt::TextWordWrap,
                                                      index.data(Qt::DisplayRole).toString());
            return {width, bounds.height() + 2 * vertical};
        }
        }
        return {width, body.height()};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QPalette& palette = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) {
            QPainterPath path;
            path.addRoundedRect(QRectF(option.rect).adjusted(4, 1, -4, -1), highlightRadius, highlightRadius);
            painter->fillPath(path, palette.color(QPalette::Highlight));
        }
        const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const Row row{*painter,
                      index,
                      option.rect,
                      palette,
                      selected,
                      text,
                      selected ? text : secondary(palette),
                      index.data(Qt::DisplayRole).toString(),
                      index.data(SidebarModel::SymbolRole).toString(),
                      option.rect.left() + sideInset};
        switch (RowType(index.data(SidebarModel::TypeRole).toInt())) {
        case RowType::header: paintHeader(row); break;
        case RowType::device: paintDevice(row); break;
        case RowType::destination: paintDestination(row); break;
        case RowType::caption:
        case RowType::skipped: paintCaption(row); break;
        }
        painter->restore();
    }

private:
    // What the painting of one row goes by.
    struct Row {
        QPainter& painter;
        const QModelIndex& index;
        QRect r;
        const QPalette& palette;
        bool selected;
        QColor text, muted;
        QString title, symbol;
        int left; // the content's left edge
    };

    static void paintHeader(const Row& row) {
        row.painter.setFont(headerFont());
        row.painter.setPen(secondary(row.palette));
        row.painter.drawText(row.r.adjusted(sideInset - 2, 0, -sideInset, -3), Qt::AlignLeft | Qt::AlignBottom, row.title);
    }

    // A device's or destination's symbol at the row's left, in the accent unless selected.
    static void paintKind(const Row& row) {
        const QColor tint = row.selected ? row.text : Color::accentTeal();
        Symbols::paint(row.painter, QRectF(row.left, row.r.center().y() - iconSide / 2.0, iconSide, iconSide), row.symbol,
                       tint);
    }

    static void paintDevice(const Row& row) {
        QPainter& painter = row.painter;
        const QRect& r = row.r;
        paintKind(row);
        const QString mark = row.index.data(SidebarModel::StatusSymbolRole).toString();
        int right = r.right() - sideInset;
        if (!mark.isEmpty()) {
            const QColor color = row.index.data(SidebarModel::StatusColorRole).value<QColor>();
            Symbols::paint(painter, QRectF(right - markSide, r.center().y() - markSide / 2.0, markSide, markSide), mark,
                           color);
            right -= markSide + gap;
        }
        const int textLeft = row.left + iconSide + gap;
        const int textWidth = std::max(0, right - textLeft);
        const QFontMetrics body(Fonts::body()), caption(Fonts::caption());
        const QString subtitle = row.index.data(SidebarModel::SubtitleRole).toString();
        // Without a subtitle the name sits in the middle of the row.
        const int lines = subtitle.isEmpty() ? body.height() : body.height() + 1 + caption.height();
        const int top = r.top() + (r.height() - lines) / 2;
        painter.setFont(Fonts::body());
        painter.setPen(row.text);
        painter.drawText(QRect(textLeft, top, textWidth, body.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         body.elidedText(row.title, Qt::ElideRight, textWidth));
        if (subtitle.isEmpty()) return;
        painter.setFont(Fonts::caption());
        painter.setPen(row.muted);
        painter.drawText(QRect(textLeft, top + body.height() + 1, textWidth, caption.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, caption.elidedText(subtitle, Qt::ElideRight, textWidth));
    }

    static void paintDestination(const Row& row) {
        paintKind(row);
        row.painter.setFont(Fonts::body());
        row.painter.setPen(row.text);
        row.painter.drawText(row.r.adjusted(sideInset + iconSide + gap, 0, -sideInset, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             row.title);
    }

    // A caption, or a device left aside with its symbol before the text.
    static void paintCaption(const Row& row) {
        const QRect& r = row.r;
        int textLeft = row.left;
        if (!row.symbol.isEmpty()) {
            const int side = QFontMetrics(Fonts::caption()).height() - 2;
            Symbols::paint(row.painter, QRectF(row.left + 1, r.top() + vertical + 1, side, side), row.symbol, row.muted);
            textLeft += side + gap - 2;
        }
        row.painter.setFont(Fonts::caption());
        row.painter.setPen(row.muted);
        row.painter.drawText(QRect(textLeft, r.top() + vertical, r.right() - sideInset - textLeft, r.height()),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, row.title);
    }

    static QFont headerFont() {
        QFont font = Fonts::caption();
        font.setWeight(QFont::DemiBold);
        return font;
    }
    static int textWidth(const QModelIndex& index, int width) {
        const bool withSymbol = !index.data(SidebarModel::SymbolRole).toString().isEmpty();
        const int symbol = withSymbol ? QFontMetrics(Fonts::caption()).height() - 2 + gap - 2 : 0;
        return std::max(40, width - 2 * sideInset - symbol);
    }

    QListView* view_;
};

} // namespace

Sidebar::Sidebar(Navigation& navigation, SidebarModel* rows, QWidget* parent)
    : QListView(parent), navigation_(navigation), rows_(rows) {
    rows_->setParent(this);
    setObjectName(QStringLiteral("sidebar"));
    setAccessibleName(QStringLiteral("Sidebar"));
    setModel(rows_);
    setItemDelegate(new SidebarDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setResizeMode(QListView::Adjust); // rows wrap their captions again when the column is resized
    setUniformItemSizes(false);
    setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The list has no field of its own: it is drawn on a shade of the window's colour, which
    // sets the column apart from the detail beside it.
    QPalette clear = palette();
    clear.setColor(QPalette::Base, clear.color(QPalette::Window).darker(104));
    setPalette(clear);

    // While the rows are rebuilt the list loses its selection; that is not the user's choice.
    connect(rows_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { syncing_ = true; });
    connect(rows_, &SidebarModel::rebuilt, this, &Sidebar::showSelection);
    connect(&navigation_, &Navigation::selectionChanged, this, &Sidebar::showSelection);
    showSelection();
}

void Sidebar::showSelection() {
    syncing_ = true;
    const auto& selection = navigation_.selection();
    const QModelIndex index = selection ? rows_->indexOf(*selection) : QModelIndex();
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void Sidebar::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    if (syncing_) return;
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    std::optional<SidebarItem> item;
    if (!chosen.isEmpty()) item = rows_->item(chosen.first());
    navigation_.setSelection(item);
}

void Sidebar::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) scheduleDelayedItemsLayout();
}

QModelIndex Sidebar::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndexList picked = selectionModel()->selectedIndexes();
    if (!picked.isEmpty() && picked.first() != currentIndex())
        selectionModel()->setCurrentIndex(picked.first(), QItemSelectionModel::NoUpdate);
    const QModelIndex start = currentIndex();
    QModelIndex next = QListView::moveCursor(action, modifiers);
    // Home lands on the first row, a header, so it looks downwards for a row to pick; End lands on
    // the last and looks upwards.
    const bool down = action == MoveDown || action == MoveNext || action == MovePageDown || action == MoveHome;
    while (next.isValid() && !rows_->item(next)) {
        const int step = down ? 1 : -1;
        const int row = next.row() + step;
        if (row < 0 || row >= rows_->rowCount()) return start;
        next = rows_->index(row);
    }
    return next;
}

QItemSelectionModel::SelectionFlags Sidebar::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    const auto command = QListView::selectionCommand(index, event);
    if (!rows_->item(index) || command.testFlag(QItemSelectionModel::Deselect) ||
        command.testFlag(QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

} // namespace Tessarine
