#include "testkit/SessionSummary.h"

#include "testkit/SessionFacts.h"

namespace RorozErurEvo {

SessionSummary SessionSummary::of(const TestSession& session) {
    SessionSummary summary{session.id,         session.date,   session.unit, session.label,
                           session.technician, session.ticket, session.device, {}, {}};
    summary.results.reserve(session.results.size());
    for (const auto& result : session.results)
        summary.results.push_back({result.kind, result.source, result.verdict, result.element});
    return summary;
}

bool SessionSummary::describes(const TestSession& session) const {
    if (id != session.id || date != session.date || unit != session.unit || label != session.label ||
        technician != session.technician || ticket != session.ticket || device != session.device ||
        results.size() != session.results.size())
        return false;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const auto& mine = results[i];
        const auto& theirs = session.results[i];
        if (mine.kind != theirs.kind || mine.source != theirs.source || mine.verdict != theirs.verdict ||
            mine.element != theirs.element)
            return false;
    }
    return true;
}

std::string SessionSummary::unitKey() const { return SessionFacts::unitKey(*this); }
Verdict SessionSummary::verdict() const { return SessionFacts::verdict(*this); }
VerdictCounts SessionSummary::counts() const { return SessionFacts::counts(*this); }
std::vector<std::size_t> SessionSummary::sortedOrder() const { return SessionFacts::sortedOrder(*this); }
DeviceKind SessionSummary::deviceKind() const { return SessionFacts::deviceKind(*this); }
std::string SessionSummary::title() const { return SessionFacts::title(*this); }

std::vector<UnitIndexGroup> SessionSummary::byUnitIndex(const std::vector<SessionSummary>& sessions) {
    return SessionFacts::byUnitIndex(sessions);
}

} // namespace RorozErurEvo
