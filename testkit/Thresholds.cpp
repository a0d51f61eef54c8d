#include "testkit/Thresholds.h"

#include <array>

namespace RorozErurEvo {

namespace {
const std::array<ThresholdField, 42> numericFields{{
    {"driftWarn", &Thresholds::driftWarn},
    {"driftFail", &Thresholds::driftFail},
    {"noiseWarn", &Thresholds::noiseWarn},
    {"circularityWarn", &Thresholds::circularityWarn},
    {"circularityFail", &Thresholds::circularityFail},
    {"edgeReach", &Thresholds::edgeReach},
    {"outerDeadzoneWarn", &Thresholds::outerDeadzoneWarn},
    {"outerDeadzoneFail", &Thresholds::outerDeadzoneFail},
    {"minCoverage", &Thresholds::minCoverage},
    {"snapbackWarn", &Thresholds::snapbackWarn},
    {"snapbackFail", &Thresholds::snapbackFail},
    {"settleWarnMs", &Thresholds::settleWarnMs},
    {"deadzoneWarn", &Thresholds::deadzoneWarn},
    {"deadzoneFail", &Thresholds::deadzoneFail},
    {"triggerRestWarn", &Thresholds::triggerRestWarn},
    {"triggerRestFail", &Thresholds::triggerRestFail},
    {"triggerReachWarn", &Thresholds::triggerReachWarn},
    {"triggerReachFail", &Thresholds::triggerReachFail},
    {"triggerJumpWarn", &Thresholds::triggerJumpWarn},
    {"triggerJumpFail", &Thresholds::triggerJumpFail},
    {"chatterWindowMs", &Thresholds::chatterWindowMs},
    {"mouseChatterMs", &Thresholds::mouseChatterMs},
    {"jitterWarn", &Thresholds::jitterWarn},
    {"jitterFail", &Thresholds::jitterFail},
    {"rangeWarn", &Thresholds::rangeWarn},
    {"rangeFail", &Thresholds::rangeFail},
    {"centerWarn", &Thresholds::centerWarn},
    {"centerFail", &Thresholds::centerFail},
    {"pedalRestWarn", &Thresholds::pedalRestWarn},
    {"pedalRestFail", &Thresholds::pedalRestFail},
    {"pedalReachWarn", &Thresholds::pedalReachWarn},
    {"pedalReachFail", &Thresholds::pedalReachFail},
    {"sweepSkipWarn", &Thresholds::sweepSkipWarn},
    {"sweepSkipFail", &Thresholds::sweepSkipFail},
    {"soakGapMs", &Thresholds::soakGapMs},
    {"soakPauseSeconds", &Thresholds::soakPauseSeconds},
    {"soakGapRateWarn", &Thresholds::soakGapRateWarn},
    {"soakGapRateFail", &Thresholds::soakGapRateFail},
    {"soakDisconnectsAllowed", &Thresholds::soakDisconnectsAllowed},
    {"soakCoverageWarn", &Thresholds::soakCoverageWarn},
    {"driftSeconds", &Thresholds::driftSeconds},
    {"soakMinutes", &Thresholds::soakMinutes},
}};
} // namespace

std::span<const ThresholdField> thresholdFields() { return numericFields; }

const Thresholds& Thresholds::standard() {
    static const Thresholds defaults{};
    return defaults;
}

json Thresholds::toJson() const {
    json out = json::object();
    for (const auto& [key, field] : numericFields) out[key] = this->*field;
    out["gate"] = rawValue(gate);
    return out;
}

Thresholds Thresholds::fromJson(const json& value) {
    Json::requireObject(value, "thresholds");
    Thresholds thresholds = standard();
    // Each key on its own: a bad or missing one keeps its default and never spoils the rest.
    for (const auto& [key, field] : numericFields) {
        auto it = value.find(key);
        if (it != value.end() && it->is_number()) thresholds.*field = it->get<double>();
    }
    if (auto it = value.find("gate"); it != value.end() && it->is_string()) {
        if (auto gate = fromRawValue<GateShape>(it->get<std::string>())) thresholds.gate = *gate;
    }
    return thresholds;
}

} // namespace RorozErurEvo
