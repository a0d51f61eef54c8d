#pragma once
// The left column of the main window: everything the user can open in the detail area. The
// list's selection and the navigation's `selection` follow each other both ways.
#include <QListView>

namespace Tessarine {

class Navigation;
class SidebarModel;

class Sidebar : public QListView {
    Q_OBJECT

public:
    // The sidebar takes the rows it shows as its child.
    Sidebar(Navigation& navigation, SidebarModel* rows, QWidget* parent = nullptr);

    SidebarModel& rows() const { return *rows_; }

protected:
    // Keys move from the picked row, wherever a click or a drag left the current one. Arrow keys
    // step over headers, captions and skipped rows; Home and End go to the first and the last
    // row that can be picked.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // The selection changes only to another row that can be picked: a click or a drag on a
    // header, a caption, a skipped row or the empty space keeps it, and nothing deselects it.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    // A new width wraps the captions differently: the rows are measured again.
    void resizeEvent(QResizeEvent* event) override;

private:
    void showSelection();

    Navigation& navigation_;
    SidebarModel* rows_;
    // Set while the list's selection is being made to match the model (and while the list is
    // set up, which clears its selection), so that only the user's choices reach the model.
    bool syncing_ = true;
};

} // namespace Tessarine
