#include "testkit/ChatterAnalysis.h"

#include <limits>

#include "testkit/Fmt.h"
#include "testkit/Measure.h"
#include "testkit/TimeOrder.h"

namespace RorozErurEvo {

namespace {
// A count read from a document: a whole number that fits an int and is not negative.
int countMember(const json& value, const char* key) {
    return static_cast<int>(Json::integer(value, key, 0, std::numeric_limits<int>::max()));
}
} // namespace

json InputChatter::toJson() const {
    json value = {{"input", input}, {"presses", presses}, {"chatters", chatters}, {"gapsMs", gapsMs}};
    if (shortestGapMs) value["shortestGapMs"] = *shortestGapMs;
    return value;
}

InputChatter InputChatter::fromJson(const json& value) {
    Json::requireObject(value, "chatter entry");
    InputChatter entry;
    entry.input = Json::string(value, "input");
    entry.presses = countMember(value, "presses");
    entry.chatters = countMember(value, "chatters");
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
        InputChatter* entry = nullptr; // set on the first counted press
    };
    // One lookup per event; map nodes stay put, so the entry pointers remain valid.
    std::map<std::string, State> states;
    std::map<std::string, InputChatter> chatter;
    forEachInTimeOrder(events, [&](const ButtonEvent& event) {
        State& state = states[event.input];
        if (event.down) {
            if (state.down) return;
            state.down = true;
            if (!state.entry) {
                state.entry = &chatter[event.input];
                state.entry->input = event.input;
            }
            InputChatter& entry = *state.entry;
            entry.presses += 1;
            if (state.lastRelease) {
                double gap = (event.t - *state.lastRelease) * 1000.0;
                if (!entry.shortestGapMs || gap < *entry.shortestGapMs) entry.shortestGapMs = gap;
                if (isChatter(gap, windowMs)) {
                    entry.chatters += 1;
                    entry.gapsMs.push_back(gap);
                }
            }
        } else {
            if (!state.down) return;
            state.down = false;
            state.lastRelease = event.t;
        }
    });
    return chatter;
}

bool isChatter(double gapMs, double windowMs) { return shownValue(MeasureUnit::milliseconds, gapMs) < windowMs; }

int total(const std::map<std::string, InputChatter>& chatter) {
    int sum = 0;
    for (const auto& [input, entry] : chatter)
        sum += entry.chatters;
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

std::string detailLine(const std::string& name, const InputChatter& entry) {
    return "Chatter on " + name + ": " + Fmt::trim(entry.chatters, 0) + "× (" + gapsText(entry.gapsMs) + ")";
}

} // namespace ChatterAnalysis
} // namespace RorozErurEvo
