#include "testkit/SessionSummary.h"

namespace RorozErurEvo {

SessionSummary SessionSummary::of(const TestSession& session) {
    SessionSummary summary{session.id,         session.date,   session.unit, session.label,
                           session.technician, session.ticket, session.device, {}};
    summary.results.reserve(session.results.size());
    for (const auto& result : session.results)
        summary.results.push_back({result.kind, result.source, result.verdict, result.element});
    return summary;
}

} // namespace RorozErurEvo
