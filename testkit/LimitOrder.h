#pragma once
// The order of each warn and fail pair of Thresholds. A warning comes no later than a failure as
// a measure gets worse: where higher is worse (drift, noise, jumps, dropouts) warn ≤ fail; where
// lower is worse (a trigger's or pedal's full reach, the range an axis covers) warn ≥ fail. Equal
// limits are in order: the warn band is then empty and the measure goes straight to fail.
#include <optional>
#include <span>

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

} // namespace RorozErurEvo::LimitOrder
