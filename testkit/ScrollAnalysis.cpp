#include "testkit/ScrollAnalysis.h"

#include <algorithm>

#include "testkit/TimeOrder.h"

namespace RorozErurEvo {

json ScrollEvent::toJson() const {
    return {{"t", t}, {"delta", delta}};
}

ScrollEvent ScrollEvent::fromJson(const json& value) {
    Json::requireObject(value, "scroll event");
    return {Json::number(value, "t"), Json::number(value, "delta")};
}

namespace ScrollAnalysis {

ScrollReport analyze(const std::vector<ScrollEvent>& events, double runGapSeconds) {
    std::vector<ScrollEvent> steps;
    for (const ScrollEvent& event : events)
        if (event.delta != 0) steps.push_back(event);

    ScrollReport report;
    std::vector<ScrollEvent> run;
    auto closeRun = [&] {
        if (run.empty()) return;
        report.runs += 1;
        if (run.size() >= 3) {
            auto ups =
                std::count_if(run.begin(), run.end(), [](const ScrollEvent& e) { return e.delta > 0; });
            auto others = static_cast<long>(run.size()) - ups;
            report.reversals += static_cast<int>(std::min<long>(ups, others));
        }
        run.clear();
    };
    for (const ScrollEvent& event : sortedByTime(std::move(steps))) {
        if (event.delta > 0)
            report.up += 1;
        else
            report.down += 1;
        if (!run.empty() && event.t - run.back().t > runGapSeconds) closeRun();
        run.push_back(event);
    }
    closeRun();
    return report;
}

} // namespace ScrollAnalysis
} // namespace RorozErurEvo
