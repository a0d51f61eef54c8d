#include "app/views/history/SessionDetail.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

#include "app/model/Navigation.h"
#include "app/model/SessionCommands.h"
#include "app/model/SessionLibrary.h"
#include "app/model/CommandState.h"
#include "app/paint/Symbols.h"
#include "app/report/AppInfo.h"
#include "app/paint/Theme.h"
#include "app/views/kit/DestructiveButton.h"
#include "app/views/kit/Divider.h"
#include "app/views/kit/MessageBoxes.h"
#include "app/views/history/ComparePicker.h"
#include "app/views/history/ExportMenu.h"
#include "app/views/history/HistoryParts.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/ResultsTable.h"
#include "app/views/kit/ViewParts.h"
#include "app/views/kit/VerdictLabel.h"
#include "app/views/kit/LongTextView.h"
#include "testkit/DisplayText.h"
#include "testkit/ListingText.h"
#include "testkit/ShownSession.h"

namespace Tessarine {

using RorozErurEvo::TestSession;
namespace DisplayText = RorozErurEvo::DisplayText;

namespace {

// The start of long notes shown in the pane: about a screenful of lines and characters.
constexpr std::size_t notesLength = 1200; // code points
constexpr std::size_t notesLines = 20;
constexpr QSize notesReaderSize{640, 520}; // pixels

QString qs(const std::string& text) { return QString::fromStdString(text); }

QGroupBox* box(const QString& title, const QString& objectName) {
    auto* group = new QGroupBox(title);
    group->setObjectName(objectName);
    return group;
}

} // namespace

SessionDetail::SessionDetail(SessionLibrary& library, Navigation& navigation, SessionCommands& commands,
                             TestSession session, QWidget* parent)
    : SessionDetail(library, navigation, commands, std::make_shared<const TestSession>(std::move(session)),
                    parent) {}

SessionDetail::SessionDetail(SessionLibrary& library, Navigation& navigation, SessionCommands& commands,
                             std::shared_ptr<const TestSession> session, QWidget* parent)
    : QWidget(parent), library_(library), navigation_(navigation), commands_(commands),
      shared_(std::move(session)), session_(*shared_) {
    setObjectName(QStringLiteral("session-detail"));
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(head());
    stack->addWidget(new Divider(Qt::Horizontal));
    stack->addWidget(sections(), 1);
    connect(&library_, &SessionLibrary::sessionsChanged, this, &SessionDetail::libraryChanged);
    libraryChanged();
}

QWidget* SessionDetail::head() {
    auto* head = new QWidget;
    auto* stack = new QVBoxLayout(head);
    stack->setContentsMargins(18, 12, 18, 12);
    stack->setSpacing(10);

    auto* header = new QHBoxLayout;
    auto* names = new QVBoxLayout;
    names->setSpacing(3);
    auto* title = new QLabel(HistoryTexts::title(session_));
    title->setObjectName(QStringLiteral("detail-title"));
    title->setTextFormat(Qt::PlainText);
    QFont titleFont = Fonts::title();
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    title->setWordWrap(true);
    names->addWidget(title);
    auto* subtitle = ViewParts::secondaryLabel(HistoryTexts::subtitle(session_), Fonts::body());
    subtitle->setObjectName(QStringLiteral("detail-subtitle"));
    subtitle->setTextFormat(Qt::PlainText);
    names->addWidget(subtitle);
    header->addLayout(names, 1);
    auto* verdict = new VerdictLabel(session_.verdict(), false);
    verdict->setObjectName(QStringLiteral("detail-verdict"));
    header->addWidget(verdict, 0, Qt::AlignTop);
    stack->addLayout(header);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    // Thousands of saved sessions make no menu: a picker finds the partner by what is typed.
    compare_ = HistoryParts::button(QStringLiteral("detail-compare"), QStringLiteral("Compare With"),
                                    QStringLiteral("arrow.left.arrow.right"));
    connect(compare_, &QPushButton::clicked, this, &SessionDetail::openComparePicker);
    actions->addWidget(compare_);

    auto* pdf = HistoryParts::button(QStringLiteral("detail-pdf"), QStringLiteral("PDF Report…"),
                                     QStringLiteral("doc.richtext"));
    connect(pdf, &QPushButton::clicked, this, &SessionDetail::exportPDF);
    actions->addWidget(pdf);
    auto* print = HistoryParts::button(QStringLiteral("detail-print"), QStringLiteral("Print…"), QStringLiteral("printer"));
    connect(print, &QPushButton::clicked, this, &SessionDetail::printReport);
    actions->addWidget(print);
    auto* copy = HistoryParts::button(QStringLiteral("detail-copy"), QStringLiteral("Copy Listing Text"),
                                      QStringLiteral("doc.on.clipboard"));
    connect(copy, &QPushButton::clicked, this, &SessionDetail::copyListing);
    actions->addWidget(copy);
    actions->addWidget(new ExportMenu(library_, commands_, shared_));
    actions->addStretch(1);
    auto* remove = new DestructiveButton(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("detail-delete"));
    remove->setIcon(Symbols::icon(QStringLiteral("trash"), remove->palette().color(QPalette::ButtonText)));
    connect(remove, &QPushButton::clicked, this, &SessionDetail::askToDelete);
    actions->addWidget(remove);
    stack->addLayout(actions);
    return head;
}

QWidget* SessionDetail::sections() {
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("detail-sections"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(18, 18, 18, 18);
    stack->setSpacing(14);

    auto* device = box(QStringLiteral("Device"), QStringLiteral("detail-device"));
    auto* grid = new QGridLayout(device);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    int row = 0;
    for (const auto& line : DisplayText::shown(session_.device).lines()) {
        auto* label = ViewParts::secondaryLabel(qs(line.label), Fonts::body());
        label->setWordWrap(false);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid->addWidget(HistoryParts::selectableText(HistoryTexts::field(line.value)), row, 1);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    stack->addWidget(device);

    stack->addWidget(new ResultsTable(session_.sortedResults()));

    // Notes of only spaces are still notes: the box shows whatever was typed. Long notes show
    // their start; the reader takes in the rest by pieces.
    if (!session_.notes.empty()) {
        auto* notes = box(QStringLiteral("Notes"), QStringLiteral("detail-notes"));
        auto* layout = new QVBoxLayout(notes);
        auto* text = HistoryParts::selectableText(
            qs(DisplayText::breakable(DisplayText::cut(session_.notes, notesLength, notesLines))));
        text->setObjectName(QStringLiteral("detail-notes-text"));
        layout->addWidget(text);
        if (DisplayText::leading(session_.notes, notesLength, notesLines).cut) {
            auto* all = new QPushButton(QStringLiteral("Show All Notes…"));
            all->setObjectName(QStringLiteral("detail-notes-all"));
            connect(all, &QPushButton::clicked, this, &SessionDetail::showAllNotes);
            layout->addWidget(all, 0, Qt::AlignLeft);
        }
        stack->addWidget(notes);
    }

    auto* listing = box(QStringLiteral("Listing text"), QStringLiteral("detail-listing"));
    auto* listingStack = new QVBoxLayout(listing);
    listingStack->setSpacing(6);
    auto* text = HistoryParts::selectableText(
        qs(DisplayText::breakable(RorozErurEvo::ListingSummary::text(session_, "Tessarine"))));
    text->setObjectName(QStringLiteral("detail-listing-text"));
    listingStack->addWidget(text);
    auto* scope = ViewParts::secondaryLabel(AppInfo::current().scopeNote, Fonts::caption());
    scope->setObjectName(QStringLiteral("detail-scope-note"));
    listingStack->addWidget(scope);
    stack->addWidget(listing);
    stack->addStretch(1);
    scroll->setWidget(content);
    return scroll;
}

void SessionDetail::showAllNotes() {
    if (notesReader_) {
        notesReader_->raise();
        notesReader_->activateWindow();
        return;
    }
    auto* reader = new QDialog(this);
    reader->setObjectName(QStringLiteral("detail-notes-reader"));
    reader->setAttribute(Qt::WA_DeleteOnClose);
    reader->setWindowTitle(QStringLiteral("Notes"));
    auto* stack = new QVBoxLayout(reader);
    // The reader shares the notes with the session this view keeps: no second copy of megabytes.
    auto* view = new LongTextView(std::shared_ptr<const std::string>(shared_, &shared_->notes));
    view->setObjectName(QStringLiteral("detail-notes-view"));
    view->setAccessibleName(QStringLiteral("All notes"));
    stack->addWidget(view, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, reader, &QDialog::reject);
    stack->addWidget(buttons);
    reader->resize(notesReaderSize);
    notesReader_ = reader;
    reader->show();
}

void SessionDetail::libraryChanged() {
    compare_->setEnabled(!HistoryTexts::compareChoices(library_.sessions(), session_).empty());
}

ComparePicker* SessionDetail::comparePicker() const { return comparePicker_; }

void SessionDetail::openComparePicker() {
    if (comparePicker_) {
        comparePicker_->raise();
        comparePicker_->activateWindow();
        return;
    }
    auto* picker = new ComparePicker(library_, RorozErurEvo::SessionSummary::of(session_), this);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &ComparePicker::picked, this, &SessionDetail::compare);
    comparePicker_ = picker;
    picker->open();
}

void SessionDetail::compare(const RorozErurEvo::SessionSummary& other) {
    const bool shownFirst = HistoryTexts::shownIsBefore(session_.date, other.date);
    const auto beforeID = shownFirst ? session_.id : other.id;
    const auto afterID = shownFirst ? other.id : session_.id;
    // An after session left from an earlier comparison must not pair with the new before session,
    // not even for a moment.
    navigation_.setCompareAfter(std::nullopt);
    navigation_.setCompareBefore(beforeID);
    navigation_.setCompareAfter(afterID);
}

void SessionDetail::exportPDF() { commands_.exportPDF({session_}, Commands::suggestedName(session_)); }

void SessionDetail::printReport() { commands_.printReport({session_}); }

void SessionDetail::copyListing() { commands_.copyListing(session_); }

void SessionDetail::askToDelete() {
    if (confirm_) {
        confirm_->raise();
        return;
    }
    QPushButton* deleteButton = nullptr;
    QMessageBox* box = MessageBoxes::confirmation(this, QStringLiteral("Delete this session?"),
                                                  HistoryTexts::deleteMessage(session_), QStringLiteral("Delete"),
                                                  &deleteButton);
    box->setObjectName(QStringLiteral("detail-confirm-delete"));
    deleteButton->setObjectName(QStringLiteral("detail-confirm-delete-button"));
    connect(box, &QMessageBox::finished, this, [this, box, deleteButton] {
        if (box->clickedButton() == deleteButton) remove();
    });
    confirm_ = box;
    box->open();
}

void SessionDetail::remove() { commands_.removeSession(session_.id); }

} // namespace Tessarine
