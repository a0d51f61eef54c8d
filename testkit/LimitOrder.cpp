#include "testkit/LimitOrder.h"

#include <algorithm>

namespace RorozErurEvo::LimitOrder {

namespace {
using T = Thresholds;

constexpr Pair all[] = {
    {&T::driftWarn, &T::driftFail, Worse::above},
    {&T::circularityWarn, &T::circularityFail, Worse::above},
    {&T::outerDeadzoneWarn, &T::outerDeadzoneFail, Worse::above},
    {&T::snapbackWarn, &T::snapbackFail, Worse::above},
    {&T::deadzoneWarn, &T::deadzoneFail, Worse::above},
    {&T::triggerRestWarn, &T::triggerRestFail, Worse::above},
    {&T::triggerReachWarn, &T::triggerReachFail, Worse::below},
    {&T::triggerJumpWarn, &T::triggerJumpFail, Worse::above},
    {&T::jitterWarn, &T::jitterFail, Worse::above},
    {&T::rangeWarn, &T::rangeFail, Worse::below},
    {&T::centerWarn, &T::centerFail, Worse::above},
    {&T::pedalRestWarn, &T::pedalRestFail, Worse::above},
    {&T::pedalReachWarn, &T::pedalReachFail, Worse::below},
    {&T::sweepSkipWarn, &T::sweepSkipFail, Worse::above},
    {&T::soakGapRateWarn, &T::soakGapRateFail, Worse::above},
};
} // namespace

std::span<const Pair> pairs() { return all; }

std::optional<Pair> pairOf(Field field) {
    auto it = std::find_if(std::begin(all), std::end(all),
                           [field](const Pair& pair) { return pair.warn == field || pair.fail == field; });
    if (it == std::end(all)) return std::nullopt;
    return *it;
}

bool inOrder(const Thresholds& thresholds, const Pair& pair) {
    const double warn = thresholds.*pair.warn;
    const double fail = thresholds.*pair.fail;
    return pair.worse == Worse::above ? warn <= fail : warn >= fail;
}

} // namespace RorozErurEvo::LimitOrder
