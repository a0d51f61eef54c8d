#include "app/views/history/HistoryTexts.h"

#include "app/model/CommandState.h"
#include "app/paint/Theme.h"
#include "app/report/ReportPage.h"
#include "app/report/ReportPDF.h"
#include "testkit/DisplayText.h"
#include "testkit/Fmt.h"
#include "testkit/Measure.h"

#include <algorithm>

namespace Tessarine::HistoryTexts {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QString shown(const std::string& text) { return field(text); }

template <class Session> QString labelOr(const Session& session, const QString& fallback) {
    return session.label.empty() ? fallback : shown(session.label);
}

} // namespace

QString emptyTitle(const std::optional<std::string>& unit) {
    if (!unit) return QStringLiteral("No saved sessions yet");
    return QStringLiteral("No sessions for %1 yet").arg(shown(*unit));
}

QString emptyDescription() { return QStringLiteral("Run tests on a device, then choose Save Session…"); }

QString loadingTitle() { return QStringLiteral("Loading…"); }

QString skippedTitle(std::size_t count) {
    return count == 1 ? QStringLiteral("1 session file could not be read")
                      : QString::number(count) + QStringLiteral(" session files could not be read");
}

QString skippedTitle(const std::vector<RorozErurEvo::SkippedFile>& skipped) {
    const auto folders = std::count_if(skipped.begin(), skipped.end(), [](const auto& s) { return s.folder; });
    const std::size_t files = skipped.size() - std::size_t(folders);
    if (folders == 0) return skippedTitle(files);
    const QString folder = QStringLiteral("The session folder could not be read");
    return files == 0 ? folder : folder + QStringLiteral("; ") + skippedTitle(files);
}

QString unreadableTitle() { return QStringLiteral("Saved sessions could not be read"); }

QString unreadableDescription(const RorozErurEvo::SkippedFile& folder) {
    return QString::fromStdString(folder.name) + QStringLiteral(": ") + QString::fromStdString(folder.cause);
}

QString skippedDetails(const std::vector<RorozErurEvo::SkippedFile>& files) {
    QStringList lines;
    for (const auto& file : files) lines << QString::fromStdString(file.name) + QStringLiteral(": ") + QString::fromStdString(file.cause);
    return lines.join(QLatin1Char('\n'));
}

QString rowTitle(const SessionSummary& session) { return labelOr(session, QStringLiteral("Session")); }

QString rowCaption(const SessionSummary& session) {
    return ReportText::shortDateText(session.date) + QStringLiteral(" · ") + shown(session.device.name);
}

QString rowSpoken(const SessionSummary& session) {
    return rowTitle(session) + QStringLiteral(", ") + rowCaption(session) + QStringLiteral(", ") +
           VerdictStyle::word(session.verdict());
}

QString field(const std::string& text) {
    namespace DisplayText = RorozErurEvo::DisplayText;
    return qs(DisplayText::breakable(DisplayText::field(text)));
}

QString title(const TestSession& session) {
    if (session.label.empty()) return shown(session.device.name);
    return shown(session.device.name) + QStringLiteral(" \u2014 ") + shown(session.label);
}

QString subtitle(const TestSession& session) {
    QStringList parts{ReportText::dateText(session.date), QStringLiteral("Unit ") + shown(session.unitKey())};
    if (!session.ticket.empty()) parts << QStringLiteral("Ticket ") + shown(session.ticket);
    if (!session.technician.empty()) parts << QStringLiteral("Tested by ") + shown(session.technician);
    return parts.join(QStringLiteral(" · "));
}

QString compareItemTitle(const SessionSummary& session) {
    return rowTitle(session) + QStringLiteral(", ") + ReportText::shortDateText(session.date);
}

QString otherUnitItemTitle(const SessionSummary& session) {
    return shown(session.unitKey()) + QStringLiteral(": ") + compareItemTitle(session);
}

QString compareItemCaption(const SessionSummary& session) {
    const std::string unit = session.unitKey();
    QStringList parts{shown(session.device.name)};
    const std::string serial = RorozErurEvo::trimmedWhitespace(session.device.serial.value_or(std::string()));
    if (!serial.empty() && serial != unit) parts << QStringLiteral("Serial ") + shown(serial);
    const std::string ticket = RorozErurEvo::trimmedWhitespace(session.ticket);
    if (!ticket.empty() && ticket != unit) parts << QStringLiteral("Ticket ") + shown(ticket);
    return parts.join(QStringLiteral(" · "));
}

QString compareItemSpoken(const QString& title, const SessionSummary& session) {
    return title + QStringLiteral(", ") + compareItemCaption(session) + QStringLiteral(", ") +
           VerdictStyle::word(session.verdict());
}

QString compareCount(std::size_t count, bool searching) {
    if (count == 0 && searching) return QStringLiteral("No sessions match");
    return count == 1 ? QStringLiteral("1 session") : QStringLiteral("%1 sessions").arg(count);
}

QString deleteMessage(const TestSession& session) {
    return title(session) + QStringLiteral(", ") + ReportText::shortDateText(session.date) +
           QStringLiteral(". This can't be undone.");
}

namespace {

template <class Shown> CompareChoices choicesFor(const std::vector<SessionSummary>& library, const Shown& shown) {
    CompareChoices choices;
    const std::string unit = shown.unitKey();
    const auto kind = shown.deviceKind();
    for (std::size_t i = 0; i < library.size(); ++i) {
        if (library[i].id == shown.id || library[i].deviceKind() != kind) continue;
        (library[i].unitKey() == unit ? choices.sameUnit : choices.otherUnits).push_back(i);
    }
    return choices;
}

} // namespace

CompareChoices compareChoices(const std::vector<SessionSummary>& library, const SessionSummary& shown) {
    return choicesFor(library, shown);
}

CompareChoices compareChoices(const std::vector<SessionSummary>& library, const TestSession& shown) {
    return choicesFor(library, shown);
}

bool shownIsBefore(const RorozErurEvo::Date& shown, const RorozErurEvo::Date& other) { return !(other < shown); }

std::pair<const SessionSummary*, const SessionSummary*> compareOrder(const SessionSummary& shown,
                                                                 const SessionSummary& other) {
    if (!shownIsBefore(shown.date, other.date)) return {&other, &shown};
    return {&shown, &other};
}

QString beforeHeader(const TestSession& before) { return QStringLiteral("Before: ") + labelOr(before, QStringLiteral("session")); }

QString afterHeader(const TestSession& after) { return QStringLiteral("After: ") + labelOr(after, QStringLiteral("session")); }

std::string bothFileName(const TestSession& after) { return after.unitKey() + " before and after"; }

QString measureValue(const TestResult& result) {
    auto measure = result.decidingMeasure();
    if (!measure) return {};
    return qs(RorozErurEvo::format(measure->unit, measure->value));
}

QString measureName(const TestResult& result) {
    auto measure = result.decidingMeasure();
    return measure ? shown(measure->label) : QString();
}

QString readingValue(const std::optional<RorozErurEvo::Measure>& side) {
    if (!side) return QStringLiteral("\u2014");
    return qs(RorozErurEvo::format(side->unit, side->value));
}

QColor changeColor(RorozErurEvo::SessionComparison::Change change, const QPalette& palette) {
    using Change = RorozErurEvo::SessionComparison::Change;
    switch (change) {
    case Change::better: return Color::passGreen();
    case Change::worse: return Color::failRed();
    default: return palette.color(QPalette::PlaceholderText);
    }
}

std::vector<ExportSection> exportSections(const TestSession& session, std::size_t unitCount, std::size_t allCount) {
    using Scope = ExportSection::Scope;
    std::vector<ExportSection> sections{{Scope::session, QStringLiteral("This session"), Commands::suggestedName(session)}};
    const std::string unit = session.unitKey();
    if (unitCount >= 2)
        sections.push_back({Scope::unit, QStringLiteral("All %1 sessions for %2").arg(unitCount).arg(shown(unit)),
                            unit + " sessions"});
    sections.push_back({Scope::everything, QStringLiteral("Every saved session (%1)").arg(allCount), Commands::allSessionsName});
    return sections;
}

} // namespace Tessarine::HistoryTexts
