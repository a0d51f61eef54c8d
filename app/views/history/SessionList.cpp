#include "app/views/history/SessionList.h"

#include <QPainter>

#include "app/model/SessionLibrary.h"
#include "app/paint/Symbols.h"
#include "app/paint/Theme.h"
#include "app/views/history/HistoryTexts.h"
#include "testkit/DisplayText.h"

namespace Tessarine {

using RorozErurEvo::SessionSummary;

SessionListModel::SessionListModel(const SessionLibrary& library, std::optional<std::string> unit, QObject* parent)
    : QAbstractListModel(parent), library_(library), unit_(std::move(unit)) {
    rebuild();
}

void SessionListModel::rebuild() {
    beginResetModel();
    units_.clear();
    rows_.clear();
    for (auto& group : SessionSummary::byUnitIndex(library_.sessions())) {
        if (unit_ && group.unit != *unit_) continue;
        const int g = static_cast<int>(units_.size());
        units_.push_back(std::move(group.unit));
        rows_.push_back({g, -1});
        for (std::size_t i : group.sessions) rows_.push_back({g, static_cast<int>(i)});
    }
    endResetModel();
}

int SessionListModel::row(const RorozErurEvo::Uuid& id) const {
    const auto& sessions = library_.sessions();
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const int s = rows_[r].session;
        if (s >= 0 && static_cast<std::size_t>(s) < sessions.size() && sessions[s].id == id) return static_cast<int>(r);
    }
    return -1;
}

const SessionSummary* SessionListModel::session(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
    const int s = rows_[row].session;
    const auto& sessions = library_.sessions();
    if (s < 0 || static_cast<std::size_t>(s) >= sessions.size()) return nullptr;
    return &sessions[s];
}

const SessionSummary* SessionListModel::first() const { return rows_.size() > 1 ? session(1) : nullptr; }

int SessionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant SessionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
    const Row& row = rows_[index.row()];
    if (row.session < 0) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return QString::fromStdString(RorozErurEvo::DisplayText::field(units_[row.group]));
        case HeaderRole: return true;
        default: return {};
        }
    }
    const SessionSummary* s = session(index.row());
    if (!s) return {};
    switch (role) {
    case Qt::DisplayRole: return HistoryTexts::rowTitle(*s);
    case CaptionRole: return HistoryTexts::rowCaption(*s);
    case Qt::AccessibleTextRole: return HistoryTexts::rowSpoken(*s);
    case VerdictRole: return static_cast<int>(s->verdict());
    case HeaderRole: return false;
    default: return {};
    }
}

Qt::ItemFlags SessionListModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return Qt::NoItemFlags;
    // A header is neither picked by a click nor stopped at by the arrow keys.
    if (rows_[index.row()].session < 0) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void SessionRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect area = option.rect.adjusted(horizontalPadding, 0, -horizontalPadding, 0);
    const QPalette& palette = option.palette;
    if (index.data(SessionListModel::HeaderRole).toBool()) {
        QFont font = Fonts::caption();
        font.setWeight(QFont::DemiBold);
        painter->setFont(font);
        painter->setPen(palette.color(QPalette::PlaceholderText));
        // Set on the row's lower edge, so the gap above parts it from the group before.
        const QRect text = area.adjusted(0, 0, 0, -5);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignBottom,
                          QFontMetrics(font).elidedText(index.data().toString(), Qt::ElideRight, text.width()));
        painter->restore();
        return;
    }
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) painter->fillRect(option.rect, palette.color(QPalette::Highlight));
    const QColor ink = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor soft = selected ? ink : palette.color(QPalette::PlaceholderText);

    const auto verdict = static_cast<RorozErurEvo::Verdict>(index.data(SessionListModel::VerdictRole).toInt());
    const QRectF symbol(area.right() - symbolSide, area.center().y() - symbolSide / 2.0, symbolSide, symbolSide);
    if (selected) {
        // The verdict's colours are chosen against the page, not the highlight: on a selected row
        // a green mark would sink into a teal highlight, so it sits on a disc of the page's colour.
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette.color(QPalette::Base));
        painter->drawEllipse(symbol.adjusted(-2, -2, 2, 2));
    }
    Symbols::paint(*painter, symbol, VerdictStyle::symbol(verdict), VerdictStyle::color(verdict));

    const int textWidth = area.width() - symbolSide - 8;
    const QFont titleFont = Fonts::body();
    const QFont captionFont = Fonts::caption();
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics captionMetrics(captionFont);
    // The two lines, 2 pixels apart, centred in the row.
    const int height = titleMetrics.height() + 2 + captionMetrics.height();
    const int top = option.rect.top() + (option.rect.height() - height) / 2;
    painter->setFont(titleFont);
    painter->setPen(ink);
    painter->drawText(QRect(area.left(), top, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(index.data().toString(), Qt::ElideRight, textWidth));
    painter->setFont(captionFont);
    painter->setPen(soft);
    painter->drawText(QRect(area.left(), top + titleMetrics.height() + 2, textWidth, captionMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      captionMetrics.elidedText(index.data(SessionListModel::CaptionRole).toString(), Qt::ElideRight,
                                                textWidth));
    painter->restore();
}

QSize SessionRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const int lines = QFontMetrics(Fonts::body()).height() + 2 + QFontMetrics(Fonts::caption()).height();
    return {0, std::max(rowHeight, lines + 10)};
}

SessionListView::SessionListView(QWidget* parent) : QListView(parent) {
    setObjectName(QStringLiteral("history-list"));
    setAccessibleName(QStringLiteral("Saved sessions"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new SessionRowDelegate(this));
}

QModelIndex SessionListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveHome || !model()) return QListView::moveCursor(action, modifiers);
    // A header is followed by its sessions, so the first pickable row is at most the second.
    const int rows = model()->rowCount(rootIndex());
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        if (index.flags() & Qt::ItemIsSelectable) return index;
    }
    return {};
}

} // namespace Tessarine
