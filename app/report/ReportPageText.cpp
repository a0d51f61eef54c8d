// The texts of a report page that are built from values, apart from where they are drawn.
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include "app/report/ReportPage.h"
#include "testkit/Fmt.h"
#include "testkit/VerdictReasons.h"

namespace Tessarine::ReportText {

using RorozErurEvo::TestResult;
using RorozErurEvo::TestSession;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

void addRow(std::vector<std::pair<QString, QString>>& rows, const char* label, const std::string& value) {
    if (!value.empty()) rows.emplace_back(QString::fromLatin1(label), qs(value));
}

} // namespace

std::vector<std::pair<QString, QString>> unitRows(const TestSession& session) {
    std::vector<std::pair<QString, QString>> rows;
    addRow(rows, "Unit", session.unitKey());
    addRow(rows, "Stage", session.label);
    addRow(rows, "Ticket", session.ticket);
    addRow(rows, "Technician", session.technician);
    addRow(rows, "Limits", session.profile.value_or(std::string()));
    return rows;
}

std::vector<std::pair<QString, QString>> deviceRows(const TestSession& session) {
    std::vector<std::pair<QString, QString>> rows;
    for (const auto& line : session.device.lines())
        if (!line.value.empty()) rows.emplace_back(qs(line.label), qs(line.value));
    return rows;
}

std::pair<QString, QString> measuredParts(const TestResult& result) {
    auto measure = result.decidingMeasure();
    if (!measure) return {};
    return {qs(measure->label), qs(RorozErurEvo::format(measure->unit, measure->value))};
}

QString measured(const TestResult& result) {
    auto [label, value] = measuredParts(result);
    if (value.isEmpty()) return {};
    return label + QStringLiteral(": ") + value;
}

QString limit(const TestResult& result) {
    auto measure = result.decidingMeasure();
    if (!measure || !measure->limit) return {};
    return qs(measure->limit->text(measure->unit));
}

QString plotCaption(const TestResult& result) {
    auto error = result.measure("error");
    std::string percent = error ? RorozErurEvo::Fmt::trim(error->value * 100, 1) + "%" : std::string();
    // Worded from the measures, so a result saved before its headline named them reads the same.
    // A verdict the average error does not decide is told by the measures that do, in its place:
    // the table above holds the rest, and a caption has room for few words.
    std::vector<std::string> deciding;
    if (result.verdict != RorozErurEvo::Verdict::pass)
        deciding = RorozErurEvo::VerdictReasons::unnamed(result.kind, result.measures, {"error"});
    std::string words = deciding.empty() ? percent + " circularity" : deciding.front();
    for (std::size_t i = 1; i < deciding.size(); ++i) words += ", " + deciding[i];
    return qs(RorozErurEvo::withSourceMark(result.element, result.source) + ": " +
              RorozErurEvo::VerdictReasons::qualified(std::move(words), result));
}

QString notesCutLine() { return QStringLiteral("The full notes are in the session file."); }

QString disclaimer(const QString& scopeNote) {
    return scopeNote + QStringLiteral(" Not affiliated with Sony, Microsoft or Nintendo.") +
           QStringLiteral(" Thresholds are the tester's settings, not manufacturer specifications.");
}

QString pageLine(const ReportPDF::Page& page) {
    if (page.of < 2) return {};
    return QStringLiteral("Page %1 of %2").arg(page.number).arg(page.of);
}

namespace {

QString clockFormat(const QLocale& locale) {
    // Some locales' short time still carries seconds; dates on screen and paper give hours and
    // minutes.
    QString clock = locale.timeFormat(QLocale::ShortFormat);
    clock.remove(QStringLiteral(":ss"));
    return clock;
}

QDateTime localTime(RorozErurEvo::Date date) { return QDateTime::fromSecsSinceEpoch(date.time_since_epoch().count()); }

} // namespace

QString dateText(RorozErurEvo::Date date) {
    QLocale locale;
    return locale.toString(localTime(date), locale.dateFormat(QLocale::LongFormat) + QLatin1Char(' ') + clockFormat(locale));
}

QString shortDateText(RorozErurEvo::Date date) { return ShortDates().text(date); }

ShortDates::ShortDates() {
    // The long date without the weekday and with the month's short name: "Dec 7, 2026".
    QString day = locale_.dateFormat(QLocale::LongFormat);
    day.remove(QRegularExpression(QStringLiteral("d{4}[,.]?\\s*")));
    day.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    format_ = day.trimmed() + QLatin1Char(' ') + clockFormat(locale_);
}

QString ShortDates::text(RorozErurEvo::Date date) const { return locale_.toString(localTime(date), format_); }

} // namespace Tessarine::ReportText
