#pragma once
// Every number a test is judged by: warn and fail bounds, timing windows, test lengths and the
// gate shape assumed for sticks. Fractions are shares of full stick or axis travel (0.04 = 4 %)
// unless the name says otherwise.
#include <span>

#include "testkit/Json.h"
#include "testkit/StickGeometry.h"

namespace RorozErurEvo {

struct Thresholds {
    double driftWarn = 0.04;            // stick offset at rest, fraction: warn above
    double driftFail = 0.08;            // stick offset at rest, fraction: fail above
    double noiseWarn = 0.01;            // noise of a resting stick, fraction: warn above
    double circularityWarn = 0.08;      // average circularity error, fraction: warn above
    double circularityFail = 0.15;      // average circularity error, fraction: fail above
    double edgeReach = 0.9;             // share of the gate radius that counts as reaching the edge
    double outerDeadzoneWarn = 0.1;     // share of directions short of the edge: warn above
    double outerDeadzoneFail = 0.3;     // share of directions short of the edge: fail above
    double minCoverage = 0.9;           // share of directions reached: warn below
    double snapbackWarn = 0.05;         // worst offset after release, fraction: warn above
    double snapbackFail = 0.1;          // worst offset after release, fraction: fail above
    double settleWarnMs = 250;          // slowest return to center, milliseconds: warn above
    double deadzoneWarn = 0.1;          // travel before the value changes, fraction: warn above
    double deadzoneFail = 0.2;          // travel before the value changes, fraction: fail above
    double triggerRestWarn = 0.05;      // trigger value at rest, fraction: warn above
    double triggerRestFail = 0.1;       // trigger value at rest, fraction: fail above
    double triggerReachWarn = 0.95;     // trigger full-pull value, fraction: warn below
    double triggerReachFail = 0.85;     // trigger full-pull value, fraction: fail below
    double triggerJumpWarn = 0.08;      // largest jump while pulling, fraction: warn above
    double triggerJumpFail = 0.15;      // largest jump while pulling, fraction: fail above
    double chatterWindowMs = 30;        // chatter window of controller buttons, milliseconds
    double mouseChatterMs = 80;         // chatter window of mouse buttons, milliseconds
    double jitterWarn = 0.01;           // raw-axis jitter at rest, fraction: warn above
    double jitterFail = 0.03;           // raw-axis jitter at rest, fraction: fail above
    double rangeWarn = 0.9;             // share of the axis range covered: warn below
    double rangeFail = 0.75;            // share of the axis range covered: fail below
    double centerWarn = 0.02;           // axis off center at rest, fraction: warn above
    double centerFail = 0.05;           // axis off center at rest, fraction: fail above
    double pedalRestWarn = 0.05;        // pedal reading at rest, fraction: warn above
    double pedalRestFail = 0.1;         // pedal reading at rest, fraction: fail above
    double pedalReachWarn = 0.95;       // pedal full-press reading, fraction: warn below
    double pedalReachFail = 0.85;       // pedal full-press reading, fraction: fail below
    double sweepSkipWarn = 0.06;        // largest skipped stretch of a sweep, fraction: warn above
    double sweepSkipFail = 0.12;        // largest skipped stretch of a sweep, fraction: fail above
    double soakGapMs = 100;             // milliseconds without a report that count as a dropout
    double soakPauseSeconds = 2;        // seconds without a report that count as a pause in input
    double soakGapRateWarn = 0.5;       // dropouts per minute of input: warn above
    double soakGapRateFail = 2;         // dropouts per minute of input: fail above
    double soakDisconnectsAllowed = 0;  // disconnects tolerated (count): fail above
    double soakCoverageWarn = 0.8;      // share of the run with input: warn below
    double driftSeconds = 5;            // length of the drift test, seconds
    double soakMinutes = 10;            // length of the soak test, minutes
    GateShape gate = GateShape::round;  // gate shape assumed for sticks

    // The defaults, shared.
    static const Thresholds& standard();

    // All 43 keys, the gate as its raw string.
    json toJson() const;
    // Forgiving key by key: a key that is missing, null, of the wrong type or (for "gate") a name
    // outside the four takes its default; unknown keys are ignored. Only a value that is not a
    // JSON object throws DecodeError.
    static Thresholds fromJson(const json& value);

    // Field by field; a NaN field makes the record unequal to every record, itself included.
    friend bool operator==(const Thresholds&, const Thresholds&) = default;
};

// A numeric field of Thresholds and its JSON key.
struct ThresholdField {
    const char* key;
    double Thresholds::*field;
};

// Every numeric field, in declaration order.
std::span<const ThresholdField> thresholdFields();

} // namespace RorozErurEvo
