// The Compare With picker over a shop's history: it opens on the shown unit's other sessions,
// finds a partner by what is typed (unit, serial, ticket, stage, date), is worked from the
// keyboard, and follows the library while it is open.
#include "app/views/history/ComparePicker.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/model/SessionLibrary.h"
#include "app/report/ReportPage.h"
#include "app/views/history/CompareSearch.h"
#include "app/views/history/HistoryTexts.h"
#include "app/views/history/SessionList.h"
#include "testkit/SessionSamples.h"

using namespace Tessarine;
using RorozErurEvo::SessionSummary;
using RorozErurEvo::TestKind;
using RorozErurEvo::TestSession;
using RorozErurEvo::Verdict;
namespace Samples = RorozErurEvo::Samples;

namespace {

std::string numbered(const char* pattern, int n) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

// Session n of a shop's history: 1,000 units of five sessions each (n, n + 1000, …), before and
// after repair by turns, one session every hour from 2026-01-01 at noon. Units 0 to 499 go by
// their serial (no unit was typed); the others carry a typed unit beside their serial.
TestSession shopSession(int n) {
    TestSession s = Samples::session("", "2026-01-01T12:00:00Z", {Samples::result(TestKind::drift, "Left stick", Verdict::pass)});
    const int unit = n % 1000;
    if (unit >= 500) s.unit = numbered("Pad %d", unit);
    s.device.serial = numbered("SER-%04d", unit);
    s.ticket = numbered("T-%05d", n);
    s.label = n / 1000 % 2 ? "After repair" : "Before repair";
    s.date += std::chrono::hours(n);
    return s;
}

std::vector<TestSession> shopHistory(int count) {
    std::vector<TestSession> list;
    for (int n = count; n-- > 0;) list.push_back(shopSession(n));
    return list;
}

QStringList rows(const ComparePicker& picker) {
    QStringList texts;
    for (int r = 0; r < picker.model()->rowCount(); ++r) texts << picker.model()->index(r, 0).data().toString();
    return texts;
}

// The units of the sessions listed, in order.
std::vector<std::string> units(const ComparePicker& picker) {
    std::vector<std::string> found;
    for (int r = 0; r < picker.model()->rowCount(); ++r)
        if (const SessionSummary* s = picker.model()->session(r)) found.push_back(s->unitKey());
    return found;
}

struct FiveThousand : ::testing::Test {
    SessionLibrary library;
    SessionSummary shown;

    FiveThousand() {
        library.setSessions(shopHistory(5000));
        shown = *std::find_if(library.sessions().begin(), library.sessions().end(),
                              [](const SessionSummary& s) { return s.unitKey() == "SER-0042"; });
    }
};

} // namespace

TEST_F(FiveThousand, OpensOnTheSameUnitANarrowsToATypedSerialAndReturnPicks) {
    ComparePicker picker(library, shown);
    QSignalSpy picked(&picker, &ComparePicker::picked);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    EXPECT_TRUE(picker.searchField()->hasFocus());

    // The unit's four other sessions first, newest first, picked from the top; then every other
    // unit's.
    const QStringList opened = rows(picker);
    ASSERT_EQ(opened.size(), 1 + 4 + 1 + 4995);
    EXPECT_EQ(opened[0], "Same unit");
    EXPECT_EQ(opened[5], "Other units");
    const auto listed = units(picker);
    EXPECT_TRUE(std::all_of(listed.begin(), listed.begin() + 4, [](const auto& u) { return u == "SER-0042"; }));
    EXPECT_TRUE(std::none_of(listed.begin() + 4, listed.end(), [](const auto& u) { return u == "SER-0042"; }));
    for (int r = 2; r <= 4; ++r)
        EXPECT_GT(picker.model()->session(r - 1)->date, picker.model()->session(r)->date);
    ASSERT_NE(picker.current(), nullptr);
    EXPECT_EQ(picker.current()->id, picker.model()->session(1)->id);
    EXPECT_NE(picker.current()->id, shown.id);
    EXPECT_EQ(picker.status()->text(), "4999 sessions");

    // A serial typed letter by letter, in the wrong case: that unit's five sessions, one by its
    // typed unit though the serial is not its unit key.
    QTest::keyClicks(picker.searchField(), "ser-0777");
    EXPECT_EQ(units(picker), std::vector<std::string>(5, "Pad 777"));
    EXPECT_EQ(rows(picker).front(), "Other units");
    EXPECT_EQ(picker.status()->text(), "5 sessions");
    ASSERT_NE(picker.current(), nullptr);
    EXPECT_EQ(picker.current()->id, picker.model()->session(1)->id);

    // A second word narrows further; Down moves the pick from the field, Return compares.
    QTest::keyClicks(picker.searchField(), " before");
    ASSERT_EQ(units(picker).size(), 3u);
    QTest::keyClick(picker.searchField(), Qt::Key_Down);
    const SessionSummary second = *picker.model()->session(2);
    ASSERT_EQ(picker.current()->id, second.id);
    EXPECT_EQ(second.label, "Before repair");
    QTest::keyClick(picker.searchField(), Qt::Key_Return);
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked.front().front().value<SessionSummary>().id, second.id);
    EXPECT_FALSE(picker.isVisible());
}

TEST_F(FiveThousand, FindsByTicketStageAndDateAndSaysWhenNothingMatches) {
    ComparePicker picker(library, shown);
    picker.show();
    QLineEdit* field = picker.searchField();

    field->setText("T-01234");
    ASSERT_EQ(units(picker).size(), 1u);
    EXPECT_EQ(picker.model()->session(1)->ticket, "T-01234");

    // A day as 2026-01-02, in the local time the lists show.
    const auto localDay = [](RorozErurEvo::Date date) {
        return QDateTime::fromSecsSinceEpoch(date.time_since_epoch().count()).date().toString(Qt::ISODate);
    };
    const QString day = localDay(shopSession(30).date);
    const auto sameDay = std::count_if(library.sessions().begin(), library.sessions().end(), [&](const SessionSummary& s) {
        return s.id != shown.id && localDay(s.date) == day;
    });
    ASSERT_GE(sameDay, 23);
    field->setText(day);
    EXPECT_EQ(units(picker).size(), std::size_t(sameDay));
    const QString shownDate = ReportText::shortDateText(library.sessions().back().date);
    field->setText(shownDate);
    EXPECT_GE(units(picker).size(), 1u);

    // Words taken away search every partner again, not only what the longer text found.
    field->setText("SER-0042 after");
    EXPECT_EQ(units(picker).size(), 2u) << "the unit's other after-repair sessions";
    EXPECT_EQ(rows(picker).front(), "Same unit");
    field->setText("SER-0042");
    EXPECT_EQ(units(picker).size(), 4u);

    field->setText("no such unit");
    EXPECT_EQ(picker.model()->rowCount(), 0);
    EXPECT_EQ(picker.status()->text(), "No sessions match");
    EXPECT_EQ(picker.current(), nullptr);
    EXPECT_FALSE(picker.compareButton()->isEnabled());
    QSignalSpy picked(&picker, &ComparePicker::picked);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(picked.size(), 0);
    EXPECT_TRUE(picker.isVisible()) << "Return with nothing picked leaves the picker open";

    field->clear();
    EXPECT_EQ(picker.model()->rowCount(), 1 + 4 + 1 + 4995);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picked.size(), 0);
}

TEST(ComparePicker, TheSearchFieldsClearButtonIsNamedForScreenReaders) {
    SessionLibrary library;
    const TestSession shown = shopSession(0);
    library.setSessions({shopSession(1000), shown});
    ComparePicker picker(library, SessionSummary::of(shown));
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QLineEdit* field = picker.searchField();
    QTest::keyClicks(field, "T-01");
    QToolButton* clear = nullptr;
    for (auto* button : field->findChildren<QToolButton*>())
        if (button->isVisible()) clear = button;
    ASSERT_NE(clear, nullptr) << "typed text shows the clear button";
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(clear);
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->text(QAccessible::Name), "Clear search");
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(field->text().isEmpty());
}

TEST(ComparePicker, ArrowsSkipHeadersAndThePickFollowsTheLibrary) {
    SessionLibrary library;
    const TestSession shown = shopSession(0);
    library.setSessions({shopSession(2000), shopSession(1000), shopSession(7), shown});
    ComparePicker picker(library, SessionSummary::of(shown));
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    // Same unit: 2000, 1000; other units: 7.
    ASSERT_EQ(rows(picker).size(), 5);
    EXPECT_EQ(picker.current()->ticket, "T-02000");
    QTest::keyClick(picker.searchField(), Qt::Key_Down);
    EXPECT_EQ(picker.current()->ticket, "T-01000");
    QTest::keyClick(picker.searchField(), Qt::Key_Down); // over the "Other units" header
    EXPECT_EQ(picker.current()->ticket, "T-00007");
    QTest::keyClick(picker.searchField(), Qt::Key_Up);
    QTest::keyClick(picker.searchField(), Qt::Key_Up);
    QTest::keyClick(picker.searchField(), Qt::Key_Up); // the top header is not stopped at either
    EXPECT_EQ(picker.current()->ticket, "T-02000");
    QTest::keyClick(picker.searchField(), Qt::Key_PageDown);
    EXPECT_EQ(picker.current()->ticket, "T-00007");

    // A session saved while the picker is open is listed; the pick stays where it was.
    TestSession newer = shopSession(3000);
    ASSERT_TRUE(library.save(newer));
    EXPECT_EQ(rows(picker).size(), 6);
    EXPECT_EQ(picker.current()->ticket, "T-00007");
    // The picked session deleted: the first one listed is picked.
    ASSERT_TRUE(library.remove(picker.current()->id));
    EXPECT_EQ(rows(picker).size(), 4);
    EXPECT_EQ(picker.current()->ticket, "T-03000");

    // Tab takes the keyboard to the list, where a screen reader reads the rows as they are
    // picked; Return there compares too.
    QSignalSpy fromList(&picker, &ComparePicker::picked);
    QTest::keyClick(picker.searchField(), Qt::Key_Tab);
    ASSERT_TRUE(picker.list()->hasFocus());
    QTest::keyClick(picker.list(), Qt::Key_Down);
    QTest::keyClick(picker.list(), Qt::Key_Return);
    ASSERT_EQ(fromList.size(), 1);
    EXPECT_EQ(fromList.front().front().value<SessionSummary>().ticket, "T-02000");
    picker.show();

    // A double click on a session compares with it; on a header it does nothing. A double click
    // comes as a click, then the second press as a double click.
    QSignalSpy picked(&picker, &ComparePicker::picked);
    QListView* list = picker.list();
    const auto doubleClick = [&](int row) {
        const QPoint at = list->visualRect(picker.model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(0);
    EXPECT_EQ(picked.size(), 0);
    EXPECT_TRUE(picker.isVisible());
    doubleClick(2);
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked.front().front().value<SessionSummary>().ticket, "T-02000");
    EXPECT_FALSE(picker.isVisible());
}

TEST(ComparePicker, RowsReadTheirUnitSerialAndTicketToAScreenReader) {
    SessionLibrary library;
    const TestSession shown = shopSession(600);
    TestSession other = shopSession(601);
    other.results = {Samples::result(TestKind::drift, "Left stick", Verdict::fail)};
    library.setSessions({other, shown});
    ComparePicker picker(library, SessionSummary::of(shown));
    EXPECT_EQ(picker.windowTitle(), "Compare With");
    EXPECT_EQ(picker.searchField()->accessibleName(), "Search sessions");
    EXPECT_EQ(picker.list()->accessibleName(), "Sessions to compare with");
    const QModelIndex row = picker.model()->index(1, 0);
    const SessionSummary listed = SessionSummary::of(other);
    EXPECT_EQ(row.data().toString(), "Pad 601: " + HistoryTexts::compareItemTitle(listed));
    EXPECT_EQ(row.data(SessionListModel::CaptionRole).toString(), "Wireless Pad · Serial SER-0601 · Ticket T-00601");
    EXPECT_EQ(row.data(Qt::AccessibleTextRole).toString(),
              row.data().toString() + ", Wireless Pad · Serial SER-0601 · Ticket T-00601, Fail");
    EXPECT_EQ(picker.model()->index(0, 0).data(Qt::AccessibleTextRole).toString(), "Other units");
}

TEST(CompareSearch, EveryWordIsInTheUnitSerialTicketStageOrDate) {
    const ReportText::ShortDates dates;
    TestSession s = Samples::session(" Pad 7 ", "2026-03-05T12:00:00Z");
    s.device.serial = "ABC-123";
    s.ticket = "R-55";
    s.label = "After stick swap";
    s.device.name = "Elite Controller";
    const SessionSummary summary = SessionSummary::of(s);
    const auto finds = [&](const QString& typed) {
        return CompareSearch::matches(summary, CompareSearch::words(typed), dates);
    };
    EXPECT_TRUE(finds(""));
    EXPECT_TRUE(finds("   "));
    EXPECT_TRUE(finds("pad 7"));
    EXPECT_TRUE(finds("abc-1"));
    EXPECT_TRUE(finds("r-55"));
    EXPECT_TRUE(finds("STICK swap"));
    EXPECT_TRUE(finds("2026-03-05"));
    EXPECT_TRUE(finds(ReportText::shortDateText(s.date)));
    EXPECT_TRUE(finds("abc after 2026"));
    EXPECT_FALSE(finds("abc before"));
    EXPECT_FALSE(finds("Elite")) << "the device name is not among what is searched";
    EXPECT_FALSE(finds("2026-03-06"));

    EXPECT_TRUE(CompareSearch::narrows("pad 7", "pad"));
    EXPECT_FALSE(CompareSearch::narrows("pa", "pad"));
    EXPECT_FALSE(CompareSearch::narrows("xpad", "pad"));
}

TEST(HistoryTexts, ComparePickerCaptionsAndCounts) {
    TestSession s = Samples::session("", "2026-03-05T12:00:00Z");
    s.device.serial = " SN-9 ";
    s.ticket = "T-1";
    // The serial is the unit key: it is not said twice.
    EXPECT_EQ(HistoryTexts::compareItemCaption(SessionSummary::of(s)), "Wireless Pad · Ticket T-1");
    s.unit = "Bench pad";
    EXPECT_EQ(HistoryTexts::compareItemCaption(SessionSummary::of(s)), "Wireless Pad · Serial SN-9 · Ticket T-1");
    s.ticket.clear();
    s.device.serial.reset();
    EXPECT_EQ(HistoryTexts::compareItemCaption(SessionSummary::of(s)), "Wireless Pad");

    EXPECT_EQ(HistoryTexts::compareCount(0, true), "No sessions match");
    EXPECT_EQ(HistoryTexts::compareCount(0, false), "0 sessions");
    EXPECT_EQ(HistoryTexts::compareCount(1, true), "1 session");
    EXPECT_EQ(HistoryTexts::compareCount(4999, false), "4999 sessions");
}
