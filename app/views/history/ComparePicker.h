#pragma once
// The Compare With picker: a small dialog that finds the partner of a comparison among any number
// of saved sessions. It lists the shown session's possible partners (sessions of the same kind of
// device) under "Same unit", then "Other units", newest first, with the newest of the same unit
// picked; typing in its search field narrows the list to the sessions whose unit, serial, ticket,
// stage or date hold every word typed (CompareSearch). The arrow and page keys move the pick from
// the search field, Return (or a double click) compares with the picked session, Escape closes.
// It opens at once at any history size: the list holds positions in the library's list, and a
// row's texts are made only when it is painted or read.
#include <QAbstractListModel>
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "testkit/SessionSummary.h"
#include "testkit/Uuid.h"

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace Tessarine {

class SessionLibrary;

// The picker's rows: a header per section that has sessions, then its sessions. The roles are
// the history list's (SessionListModel), so that the same delegate paints both.
class ComparePickerModel final : public QAbstractListModel {
    Q_OBJECT

public:
    ComparePickerModel(const SessionLibrary& library, RorozErurEvo::SessionSummary shown, QObject* parent = nullptr);

    // Finds the sessions holding every word of `typed`; blank text lists every partner.
    void setSearch(const QString& typed);
    const QString& search() const { return search_; }
    // Lists the library's sessions afresh (it changed), under the same search.
    void rebuild();

    // The session on `row`; null for a header or a row out of range.
    const RorozErurEvo::SessionSummary* session(int row) const;
    // The row of the session with `id`; -1 when it is not listed.
    int row(const RorozErurEvo::Uuid& id) const;
    // The first row that is a session; -1 when none is listed.
    int firstSession() const;
    // Sessions listed now, and partners there are in all.
    std::size_t found() const { return foundSame_.size() + foundOther_.size(); }
    std::size_t partners() const { return sameUnit_.size() + otherUnits_.size(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        int session;   // position in the library's list; -1 for a header
        bool sameUnit; // in the "Same unit" section
    };
    void search(const QStringList& words, std::vector<int>& found, const std::vector<int>& from) const;
    void layOut();

    const SessionLibrary& library_;
    const RorozErurEvo::SessionSummary shown_;
    std::vector<int> sameUnit_, otherUnits_;   // every partner, in library order
    std::vector<int> foundSame_, foundOther_;  // those the search finds
    QString search_;
    std::vector<Row> rows_;
};

class ComparePicker final : public QDialog {
    Q_OBJECT

public:
    // Pixels: the size it opens at, when its window is large enough.
    static constexpr int preferredWidth = 480;
    static constexpr int preferredHeight = 460;

    // Offers the partners of `shown` from `library`, which must outlive the picker.
    ComparePicker(const SessionLibrary& library, RorozErurEvo::SessionSummary shown, QWidget* parent = nullptr);

    QLineEdit* searchField() const { return search_; }
    QListView* list() const { return list_; }
    ComparePickerModel* model() const { return model_; }
    QLabel* status() const { return status_; }
    QPushButton* compareButton() const { return compare_; }
    // The session picked now; null when none is.
    const RorozErurEvo::SessionSummary* current() const;

    // Compares with the picked session (picked, then closes); nothing when none is picked.
    void accept() override;

signals:
    void picked(const RorozErurEvo::SessionSummary& session);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void searched();
    void libraryChanged();
    // Picks the row of `id` when it is listed, else the first session listed.
    void pick(const RorozErurEvo::Uuid* id);
    void refreshStatus();

    const SessionLibrary& library_;
    ComparePickerModel* model_;
    QLineEdit* search_;
    QListView* list_;
    QLabel* status_;
    QPushButton* compare_;
    std::optional<RorozErurEvo::Uuid> picked_; // the current row's session
};

} // namespace Tessarine
