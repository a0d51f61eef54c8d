#pragma once
// The order of each warn and fail pair of Thresholds. A warning comes no later than a failure as
// a measure gets worse: where higher is worse (drift, noise, jumps, dropouts) warn ≤ fail; where
// lower is worse (a trigger's or pedal's full reach, the range an axis covers) warn ≥ fail. Equal
// limits are in order: the warn band is then empty and the measure goes straight to fail.
//
// A record that breaks the order, or holds a negative limit or one that is no finite number, is
// impossible: whoever stores limits refuses it whole, whatever it came from.
#include <optional>
#include <span>
#include <string>

#include "testkit/ControllerFamily.h"
#include "testkit/Thresholds.h"

namespace RorozErurEvo::LimitOrder {

using Field = double Thresholds::*;

enum class Worse { above, below };

struct Pair {
    Field warn;
    Field fail;
    Worse worse;
};

// Every warn and fail pair, in the record's field order.
std::span<const Pair> pairs();
// The pair a field belongs to, as its warn or its fail limit.
std::optional<Pair> pairOf(Field field);
// Whether the record keeps the pair in order (a NaN limit never does).
bool inOrder(const Thresholds& thresholds, const Pair& pair);

// Why a record cannot be used.
struct Refusal {
    Field field;              // the limit at fault: the one below zero or not a number, or the pair's warn
    std::optional<Pair> pair; // set when the fault is a pair out of order
    std::string reason;       // one line, naming the limits by their keys
    std::optional<ControllerFamily> family; // the profile at fault, for a refusal of profiles
};

// The first fault in field order (every limit is checked before any pair); none when the record
// can be used.
std::optional<Refusal> refusal(const Thresholds& thresholds);
// The first fault among the shop's family profiles; the reason names the family. Entries under
// keys that name no family are never consulted and so never refused.
std::optional<Refusal> refusal(const FamilyProfiles& profiles);

} // namespace RorozErurEvo::LimitOrder
