#pragma once
// The left column of the main window: everything the user can open in the detail area. The
// list's selection and the model's `selection` follow each other both ways.
#include <QListView>

namespace Tessarine {

class AppModel;
class SidebarModel;

class Sidebar : public QListView {
    Q_OBJECT

public:
    explicit Sidebar(AppModel& model, QWidget* parent = nullptr);

    SidebarModel& rows() const { return *rows_; }

protected:
    // Arrow keys step over headers, captions and skipped rows.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    // A new width wraps the captions differently: the rows are measured again.
    void resizeEvent(QResizeEvent* event) override;

private:
    void showSelection();

    AppModel& model_;
    SidebarModel* rows_;
    // Set while the list's selection is being made to match the model (and while the list is
    // set up, which clears its selection), so that only the user's choices reach the model.
    bool syncing_ = true;
};

} // namespace Tessarine
