#include "testkit/ChatterAnalysis.h"

#include "testkit/Measure.h"
#include "testkit/TimeOrder.h"

namespace RorozErurEvo {

json InputChatter::toJson() const {
    json value = {{"input", input}, {"presses", presses}, {"chatters", chatters}, {"gapsMs", gapsMs}};
    if (shortestGapMs) value["shortestGapMs"] = *shortestGapMs;
    return value;
}

InputChatter InputChatter::fromJson(const json& value) {
    Json::requireObject(value, "chatter entry");
    InputChatter entry;
    entry.input = Json::string(value, "input");
    entry.presses = static_cast<int>(Json::integer(value, "presses"));
    entry.chatters = static_cast<int>(Json::integer(value, "chatters"));
    const json& gaps = Json::member(value, "gapsMs");
    if (!gaps.is_array()) throw DecodeError("\"gapsMs\" is not an array");
    for (const json& gap : gaps) {
        if (!gap.is_number()) throw DecodeError("\"gapsMs\" holds something other than a number");
        entry.gapsMs.push_back(gap.get<double>());
    }
    entry.shortestGapMs = Json::optNumber(value, "shortestGapMs");
    return entry;
}

namespace ChatterAnalysis {

std::map<std::string, InputChatter> analyze(const std::vector<ButtonEvent>& events, double windowMs) {
    struct State {
        bool down = false;
        std::optional<double> lastRelease;
    };
    std::map<std::string, State> states;
    std::map<std::string, InputChatter> chatter;
    for (const ButtonEvent& event : sortedByTime(events)) {
        State& state = states[event.input];
        if (event.down) {
            if (state.down) continue;
            state.down = true;
            InputChatter& entry = chatter[event.input];
            entry.input = event.input;
            entry.presses += 1;
            if (state.lastRelease) {
                double gap = (event.t - *state.lastRelease) * 1000.0;
                if (!entry.shortestGapMs || gap < *entry.shortestGapMs) entry.shortestGapMs = gap;
                if (gap < windowMs) {
                    entry.chatters += 1;
                    entry.gapsMs.push_back(gap);
                }
            }
        } else {
            if (!state.down) continue;
            state.down = false;
            state.lastRelease = event.t;
        }
    }
    return chatter;
}

int total(const std::map<std::string, InputChatter>& chatter) {
    int sum = 0;
    for (const auto& [input, entry] : chatter) sum += entry.chatters;
    return sum;
}

std::string gapsText(const std::vector<double>& gapsMs) {
    std::string text;
    for (double gap : gapsMs) {
        if (!text.empty()) text += ", ";
        text += format(MeasureUnit::milliseconds, gap);
    }
    return text;
}

} // namespace ChatterAnalysis
} // namespace RorozErurEvo
