#include "app/views/history/HistoryView.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "app/model/Navigation.h"
#include "app/model/SessionCommands.h"
#include "app/model/SessionLibrary.h"
#include "app/views/history/CompareView.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/EmptyState.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/SessionDetail.h"
#include "app/views/history/SessionList.h"
#include "app/views/history/SkippedFilesNote.h"

namespace Tessarine {

using RorozErurEvo::SessionSummary;
using RorozErurEvo::TestSession;

HistoryView::HistoryView(SessionLibrary& library, Navigation& navigation, SessionCommands& commands, std::optional<std::string> unit, QWidget* parent)
    : QWidget(parent), library_(library), navigation_(navigation), commands_(commands), unit_(std::move(unit)) {
    setObjectName(unit_ ? QStringLiteral("device-history") : QStringLiteral("history-view"));
    setAccessibleName(QStringLiteral("History"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // Files the folder held but could not be read concern every unit: only the whole history says so.
    if (!unit_) column->addWidget(new SkippedFilesNote(library_));
    pages_ = new QStackedLayout;
    column->addLayout(pages_, 1);
    empty_ = new EmptyState(HistoryTexts::emptyTitle(unit_), QStringLiteral("tray"), HistoryTexts::emptyDescription());
    empty_->setObjectName(QStringLiteral("history-empty"));
    pages_->addWidget(empty_);
    loading_ = EmptyState::named(QStringLiteral("history-loading"), HistoryTexts::loadingTitle(),
                                 QStringLiteral("circle.dashed"), QString());
    pages_->addWidget(loading_);
    // A folder that could not be listed may hold sessions: the history must not read as empty.
    unreadable_ = EmptyState::named(QStringLiteral("history-unreadable"), HistoryTexts::unreadableTitle(),
                                    QStringLiteral("exclamationmark.triangle.fill"), QString());
    pages_->addWidget(unreadable_);

    browser_ = new QWidget;
    auto* row = new QHBoxLayout(browser_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    rows_ = new SessionListModel(library_, unit_, this);
    list_ = new SessionListView;
    list_->setModel(rows_);
    list_->setFixedWidth(listWidth);
    row->addWidget(list_);
    row->addWidget(new Divider(Qt::Vertical));
    pane_ = new QWidget;
    pane_->setObjectName(QStringLiteral("history-detail"));
    pane_->setMinimumWidth(detailMinimum);
    auto* paneLayout = new QVBoxLayout(pane_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    row->addWidget(pane_, 1);
    pages_->addWidget(browser_);

    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &HistoryView::selectFromList);
    // The row already highlighted, clicked while a comparison shows, is chosen too.
    connect(list_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (const SessionSummary* session = rows_->session(index.row())) pick(session->id);
    });
    connect(&library_, &SessionLibrary::sessionsChanged, this, &HistoryView::libraryChanged);
    connect(&library_, &SessionLibrary::loadingChanged, this, &HistoryView::showPage);
    connect(&library_, &SessionLibrary::skippedChanged, this, &HistoryView::showPage);
    connect(&navigation_, &Navigation::selectedSessionChanged, this, [this] {
        selectFromModel();
        showDetail();
    });
    connect(&navigation_, &Navigation::compareBeforeChanged, this, &HistoryView::showDetail);
    connect(&navigation_, &Navigation::compareAfterChanged, this, &HistoryView::showDetail);
    libraryChanged();
}

void HistoryView::libraryChanged() {
    updatingList_ = true;
    rows_->rebuild();
    updatingList_ = false;
    showPage();
}

void HistoryView::showPage() {
    const bool wasListing = pages_->currentWidget() == browser_;
    // Sessions saved while the folder is read are listed, but the list lacks the rest until then.
    const bool loading = library_.loading();
    const bool listing = !loading && rows_->groupCount() > 0;
    const auto& skipped = library_.skipped();
    const auto folder = std::find_if(skipped.begin(), skipped.end(), [](const auto& s) { return s.folder; });
    const bool unreadable = !loading && !listing && folder != skipped.end();
    if (unreadable) unreadable_->setDescription(HistoryTexts::unreadableDescription(*folder));
    pages_->setCurrentWidget(loading ? loading_ : listing ? browser_ : unreadable ? unreadable_ : empty_);
    // The list coming on screen again after the last session had gone repairs the selection.
    if (listing && !wasListing && isVisible()) syncSelection();
    selectFromModel();
    showDetail();
}

void HistoryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (pages_->currentWidget() == browser_) syncSelection();
}

void HistoryView::syncSelection() {
    if (library_.session(navigation_.selectedSession())) return;
    const SessionSummary* first = rows_->first();
    navigation_.setSelectedSession(first ? std::optional(first->id) : std::nullopt);
}

void HistoryView::selectFromModel() {
    const auto& id = navigation_.selectedSession();
    const int row = id ? rows_->row(*id) : -1;
    auto* selection = list_->selectionModel();
    const QModelIndex index = rows_->index(row, 0);
    if (row >= 0 && selection->isSelected(index)) return;
    updatingList_ = true;
    if (row >= 0) {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    } else {
        // A picked session of another unit, or one that is gone: no row is highlighted.
        selection->clearSelection();
    }
    updatingList_ = false;
}

void HistoryView::selectFromList() {
    if (updatingList_) return;
    const auto rows = list_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return; // the model keeps its pick; only another pick replaces it
    if (const SessionSummary* session = rows_->session(rows.front().row())) pick(session->id);
}

void HistoryView::pick(const RorozErurEvo::Uuid& id) {
    navigation_.setSelectedSession(id);
    // A row chosen while two sessions are compared is the session to show: the comparison ends
    // (after the pick, so the pane goes straight to the chosen session).
    navigation_.setCompareBefore(std::nullopt);
    navigation_.setCompareAfter(std::nullopt);
}

bool HistoryView::current(const TestSession& shown, const SessionSummary& listed) const {
    if (!listed.describes(shown)) return false;
    // Saved again with the same summary, the session may still differ in what the pane shows.
    const auto now = library_.atHand(listed.id);
    return !now || now.get() == &shown || *now == shown;
}

bool HistoryView::showing(const std::vector<const SessionSummary*>& wanted) const {
    if (!detail_) return false;
    if (wanted.size() == 2) {
        const auto* compare = qobject_cast<const CompareView*>(detail_.data());
        return compare && current(compare->before(), *wanted[0]) && current(compare->after(), *wanted[1]);
    }
    if (wanted.size() == 1) {
        const auto* detail = qobject_cast<const SessionDetail*>(detail_.data());
        return detail && current(detail->session(), *wanted[0]);
    }
    return detail_->objectName() == QStringLiteral("history-pick");
}

void HistoryView::showDetail() {
    if (pages_->currentWidget() != browser_) {
        ++request_;
        pending_ = false;
        requested_.clear();
        install(nullptr);
        return;
    }
    const auto& library = library_;
    const SessionSummary* before = library.session(navigation_.compareBefore());
    const SessionSummary* after = library.session(navigation_.compareAfter());
    // Pointers into the list, which stays as it is for this call: a summary may hold megabytes.
    std::vector<const SessionSummary*> wanted;
    if (before && after) wanted = {before, after};
    else if (const SessionSummary* picked = library.session(navigation_.selectedSession())) wanted = {picked};
    if (showing(wanted)) return;
    std::vector<RorozErurEvo::Uuid> ids;
    bool atHand = true;
    for (const auto* s : wanted) {
        ids.push_back(s->id);
        atHand = atHand && library_.atHand(s->id);
    }
    // Being read, or already found unreadable: asked once, told once. A session saved again since
    // is at hand and shown at once.
    if (!ids.empty() && ids == requested_ && !atHand) return;

    const std::uint64_t request = ++request_;
    requested_ = std::move(ids);
    pending_ = false;
    if (wanted.empty()) {
        install(EmptyState::named(QStringLiteral("history-pick"), QStringLiteral("Pick a session"),
                                  QStringLiteral("list.bullet.rectangle"), QString()));
        return;
    }
    pending_ = true;
    QPointer<HistoryView> self(this);
    std::vector<SessionSummary> listed;
    for (const auto* s : wanted) listed.push_back(*s);
    library_.open(std::move(listed), [self, request](SessionLibrary::Opened result) {
        if (self && request == self->request_) self->opened(std::move(result));
    });
    if (!pending_ || request != request_) return;
    // Not at hand: a file is read in well under a frame, so the pane keeps what it showed, greyed
    // so that no action can reach the wrong session, and says "Loading…" only when the read
    // takes longer.
    auto showLoading = [this] {
        install(EmptyState::named(QStringLiteral("history-opening"), HistoryTexts::loadingTitle(),
                                  QStringLiteral("circle.dashed"), QString()));
    };
    if (!detail_) {
        showLoading();
        return;
    }
    detail_->setEnabled(false);
    QTimer::singleShot(loadingDelay, this, [this, request, showLoading] {
        if (pending_ && request == request_) showLoading();
    });
}

void HistoryView::opened(SessionLibrary::Opened result) {
    pending_ = false;
    if (!result.problem.empty()) {
        commands_.setToast(SessionLibrary::openFailure(result.problem));
        install(EmptyState::named(QStringLiteral("history-unopened"), QStringLiteral("Couldn't open the session"),
                                  QStringLiteral("exclamationmark.triangle.fill"),
                                  QString::fromStdString(result.problem)));
        return;
    }
    requested_.clear();
    // The detail shares the session it was handed; a comparison keeps its own pair.
    if (result.sessions.size() == 2) install(new CompareView(commands_, navigation_, *result.sessions[0], *result.sessions[1]));
    else install(new SessionDetail(library_, navigation_, commands_, std::move(result.sessions.at(0))));
}

void HistoryView::install(QWidget* next) {
    if (detail_) {
        pane_->layout()->removeWidget(detail_);
        detail_->hide();
        // Late: the old view may be the one whose action brought this change.
        detail_->deleteLater();
    }
    detail_ = next;
    if (next) pane_->layout()->addWidget(next);
}

} // namespace Tessarine
