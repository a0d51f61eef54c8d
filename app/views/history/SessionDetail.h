#pragma once
// One saved session in the history's detail pane: who and what was tested with the overall
// verdict, every action on it (compare with another session, PDF report, print, listing text,
// export, delete after confirmation), then the device, the results, the notes and the listing
// text. It holds one piece of state of its own: the open delete confirmation.
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <memory>

#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"

class QDialog;
class QPushButton;

namespace Tessarine {

class ComparePicker;
class Navigation;
class SessionCommands;
class SessionLibrary;

class SessionDetail final : public QWidget {
    Q_OBJECT

public:
    SessionDetail(SessionLibrary& library, Navigation& navigation, SessionCommands& commands,
                  RorozErurEvo::TestSession session, QWidget* parent = nullptr);
    // A session of megabytes is copied once, into the view, which shares it with its parts.
    SessionDetail(SessionLibrary& library, Navigation& navigation, SessionCommands& commands,
                  std::shared_ptr<const RorozErurEvo::TestSession> session, QWidget* parent = nullptr);

    const RorozErurEvo::TestSession& session() const { return session_; }

    // Starts a comparison with `other`: the earlier of the two is before.
    void compare(const RorozErurEvo::SessionSummary& other);
    void exportPDF();
    void printReport();
    void copyListing();
    // Opens the whole notes in a reader of their own (shown when the pane shows only their start).
    void showAllNotes();
    QDialog* notesReader() const { return notesReader_; }
    // Asks first; the confirmation's Delete removes the session.
    void askToDelete();
    void remove();

    QPushButton* compareButton() const { return compare_; }
    // Opens the Compare With picker over the library as it is now (or raises the open one);
    // the session picked there is compared with this one.
    void openComparePicker();
    // The open picker; null while none is open.
    ComparePicker* comparePicker() const;
    // The open delete confirmation; null while none is open.
    QMessageBox* confirmation() const { return confirm_; }

private:
    QWidget* head();
    QWidget* sections();
    void libraryChanged();

    SessionLibrary& library_;
    Navigation& navigation_;
    SessionCommands& commands_;
    const std::shared_ptr<const RorozErurEvo::TestSession> shared_;
    const RorozErurEvo::TestSession& session_;
    QPushButton* compare_ = nullptr;
    QPointer<ComparePicker> comparePicker_;
    QPointer<QMessageBox> confirm_;
    QPointer<QDialog> notesReader_;
};

} // namespace Tessarine
