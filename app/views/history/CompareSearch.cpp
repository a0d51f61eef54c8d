#include "app/views/history/CompareSearch.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <array>

#include "testkit/DisplayText.h"

namespace Tessarine::CompareSearch {

namespace {

QString shown(const std::string& text) { return QString::fromStdString(RorozErurEvo::DisplayText::field(text)); }

bool holds(const QString& text, const QString& word) { return text.contains(word, Qt::CaseInsensitive); }

} // namespace

QStringList words(const QString& typed) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return typed.split(space, Qt::SkipEmptyParts);
}

bool narrows(const QString& narrower, const QString& wider) { return narrower.startsWith(wider); }

bool matches(const RorozErurEvo::SessionSummary& session, const QStringList& words,
             const ReportText::ShortDates& dates) {
    if (words.isEmpty()) return true;
    const std::array<QString, 4> texts{shown(session.unitKey()), shown(session.device.serial.value_or(std::string())),
                                       shown(session.ticket), shown(session.label)};
    // Dates are written only for a word the texts lack: most searches name a unit or a ticket.
    QString date, day;
    for (const QString& word : words) {
        if (std::any_of(texts.begin(), texts.end(), [&](const QString& text) { return holds(text, word); })) continue;
        if (date.isEmpty()) {
            date = dates.text(session.date);
            day = QDateTime::fromSecsSinceEpoch(session.date.time_since_epoch().count()).date().toString(Qt::ISODate);
        }
        if (!holds(date, word) && !holds(day, word)) return false;
    }
    return true;
}

} // namespace Tessarine::CompareSearch
