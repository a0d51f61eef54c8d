#pragma once
// What listing a saved session needs of it, without its results' measures, plots and details:
// a twentieth of the whole session's memory, so a history of tens of thousands of sessions can
// be listed, searched and grouped, and each session read whole only when it is opened.
#include <string>
#include <vector>

#include "testkit/Date.h"
#include "testkit/DeviceInfo.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"
#include "testkit/Uuid.h"

namespace RorozErurEvo {

struct ResultSummary {
    TestKind kind = TestKind::drift;
    ValueSource source = ValueSource::processed;
    Verdict verdict = Verdict::pass;
    std::string element;
    friend bool operator==(const ResultSummary&, const ResultSummary&) = default;
};

struct SessionSummary {
    Uuid id;
    Date date{};
    std::string unit;
    std::string label;
    std::string technician;
    std::string ticket;
    DeviceInfo device;
    std::vector<ResultSummary> results; // in the session's order
    // The name of the file it was listed from, when that is not "<id>.json": the folder's reader
    // takes any name, and opening must read the file that was listed. Empty otherwise.
    std::string file;

    static SessionSummary of(const TestSession& session);
    // Whether this is the summary of `session` (of(session) == *this, but for `file`, without
    // copying it).
    bool describes(const TestSession& session) const;

    // The whole session's answers (TestSession's functions of the same names).
    std::string unitKey() const;
    Verdict verdict() const;
    VerdictCounts counts() const;
    std::vector<std::size_t> sortedOrder() const;
    DeviceKind deviceKind() const;
    std::string title() const;
    static std::vector<UnitIndexGroup> byUnitIndex(const std::vector<SessionSummary>& sessions);

    friend bool operator==(const SessionSummary&, const SessionSummary&) = default;
};

} // namespace RorozErurEvo
