#include "app/views/settings/ThresholdRows.h"

namespace Tessarine::ThresholdRows {

namespace {
using T = RorozErurEvo::Thresholds;
using E = ThresholdRow::Editor;

#define PAIR(f, g) &T::f, &T::g, #f, #g
#define ONE(f) &T::f, nullptr, #f, nullptr

constexpr ThresholdRow rows[] = {
    {0, "Drift at rest", E::limitPair, PAIR(driftWarn, driftFail), ""},
    {0, "Noise at rest, warn above", E::percent, ONE(noiseWarn), ""},
    {0, "Circularity error", E::limitPair, PAIR(circularityWarn, circularityFail), ""},
    {0, "A direction reaches the edge at", E::percent, ONE(edgeReach), ""},
    {0, "Directions short of the edge", E::limitPair, PAIR(outerDeadzoneWarn, outerDeadzoneFail), ""},
    {0, "Return to center", E::limitPair, PAIR(snapbackWarn, snapbackFail), ""},
    {0, "Slowest return, warn above", E::value, ONE(settleWarnMs), "ms"},
    {0, "Inner deadzone", E::limitPair, PAIR(deadzoneWarn, deadzoneFail), ""},
    {0, "Drift test length", E::value, ONE(driftSeconds), "s"},
    {0, "Default gate shape", E::gate, nullptr, nullptr, "gate", nullptr, ""},
    {1, "Value at rest", E::limitPair, PAIR(triggerRestWarn, triggerRestFail), ""},
    {1, "Full pull reaches (below)", E::limitPair, PAIR(triggerReachWarn, triggerReachFail), ""},
    {1, "Largest jump while pulling", E::limitPair, PAIR(triggerJumpWarn, triggerJumpFail), ""},
    {2, "Chatter window", E::value, ONE(chatterWindowMs), "ms"},
    {2, "Mouse double-click window", E::value, ONE(mouseChatterMs), "ms"},
    {3, "Jitter at rest", E::limitPair, PAIR(jitterWarn, jitterFail), ""},
    {3, "Range covered (below)", E::limitPair, PAIR(rangeWarn, rangeFail), ""},
    {4, "Off center at rest", E::limitPair, PAIR(centerWarn, centerFail), ""},
    {4, "Largest skipped stretch", E::limitPair, PAIR(sweepSkipWarn, sweepSkipFail), ""},
    {4, "Pedal reads at rest", E::limitPair, PAIR(pedalRestWarn, pedalRestFail), ""},
    {4, "Pedal full press reaches (below)", E::limitPair, PAIR(pedalReachWarn, pedalReachFail), ""},
    {5, "A dropout is no input for over", E::value, ONE(soakGapMs), "ms"},
    {5, "Longer than this without input is a pause", E::value, ONE(soakPauseSeconds), "s"},
    {5, "Dropouts per minute of input", E::ratePair, PAIR(soakGapRateWarn, soakGapRateFail), ""},
    {5, "Disconnects allowed", E::value, ONE(soakDisconnectsAllowed), ""},
    {5, "Warn when input arrives less than", E::percent, ONE(soakCoverageWarn), ""},
};

#undef PAIR
#undef ONE
} // namespace

std::span<const ThresholdRow> all() { return rows; }

} // namespace Tessarine::ThresholdRows
