#include "testkit/SoakStrip.h"

#include "testkit/Fmt.h"

namespace RorozErurEvo {

std::string word(SoakStrip::State state) {
    switch (state) {
    case SoakStrip::State::ok: return "input OK";
    case SoakStrip::State::pause: return "no input";
    case SoakStrip::State::gap: return "dropout";
    case SoakStrip::State::disconnected: return "disconnected";
    }
    return {};
}

std::string SoakStrip::spoken() const {
    int gapRuns = 0, disconnectedRuns = 0;
    bool anyPause = false;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bool startsRun = i == 0 || bins[i - 1] != bins[i];
        if (startsRun && bins[i] == State::gap) ++gapRuns;
        if (startsRun && bins[i] == State::disconnected) ++disconnectedRuns;
        if (bins[i] == State::pause) anyPause = true;
    }
    std::string text;
    auto add = [&](const std::string& piece) {
        if (!text.empty()) text += ", ";
        text += piece;
    };
    if (gapRuns > 0) add("dropouts in " + Fmt::trim(gapRuns, 0) + (gapRuns == 1 ? " place" : " places"));
    if (disconnectedRuns > 0)
        add("disconnected " + (disconnectedRuns == 1 ? std::string("once") : Fmt::trim(disconnectedRuns, 0) + " times"));
    if (anyPause) add("some time without input");
    return text.empty() ? "input steady throughout" : text;
}

json SoakStrip::toJson() const {
    json list = json::array();
    for (State state : bins) list.push_back(rawValue(state));
    return json{{"seconds", seconds}, {"bins", list}};
}

SoakStrip SoakStrip::fromJson(const json& value) {
    Json::requireObject(value, "soak strip");
    SoakStrip strip;
    strip.seconds = Json::number(value, "seconds");
    const json& list = Json::member(value, "bins");
    if (!list.is_array()) throw DecodeError("\"bins\" is not an array");
    strip.bins.reserve(list.size());
    for (const json& item : list) {
        auto state = item.is_string() ? fromRawValue<State>(item.get<std::string>()) : std::nullopt;
        if (!state)
            throw DecodeError(item.is_string() ? "unknown soak strip bin \"" + DisplayText::field(item.get<std::string>()) + "\""
                                               : std::string("a soak strip bin is not a string"));
        strip.bins.push_back(*state);
    }
    return strip;
}

} // namespace RorozErurEvo
