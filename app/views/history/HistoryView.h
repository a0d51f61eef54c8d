#pragma once
// The saved sessions grouped by unit, newest first, with the detail pane beside them: the
// comparison while the model names two saved sessions to compare, else the picked session, else
// "Pick a session". The History destination lists every unit; a device's History tab lists only
// the unit its session would be saved under now. Until the saved sessions have loaded it says
// "Loading…" instead. The picked session and the comparison live in the model, so they outlast
// the screen. The list holds summaries: the detail pane reads its sessions whole off the main
// thread, saying "Loading…" until they come, and says why when they cannot be read.
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/model/SessionLibrary.h"
#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"

class QStackedLayout;

namespace Tessarine {

class Navigation;
class SessionCommands;
class SessionLibrary;
class EmptyState;
class SessionListModel;
class SessionListView;

class HistoryView final : public QWidget {
    Q_OBJECT

public:
    // Pixels: the list's fixed width and the detail pane's least width.
    static constexpr int listWidth = 300;
    static constexpr int detailMinimum = 420;
    // Milliseconds a session may take to read before the pane says "Loading…" in place of the
    // greyed view it showed.
    static constexpr int loadingDelay = 150;

    HistoryView(SessionLibrary& library, Navigation& navigation, SessionCommands& commands,
                std::optional<std::string> unit = std::nullopt, QWidget* parent = nullptr);

    // Keeps a picked session that is still saved; otherwise picks the newest session listed first,
    // or none. Runs whenever the list comes on screen.
    void syncSelection();

    const std::optional<std::string>& unit() const { return unit_; }
    SessionListView* list() const { return list_; }
    SessionListModel* listModel() const { return rows_; }
    EmptyState* emptyState() const { return empty_; }
    EmptyState* loadingState() const { return loading_; }
    // What the detail pane shows now: a CompareView, a SessionDetail or an EmptyState.
    QWidget* detail() const { return detail_; }
    // True while the sessions the pane is to show are being read.
    bool opening() const { return pending_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void libraryChanged();
    // Shows "Loading…", the list or the empty state, whichever the library calls for now.
    void showPage();
    void showDetail();
    // Whether the pane shows these sessions as they are now, so that a change elsewhere in the
    // library leaves it (and its open confirmation) alone.
    bool showing(const std::vector<const RorozErurEvo::SessionSummary*>& wanted) const;
    // Whether `shown` is the listed session as the library has it now.
    bool current(const RorozErurEvo::TestSession& shown, const RorozErurEvo::SessionSummary& listed) const;
    // Shows what was read for the pane, or why it could not be.
    void opened(SessionLibrary::Opened opened);
    // Puts `next` in the pane in place of what it shows.
    void install(QWidget* next);
    // Puts the model's picked session into the list's selection.
    void selectFromModel();
    void selectFromList();
    // The user chose the session `id` in the list: the pane shows it.
    void pick(const RorozErurEvo::Uuid& id);

    SessionLibrary& library_;
    Navigation& navigation_;
    SessionCommands& commands_;
    const std::optional<std::string> unit_;
    QStackedLayout* pages_;
    EmptyState* empty_;
    EmptyState* loading_;
    EmptyState* unreadable_;
    QWidget* browser_;
    SessionListModel* rows_;
    SessionListView* list_;
    QWidget* pane_;
    QPointer<QWidget> detail_;
    bool updatingList_ = false;
    // The sessions last asked for, while they are read or after they could not be.
    std::vector<RorozErurEvo::Uuid> requested_;
    std::uint64_t request_ = 0; // counts the requests, so that only the last one lands
    bool pending_ = false;
};

} // namespace Tessarine
