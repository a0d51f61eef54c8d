#pragma once
// The history's list of saved sessions grouped by unit: one header row per unit, then one row per
// session of that unit, newest first (see SessionSummary::byUnitIndex). The groups are worked out
// once per change of the library; a row's texts are made when it is painted, so a library of
// thousands opens at once.
#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <optional>
#include <string>
#include <vector>

#include "testkit/SessionSummary.h"
#include "testkit/Uuid.h"

namespace Tessarine {

class SessionLibrary;

class SessionListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        HeaderRole = Qt::UserRole + 1, // bool: the row is a unit's header
        CaptionRole,                   // "<date> · <device>"
        VerdictRole,                   // int: the session's Verdict
    };

    // `unit` absent lists every unit; a key lists only the group with exactly that key.
    SessionListModel(const SessionLibrary& library, std::optional<std::string> unit, QObject* parent = nullptr);

    // Groups the library's sessions again; the library calls for it on every change.
    void rebuild();

    int groupCount() const { return static_cast<int>(units_.size()); }
    // The row of the session with `id`; -1 when it is not listed.
    int row(const RorozErurEvo::Uuid& id) const;
    // The session on `row`; null for a header or a row out of range.
    const RorozErurEvo::SessionSummary* session(int row) const;
    // The newest session of the first group; null when nothing is listed.
    const RorozErurEvo::SessionSummary* first() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        int group;   // position in units_
        int session; // position in the library's list; -1 for the group's header
    };

    const SessionLibrary& library_;
    const std::optional<std::string> unit_;
    std::vector<std::string> units_;
    std::vector<Row> rows_;
};

// Paints a header as the unit's name in small secondary type, and a session row as its title over
// its caption with the verdict's symbol at the right.
class SessionRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Every row is as tall, so the list lays out thousands of rows without measuring them.
    static constexpr int rowHeight = 42;         // pixels
    static constexpr int symbolSide = 16;        // pixels
    static constexpr int horizontalPadding = 12; // pixels

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The list itself: single selection, rows of one height, headers that cannot be picked.
class SessionListView final : public QListView {
    Q_OBJECT

public:
    explicit SessionListView(QWidget* parent = nullptr);

protected:
    // Home goes to the first session: the list's first row is always a unit's header, which
    // cannot be picked, and the list's own Home would stop at it and so go nowhere.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

} // namespace Tessarine
