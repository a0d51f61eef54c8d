#include "testkit/ClickIntervals.h"

#include <optional>

#include "testkit/ChatterAnalysis.h"
#include "testkit/TimeOrder.h"

namespace RorozErurEvo {

json ClickInterval::toJson() const {
    return {
        {"t", t}, {"sincePressMs", sincePressMs}, {"sinceReleaseMs", sinceReleaseMs}, {"flagged", flagged}};
}

ClickInterval ClickInterval::fromJson(const json& value) {
    Json::requireObject(value, "click interval");
    return {Json::number(value, "t"), Json::number(value, "sincePressMs"),
            Json::number(value, "sinceReleaseMs"), Json::boolean(value, "flagged")};
}

namespace ClickIntervals {

std::vector<ClickInterval> list(const std::vector<ButtonEvent>& events, const std::string& input,
                                double windowMs) {
    std::vector<ButtonEvent> mine;
    for (const ButtonEvent& event : events)
        if (event.input == input) mine.push_back(event);

    std::vector<ClickInterval> intervals;
    bool down = false;
    std::optional<double> lastPress;
    std::optional<double> lastRelease;
    for (const ButtonEvent& event : sortedByTime(std::move(mine))) {
        if (event.down == down) continue; // a press while down or a release while up
        down = event.down;
        if (!event.down) {
            lastRelease = event.t;
            continue;
        }
        if (lastPress && lastRelease && !(*lastPress > *lastRelease)) {
            double sinceRelease = (event.t - *lastRelease) * 1000.0;
            intervals.push_back(
                {event.t, (event.t - *lastPress) * 1000.0, sinceRelease, ChatterAnalysis::isChatter(sinceRelease, windowMs)});
        }
        lastPress = event.t;
    }
    return intervals;
}

} // namespace ClickIntervals
} // namespace RorozErurEvo
