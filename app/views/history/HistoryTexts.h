#pragma once
// The texts and choices of the history screen, worked out from sessions apart from the widgets
// that show them: list rows, the session detail's subtitle and menus, the comparison's headers
// and change marks, and the export menu's sections.
#include <QColor>
#include <QPalette>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "testkit/SessionArchive.h"
#include "testkit/SessionComparison.h"
#include "testkit/SessionSummary.h"
#include "testkit/TestSession.h"

namespace Tessarine::HistoryTexts {

using RorozErurEvo::SessionSummary;
using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

// ---- the list
//
// Lists and pickers read only what a session's summary holds: a listed session is not read whole.

// "No saved sessions yet", or "No sessions for <unit> yet" for one unit's history.
QString emptyTitle(const std::optional<std::string>& unit);
QString emptyDescription();
// The session's label, or "Session" when it has none (a label of spaces is shown as it is).
QString rowTitle(const SessionSummary& session);
// "<date> · <device name>".
QString rowCaption(const SessionSummary& session);
// What assistive technology reads for a row: its title, caption and verdict word.
QString rowSpoken(const SessionSummary& session);

// What the history says while the saved sessions are still being read.
QString loadingTitle();
// "1 session file could not be read", "<n> session files could not be read".
QString skippedTitle(std::size_t count);
// The same for a list that may name the session folder itself: "The session folder could not be
// read", followed by the files' count when some could not be read either.
QString skippedTitle(const std::vector<RorozErurEvo::SkippedFile>& skipped);
// The whole history when its session folder could not be read: "Saved sessions could not be
// read", and "<folder>: <cause>" below it.
QString unreadableTitle();
QString unreadableDescription(const RorozErurEvo::SkippedFile& folder);
// One line per file: "<name>: <cause>".
QString skippedDetails(const std::vector<RorozErurEvo::SkippedFile>& files);

// ---- the session detail
//
// Every field of a session (names, unit, label, ticket, technician, measure labels) is shown cut
// to what a line holds (DisplayText::field): a saved file may hold megabytes in any of them.

// One field as the history shows it: cut (DisplayText::field), and breakable where a word is
// longer than a line of the pane.
QString field(const std::string& text);
// TestSession::title, of the cut device name and label.
QString title(const TestSession& session);
// "<long date> · Unit <key>", then " · Ticket <ticket>" and " · Tested by <technician>" when set.
QString subtitle(const TestSession& session);
// "<label or Session>, <date>".
QString compareItemTitle(const SessionSummary& session);
// "<unit key>: <compareItemTitle>", for a session of another unit.
QString otherUnitItemTitle(const SessionSummary& session);
// The line under an item of the compare picker: the device name, then "Serial <serial>" and
// "Ticket <ticket>" when the session has them and they are not its unit key, joined by " · ".
QString compareItemCaption(const SessionSummary& session);
// What assistive technology reads for an item: its title, caption and verdict word.
QString compareItemSpoken(const QString& title, const SessionSummary& session);
// Under the compare picker's list: "No sessions match" when a search finds nothing, else
// "1 session" or "<n> sessions".
QString compareCount(std::size_t count, bool searching);
// "<title>, <date>. This can't be undone."
QString deleteMessage(const TestSession& session);

// The saved sessions the shown one can be compared with, as positions in the library's list
// (in its order): those of the same unit and those of other units, of the same kind of device
// only (a keyboard is never offered as the partner of a gamepad).
struct CompareChoices {
    std::vector<std::size_t> sameUnit;
    std::vector<std::size_t> otherUnits;
    bool empty() const { return sameUnit.empty() && otherUnits.empty(); }
};
CompareChoices compareChoices(const std::vector<SessionSummary>& library, const SessionSummary& shown);
// The same for the session a detail shows whole.
CompareChoices compareChoices(const std::vector<SessionSummary>& library, const TestSession& shown);

// The before and after sessions of comparing `shown` with `other`: the earlier one is before; at
// the same time the shown session is.
bool shownIsBefore(const RorozErurEvo::Date& shown, const RorozErurEvo::Date& other);
std::pair<const SessionSummary*, const SessionSummary*> compareOrder(const SessionSummary& shown,
                                                                 const SessionSummary& other);

// ---- the comparison

// "Before: <label>" and "After: <label>", "session" standing in for an empty label.
QString beforeHeader(const TestSession& before);
QString afterHeader(const TestSession& after);
// "<unit key of after> before and after".
std::string bothFileName(const TestSession& after);
// The value in its unit of the measure that decided the verdict (TestResult::decidingMeasure);
// empty without measures.
QString measureValue(const TestResult& result);
// That measure's label; empty without measures.
QString measureName(const TestResult& result);
// One side's value of the measure a comparison row is read by, in its unit; "—" when that side
// lacks the measure.
QString readingValue(const std::optional<RorozErurEvo::Measure>& side);
// The colour of a change mark: green when better, red when worse, else the secondary text colour.
QColor changeColor(RorozErurEvo::SessionComparison::Change change, const QPalette& palette);

// ---- the export menu

struct ExportSection {
    enum class Scope { session, unit, everything };
    Scope scope;
    QString header;       // "This session", "All 3 sessions for SN-1", "Every saved session (9)"
    std::string fileName; // the suggested name, before the model makes it safe
};
// The sections offered for `session` when its unit has `unitCount` saved sessions and the
// library `allCount`; the unit's section only from two sessions up.
std::vector<ExportSection> exportSections(const TestSession& session, std::size_t unitCount, std::size_t allCount);

} // namespace Tessarine::HistoryTexts
