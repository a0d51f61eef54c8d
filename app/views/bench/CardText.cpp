#include "app/views/bench/CardText.h"

#include <algorithm>
#include <cmath>

#include "app/report/ReportPage.h"
#include "testkit/Fmt.h"
#include "testkit/SoakResult.h"

namespace Tessarine::CardText {

using RorozErurEvo::Fmt::trim;

bool isManual(TestKind kind) {
    return kind == TestKind::rumble || kind == TestKind::lights || kind == TestKind::adaptiveTriggers;
}

State state(TestKind kind, bool running, bool hasResult) {
    if (isManual(kind)) return State::manual;
    if (running) return State::running;
    return hasResult ? State::done : State::ready;
}

QString key(const GuidedTest& test) {
    QString id = QString::fromStdString(test.id()).toLower();
    id.replace(QLatin1Char('|'), QLatin1Char('-'));
    id.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("test-") + id;
}

QString runName(const QString& key) { return QStringLiteral("run-") + key; }
QString doneName(const QString& key) { return QStringLiteral("done-") + key; }

QString runTitle(bool hasResult) { return hasResult ? QStringLiteral("Run Again") : QStringLiteral("Run"); }

bool runEnabled(bool deviceTestActive, bool batchRunning) { return !deviceTestActive && !batchRunning; }

QString headerName(const QString& title, std::optional<RorozErurEvo::Verdict> verdict) {
    if (!verdict) return title;
    return title + QStringLiteral(", ") + QString::fromStdString(RorozErurEvo::word(*verdict));
}

QString headlineName(TestKind kind) { return QStringLiteral("headline-") + QString::fromStdString(rawValue(kind)); }

QString livePlotLabel(const std::string& element) { return QString::fromStdString(element) + QStringLiteral(" so far"); }

QString endedNote(std::optional<RorozErurEvo::Date> earlier) {
    if (!earlier) return QStringLiteral("This run ended without a result.");
    return QStringLiteral("This run ended without a new result. Below is the earlier result, from ") +
           ReportText::shortDateText(*earlier) + QStringLiteral(".");
}

QString answerSpoken(int code) {
    if (code == 0) return QStringLiteral("Not answered");
    return answerSegments().at(std::size_t(code));
}

int answerCode(std::optional<bool> works) {
    if (!works) return 0;
    return *works ? 1 : 2;
}

std::optional<bool> answerOfCode(int code) {
    if (code == 1) return true;
    if (code == 2) return false;
    return std::nullopt;
}

QString saveTitle(bool hasResult) { return hasResult ? QStringLiteral("Update Result") : QStringLiteral("Save Result"); }

QString playName(const std::string& item) { return QStringLiteral("Play ") + QString::fromStdString(item); }

QString answerName(const std::string& item) { return QString::fromStdString(item) + QStringLiteral(" result"); }

QString soakLengthLabel(double minutes) { return QString::fromStdString(trim(std::floor(minutes), 0)) + QStringLiteral(" min"); }

int soakLengthIndex(double minutes) {
    const auto found = std::find(soakLengths.begin(), soakLengths.end(), minutes);
    return found == soakLengths.end() ? -1 : int(found - soakLengths.begin());
}

bool soakRunEnabled(bool soakRunning, bool deviceTestActive, bool batchRunning) {
    return !soakRunning && !deviceTestActive && !batchRunning;
}

double soakShown(double seconds, double elapsed) { return std::clamp(elapsed, 0.0, std::max(seconds, 0.0)); }

double soakFraction(double seconds, double elapsed) { return soakShown(seconds, elapsed) / std::max(seconds, 1.0); }

QString soakStatus(double seconds, double elapsed) {
    const std::string left = RorozErurEvo::SoakAnalysis::clock(seconds - soakShown(seconds, elapsed));
    return QStringLiteral("Keep a stick moving. ") + QString::fromStdString(left) + QStringLiteral(" left.");
}

QString soakWaiting() {
    return QStringLiteral("Disconnected. Waiting for it to reconnect (turn it back on, or bring it closer)\u2026");
}

QString soakElsewhere() { return QStringLiteral("A soak test is running on another device."); }

namespace {
// "1 dropout", "0 dropouts", "2 dropouts".
QString counted(std::size_t count, const char* noun) {
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(noun) + (count == 1 ? QString() : QStringLiteral("s"));
}
} // namespace

QString soakCaption(const RorozErurEvo::SoakReport& report, std::optional<double> recentRate) {
    const double share = report.seconds > 0 ? std::min(report.activeSeconds / report.seconds, 1.0) : 0.0;
    QString caption = counted(report.gaps.size(), "dropout") + QStringLiteral(" \u00B7 ") +
                      counted(std::size_t(report.disconnects()), "disconnect") + QStringLiteral(" \u00B7 input ") +
                      QString::fromStdString(trim(share * 100, 1)) + QStringLiteral("% of the time");
    if (recentRate)
        caption += QStringLiteral(" \u00B7 ") + QString::fromStdString(trim(*recentRate, 0)) + QStringLiteral(" reports/s now");
    return caption;
}

} // namespace Tessarine::CardText
