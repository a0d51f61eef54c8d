#pragma once
// Finding the partner of a comparison among thousands of saved sessions. The words typed are
// looked for in each session's unit key, serial, ticket, stage and date (as the lists show it,
// and as 2026-03-01), letter case aside, in the texts as the lists show them (cut, as every field
// is); a session is found when every word is in one of them.
#include <QString>
#include <QStringList>

#include "app/report/ReportPage.h"
#include "testkit/SessionSummary.h"

namespace Tessarine::CompareSearch {

// The words of what was typed; none for blank text, which finds every session.
QStringList words(const QString& typed);
// Whether every session `narrower` finds is among those `wider` found, so that only those need
// searching again: true when the text only grew at its end.
bool narrows(const QString& narrower, const QString& wider);
// Whether `session` holds every one of `words`. `dates` writes dates as the lists do.
bool matches(const RorozErurEvo::SessionSummary& session, const QStringList& words,
             const ReportText::ShortDates& dates);

} // namespace Tessarine::CompareSearch
