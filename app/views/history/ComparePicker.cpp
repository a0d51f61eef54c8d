#include "app/views/history/ComparePicker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/model/SessionLibrary.h"
#include "app/views/history/CompareSearch.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/SessionList.h"
#include "app/views/kit/DialogButtons.h"
#include "app/views/kit/TextField.h"

namespace Tessarine {

using RorozErurEvo::SessionSummary;

ComparePickerModel::ComparePickerModel(const SessionLibrary& library, SessionSummary shown, QObject* parent)
    : QAbstractListModel(parent), library_(library), shown_(std::move(shown)) {
    rebuild();
}

void ComparePickerModel::rebuild() {
    const auto choices = HistoryTexts::compareChoices(library_.sessions(), shown_);
    auto positions = [](const std::vector<std::size_t>& from) {
        return std::vector<int>(from.begin(), from.end());
    };
    sameUnit_ = positions(choices.sameUnit);
    otherUnits_ = positions(choices.otherUnits);
    const QStringList words = CompareSearch::words(search_);
    search(words, foundSame_, sameUnit_);
    search(words, foundOther_, otherUnits_);
    layOut();
}

void ComparePickerModel::setSearch(const QString& typed) {
    if (typed == search_) return;
    // Text that only grew finds among what was found; any other change searches every partner.
    const bool narrower = CompareSearch::narrows(typed, search_);
    search_ = typed;
    const QStringList words = CompareSearch::words(search_);
    search(words, foundSame_, narrower ? std::vector<int>(foundSame_) : sameUnit_);
    search(words, foundOther_, narrower ? std::vector<int>(foundOther_) : otherUnits_);
    layOut();
}

void ComparePickerModel::search(const QStringList& words, std::vector<int>& found, const std::vector<int>& from) const {
    found.clear();
    if (words.isEmpty()) {
        found = from;
        return;
    }
    const ReportText::ShortDates dates;
    const auto& all = library_.sessions();
    for (int i : from)
        if (CompareSearch::matches(all[std::size_t(i)], words, dates)) found.push_back(i);
}

void ComparePickerModel::layOut() {
    beginResetModel();
    rows_.clear();
    rows_.reserve(found() + 2);
    for (const bool same : {true, false}) {
        const auto& found = same ? foundSame_ : foundOther_;
        if (found.empty()) continue;
        rows_.push_back({-1, same});
        for (int i : found) rows_.push_back({i, same});
    }
    endResetModel();
}

const SessionSummary* ComparePickerModel::session(int row) const {
    if (row < 0 || std::size_t(row) >= rows_.size() || rows_[std::size_t(row)].session < 0) return nullptr;
    const auto& all = library_.sessions();
    const auto at = std::size_t(rows_[std::size_t(row)].session);
    return at < all.size() ? &all[at] : nullptr;
}

int ComparePickerModel::row(const RorozErurEvo::Uuid& id) const {
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (const SessionSummary* s = session(int(r)); s && s->id == id) return int(r);
    return -1;
}

int ComparePickerModel::firstSession() const { return rows_.size() > 1 ? 1 : -1; }

int ComparePickerModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

QVariant ComparePickerModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= rows_.size()) return {};
    const Row& row = rows_[std::size_t(index.row())];
    if (row.session < 0) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return row.sameUnit ? QStringLiteral("Same unit") : QStringLiteral("Other units");
        case SessionListModel::HeaderRole: return true;
        default: return {};
        }
    }
    const SessionSummary* s = session(index.row());
    if (!s) return {};
    const auto title = [&] {
        return row.sameUnit ? HistoryTexts::compareItemTitle(*s) : HistoryTexts::otherUnitItemTitle(*s);
    };
    switch (role) {
    case Qt::DisplayRole: return title();
    case SessionListModel::CaptionRole: return HistoryTexts::compareItemCaption(*s);
    case Qt::AccessibleTextRole: return HistoryTexts::compareItemSpoken(title(), *s);
    case SessionListModel::VerdictRole: return static_cast<int>(s->verdict());
    case SessionListModel::HeaderRole: return false;
    default: return {};
    }
}

Qt::ItemFlags ComparePickerModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || std::size_t(index.row()) >= rows_.size()) return Qt::NoItemFlags;
    // A header is neither picked by a click nor stopped at by the arrow keys.
    if (rows_[std::size_t(index.row())].session < 0) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

ComparePicker::ComparePicker(const SessionLibrary& library, SessionSummary shown, QWidget* parent)
    : QDialog(parent), library_(library), model_(new ComparePickerModel(library, std::move(shown), this)) {
    setObjectName(QStringLiteral("compare-picker"));
    setWindowTitle(QStringLiteral("Compare With"));
    setAccessibleName(windowTitle());
    setWindowModality(Qt::WindowModal);
    auto* column = new QVBoxLayout(this);

    search_ = clearableTextField(QStringLiteral("Search sessions"), QStringLiteral("compare-search"),
                                 QStringLiteral("Clear search"));
    search_->setPlaceholderText(QStringLiteral("Unit, serial, ticket, stage or date"));
    search_->installEventFilter(this);
    column->addWidget(search_);

    list_ = new SessionListView;
    list_->setObjectName(QStringLiteral("compare-list"));
    list_->setAccessibleName(QStringLiteral("Sessions to compare with"));
    list_->setFrameShape(QFrame::StyledPanel);
    list_->setModel(model_);
    column->addWidget(list_, 1);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("compare-status"));
    column->addWidget(status_);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("compare-cancel"));
    compare_ = new QPushButton(QStringLiteral("Compare"));
    compare_->setObjectName(QStringLiteral("compare-confirm"));
    column->addLayout(dialogButtons(this, cancel, compare_));
    connect(compare_, &QPushButton::clicked, this, &ComparePicker::accept);

    connect(search_, &QLineEdit::textChanged, this, &ComparePicker::searched);
    connect(list_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (model_->session(index.row())) accept();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        const SessionSummary* now = current();
        picked_ = now ? std::optional(now->id) : std::nullopt;
        refreshStatus();
    });
    connect(&library_, &SessionLibrary::sessionsChanged, this, &ComparePicker::libraryChanged);

    pick(nullptr);
    QSize size(preferredWidth, preferredHeight);
    if (parent) size = size.boundedTo(parent->window()->size());
    resize(size);
    search_->setFocus();
}

const SessionSummary* ComparePicker::current() const { return model_->session(list_->currentIndex().row()); }

void ComparePicker::accept() {
    const SessionSummary* chosen = current();
    if (!chosen) return;
    // A copy: comparing may change what the library lists.
    const SessionSummary partner = *chosen;
    emit picked(partner);
    QDialog::accept();
}

bool ComparePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The pick moves while the words stay where they are typed.
            QCoreApplication::sendEvent(list_, event);
            return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ComparePicker::searched() {
    model_->setSearch(search_->text());
    pick(nullptr);
}

void ComparePicker::libraryChanged() {
    // The rows still name places in the list as it was: the pick is known by its id.
    const std::optional<RorozErurEvo::Uuid> id = picked_;
    model_->rebuild();
    pick(id ? &*id : nullptr);
}

void ComparePicker::pick(const RorozErurEvo::Uuid* id) {
    int row = id ? model_->row(*id) : -1;
    if (row < 0) row = model_->firstSession();
    const QModelIndex index = model_->index(row, 0);
    if (index.isValid()) {
        list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    }
    refreshStatus();
}

void ComparePicker::refreshStatus() {
    status_->setText(HistoryTexts::compareCount(model_->found(), !CompareSearch::words(model_->search()).isEmpty()));
    compare_->setEnabled(current() != nullptr);
}

} // namespace Tessarine
