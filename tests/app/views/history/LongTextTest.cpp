// A saved session may hold megabytes in any text (notes, a GUID, a label, a headline, an element
// name). The history shows each cut to what its place holds, the whole notes in a reader that
// takes them in by pieces, and the exports keep every byte.
#include "app/model/CommandFakes.h"

#include "app/views/history/CompareView.h"
#include "app/views/history/HistoryView.h"
#include "app/views/history/SessionDetail.h"
#include "app/views/history/SessionList.h"
#include "app/views/kit/LongTextView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "testkit/SessionSamples.h"

using namespace Tessarine;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestSession;
using RorozErurEvo::Verdict;
namespace Samples = RorozErurEvo::Samples;

namespace {

// More characters than any text the history lays out at once: the notes' start, a few cut fields.
constexpr qsizetype mostShown = 2000;

TestSession longSession(const char* iso, std::size_t notesBytes) {
    TestSession s = Samples::session(std::string(1u << 20, 'U'), iso,
                                     {Samples::result(TestKind::drift, std::string(1u << 20, 'E'), Verdict::warn,
                                                      {Samples::percent("offset", 0.05)}, std::string(1u << 20, 'h'))});
    s.label = std::string(1u << 20, 'L');
    s.technician = std::string(1u << 20, 'T');
    s.device.guid = std::string(30u << 20, 'A');
    s.device.serial = std::string(1u << 20, 'S');
    s.results[0].measures[0].label = std::string(1u << 20, 'M');
    std::string line = "The left stick drifts after the repair. ";
    while (s.notes.size() + line.size() + 1 < notesBytes / 2) s.notes += line + "\n";
    s.notes += std::string(notesBytes - s.notes.size(), 'x'); // one line without a break
    return s;
}

// Every text the widgets under `root` show or speak, with where it is.
std::vector<std::pair<QString, QString>> texts(const QWidget& root) {
    std::vector<std::pair<QString, QString>> all;
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<const QLabel*>(widget)) all.emplace_back(widget->objectName(), label->text());
        if (auto* button = qobject_cast<const QAbstractButton*>(widget)) all.emplace_back(widget->objectName(), button->text());
        all.emplace_back(widget->objectName() + QStringLiteral(" (name)"), widget->accessibleName());
        all.emplace_back(widget->objectName() + QStringLiteral(" (tip)"), widget->toolTip());
    }
    return all;
}

void expectAllShort(const QWidget& root) {
    for (const auto& [where, text] : texts(root))
        EXPECT_LE(text.size(), mostShown) << where.toStdString() << ": " << text.left(80).toStdString();
}

// The most times `c` follows itself in `text`.
qsizetype longestRun(const QByteArray& text, char c) {
    qsizetype longest = 0, run = 0;
    for (char byte : text) {
        run = byte == c ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

struct LongTextFixture : ::testing::Test {
    Fakes::Bench bench{false};
    AppModel& model = *bench.model;
    std::shared_ptr<Fakes::Chooser> chooser = std::make_shared<Fakes::Chooser>();
    LongTextFixture() { model.setFileChooser(chooser); }
};

} // namespace

TEST_F(LongTextFixture, TheHistoryShowsEveryLongTextCutAndTheStartOfTheNotes) {
    const TestSession older = longSession("2026-03-01T09:00:00Z", 2u << 20);
    const TestSession newer = longSession("2026-03-02T09:00:00Z", 2u << 20);
    ASSERT_TRUE(model.library().save(older));
    ASSERT_TRUE(model.library().save(newer));
    HistoryView view(model.library(), model.navigation(), model);
    view.resize(1100, 760);
    view.show();
    model.navigation().setSelectedSession(newer.id);
    auto* detail = view.findChild<SessionDetail*>();
    ASSERT_NE(detail, nullptr);
    expectAllShort(view);

    auto* notes = detail->findChild<QLabel*>(QStringLiteral("detail-notes-text"));
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().startsWith(QStringLiteral("The left stick drifts after the repair.")));
    EXPECT_TRUE(notes->text().endsWith(QStringLiteral("…")));
    EXPECT_NE(detail->findChild<QPushButton*>(QStringLiteral("detail-notes-all")), nullptr);
    // The list's rows too: a row paints what its model gives.
    auto* rows = view.findChild<SessionListView*>()->model();
    for (int row = 0; row < rows->rowCount(); ++row)
        for (int role : {int(Qt::DisplayRole), int(SessionListModel::CaptionRole), int(Qt::AccessibleTextRole)})
            EXPECT_LE(rows->index(row, 0).data(role).toString().size(), mostShown) << row << " " << role;

    // The comparison of the two.
    model.navigation().setCompareBefore(older.id);
    model.navigation().setCompareAfter(newer.id);
    ASSERT_NE(view.findChild<CompareView*>(), nullptr);
    expectAllShort(view);

    // Short notes need no reader.
    TestSession plain = Samples::session("SN-1", "2026-03-03T09:00:00Z");
    plain.notes = "Checked twice.";
    SessionDetail small(model.library(), model.navigation(), model, plain);
    EXPECT_EQ(small.findChild<QLabel*>(QStringLiteral("detail-notes-text"))->text(), QStringLiteral("Checked twice."));
    EXPECT_EQ(small.findChild<QPushButton*>(QStringLiteral("detail-notes-all")), nullptr);
}

TEST_F(LongTextFixture, TheNotesReaderTakesTheWholeNotesInByPieces) {
    const TestSession s = longSession("2026-03-01T09:00:00Z", 3u << 20);
    SessionDetail detail(model.library(), model.navigation(), model, s);
    detail.show();
    QTest::mouseClick(detail.findChild<QPushButton*>(QStringLiteral("detail-notes-all")), Qt::LeftButton);
    ASSERT_NE(detail.notesReader(), nullptr);
    auto* reader = detail.notesReader()->findChild<LongTextView*>();
    ASSERT_NE(reader, nullptr);
    // One piece at first; the rest arrives while the event loop turns.
    EXPECT_FALSE(reader->complete());
    EXPECT_LE(reader->document()->characterCount(), qsizetype(2 * LongTextView::pieceBytes));
    for (int turn = 0; turn < 100000 && !reader->complete(); ++turn) QCoreApplication::processEvents();
    ASSERT_TRUE(reader->complete());
    // Every character is there; only the line of 1.5 MB without a break is broken into lines.
    QString whole = reader->toPlainText();
    const QString notes = QString::fromStdString(s.notes);
    EXPECT_EQ(whole.size() - whole.count(QLatin1Char('\n')), notes.size() - notes.count(QLatin1Char('\n')));
    EXPECT_TRUE(whole.startsWith(QStringLiteral("The left stick drifts after the repair. \nThe left")));
    qsizetype longest = 0;
    for (const QString& line : whole.split(QLatin1Char('\n'))) longest = std::max(longest, line.size());
    EXPECT_EQ(longest, qsizetype(LongTextView::longestLine));
    // Copied, the notes are as they were saved: the view's breaks are not the text's.
    reader->selectAll();
    reader->copy();
    EXPECT_TRUE(QApplication::clipboard()->text() == notes);
    // Opening it again brings the open reader forward.
    detail.showAllNotes();
    EXPECT_EQ(detail.findChildren<LongTextView*>().size(), 1);

    // Closing it frees the document of many lines later, a slice of lines a turn, and all of it.
    QPointer<QTextDocument> document = reader->document();
    const int lines = document->blockCount();
    ASSERT_GT(lines, 2 * LongTextView::releaseBlocks);
    delete detail.notesReader();
    ASSERT_FALSE(document.isNull());
    int slices = 0;
    for (int turn = 0, left = lines; turn < 1000 && document; ++turn) {
        if (document->blockCount() < left) {
            EXPECT_GE(document->blockCount(), left - LongTextView::releaseBlocks);
            left = document->blockCount();
            ++slices;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(document.isNull());
    EXPECT_GT(slices, 1);
}

TEST_F(LongTextFixture, ExportsAndTheirFileNamesKeepOrCutAsEachMust) {
    const TestSession s = longSession("2026-03-01T09:00:00Z", 1u << 20);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    chooser->answer = folder.filePath(QStringLiteral("all.json"));
    model.exportSessions({s}, AppModel::ExportFormat::json, s.unitKey() + " " + s.label);
    bench.executor->runAll(); // written off the main thread
    ASSERT_EQ(chooser->asked.size(), 1u);
    // A name a file panel and a file system take.
    EXPECT_LE(chooser->asked[0].name.toUtf8().size(), 255);
    QFile json(*chooser->answer);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QByteArray text = json.readAll();
    EXPECT_EQ(longestRun(text, 'A'), 30 << 20) << "the export keeps the whole GUID";
    EXPECT_EQ(longestRun(text, 'h'), 1 << 20) << "and the whole headline";
    EXPECT_EQ(model.toast(), "Exported 1 session");
}

// A note is prose: a paragraph of thousands of characters without a line break reads as one,
// however wide the reader, and a part of it copies as it is.
TEST_F(LongTextFixture, TheNotesReaderKeepsALongParagraphWhole) {
    std::string paragraph;
    while (paragraph.size() < 6000) paragraph += "The left stick drifts a little to the right after the repair. ";
    TestSession s = Samples::session("SN-1", "2026-03-03T09:00:00Z");
    s.notes = "Intake:\n" + paragraph + "\n" + std::string(3000, 'z');
    LongTextView reader(std::make_shared<const std::string>(s.notes));
    for (int turn = 0; turn < 1000 && !reader.complete(); ++turn) QCoreApplication::processEvents();
    ASSERT_TRUE(reader.complete());
    EXPECT_EQ(reader.document()->blockCount(), 3);
    EXPECT_EQ(reader.toPlainText().toStdString(), s.notes);

    QTextCursor part(reader.document());
    part.setPosition(3);
    part.setPosition(int(QString::fromStdString(s.notes).size()) - 5, QTextCursor::KeepAnchor);
    reader.setTextCursor(part);
    reader.copy();
    EXPECT_TRUE(QApplication::clipboard()->text() == QString::fromStdString(s.notes).mid(3, qsizetype(s.notes.size()) - 8));
}

// A line the reader breaks, followed in the same piece by the notes' own line breaks, copies
// with each of them where it was and no other.
TEST_F(LongTextFixture, TheNotesReaderCopiesItsOwnBreaksAwayAndTheNotesBreaksKept) {
    const std::string notes = std::string(LongTextView::longestLine + 10, 'x') + "\nabc\n\ndef " +
                              std::string(2 * LongTextView::longestLine + 5, 'y') + "\nend";
    LongTextView reader(std::make_shared<const std::string>(notes));
    for (int turn = 0; turn < 1000 && !reader.complete(); ++turn) QCoreApplication::processEvents();
    ASSERT_TRUE(reader.complete());
    EXPECT_EQ(reader.document()->blockCount(), 8); // the notes' five lines, and three breaks of the reader
    reader.selectAll();
    reader.copy();
    EXPECT_TRUE(QApplication::clipboard()->text() == QString::fromStdString(notes));
}

// Lines not laid out yet when the reader closes are freed without the reader's screen.
TEST_F(LongTextFixture, TheReaderClosedWhileTheNotesArriveFreesThemAll) {
    const TestSession s = longSession("2026-03-01T09:00:00Z", 3u << 20);
    SessionDetail detail(model.library(), model.navigation(), model, s);
    detail.show();
    QTest::mouseClick(detail.findChild<QPushButton*>(QStringLiteral("detail-notes-all")), Qt::LeftButton);
    auto* reader = detail.notesReader()->findChild<LongTextView*>();
    for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
    ASSERT_FALSE(reader->complete());
    QPointer<QTextDocument> document = reader->document();
    detail.notesReader()->close();
    for (int turn = 0; turn < 1000 && document; ++turn) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(document.isNull());
}
