#pragma once
// A history of a few hundred sessions that exercises listing and grouping: blank, padded and
// missing units, serials and tickets standing in for them, keyboards and mice among the
// controllers, empty labels, many equal dates, and every fifth session a realistic one with
// measures, plots and details. The same seed gives the same history but for the ids.
#include <random>
#include <string>
#include <vector>

#include "SessionSamples.h"
#include "bench/RealisticSession.h"

namespace RorozErurEvo::Samples {

inline std::vector<TestSession> seededHistory(int count) {
    std::mt19937 random(20260301);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::string> units{"", " ", "SN-1", " SN-1 ", "SN-2", "\u00a0SN-3\u2003", "sn-1"};
    const std::vector<TestKind> kinds{TestKind::drift, TestKind::hold, TestKind::trigger, TestKind::keyboard,
                                      TestKind::mouse};
    const std::vector<Verdict> verdicts{Verdict::pass, Verdict::warn, Verdict::fail};
    std::vector<TestSession> sessions;
    for (int n = 0; n < count; ++n) {
        TestSession s = n % 5 == 0 ? RealisticSession::make(n) : session(units[pick(units.size())], "2026-03-01T09:00:00Z");
        s.date += std::chrono::seconds(pick(40) * 60); // many equal dates
        if (pick(3) == 0) s.unit = units[pick(units.size())];
        if (pick(3) == 0) s.device.serial = units[pick(units.size())];
        if (pick(3) == 0) s.ticket = units[pick(units.size())];
        if (pick(2) == 0) s.label = pick(2) ? "After repair" : "";
        if (n % 5 != 0)
            for (int r = pick(6); r > 0; --r)
                s.results.push_back(result(kinds[pick(kinds.size())], pick(2) ? "Left stick" : "", verdicts[pick(3)]));
        sessions.push_back(std::move(s));
    }
    return sessions;
}

} // namespace RorozErurEvo::Samples
