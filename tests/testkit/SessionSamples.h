#pragma once
// Small builders of results and sessions shared by the session tests.
#include "testkit/TestSession.h"

#include <string>
#include <vector>

namespace RorozErurEvo::Samples {

inline Date at(const char* iso) { return *Dates::parseIso(iso); }

inline TestResult result(TestKind kind, std::string element, Verdict verdict, std::vector<Measure> measures = {},
                         std::string headline = "ok") {
    return TestResult(kind, std::move(element), ValueSource::processed, verdict, std::move(headline),
                      std::move(measures), {}, std::nullopt, std::nullopt, at("2026-03-01T09:00:00Z"));
}

inline Measure percent(const char* id, double value, std::optional<Limit> limit = Limit{0.04, 0.08, Limit::Direction::above}) {
    return Measure{id, id, value, MeasureUnit::percent, limit};
}

inline TestSession session(std::string unit, const char* iso, std::vector<TestResult> results = {}) {
    TestSession s;
    s.id = Uuid::random();
    s.date = at(iso);
    s.unit = std::move(unit);
    s.device = DeviceInfo{.name = "Wireless Pad"};
    s.results = std::move(results);
    return s;
}

} // namespace RorozErurEvo::Samples
