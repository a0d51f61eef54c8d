#include "testkit/LimitOrder.h"

#include <algorithm>
#include <cmath>

#include "testkit/Enum.h"
#include "testkit/Fmt.h"

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

namespace {
const char* keyOf(Field field) {
    for (const auto& [key, each] : thresholdFields())
        if (each == field) return key;
    return "?";
}

std::string number(double value) { return Fmt::trim(value, 6); }
} // namespace

std::optional<Refusal> refusal(const Thresholds& thresholds) {
    for (const auto& [key, field] : thresholdFields()) {
        const double value = thresholds.*field;
        if (!std::isfinite(value))
            return Refusal{field, std::nullopt, std::string(key) + " is not a finite number", std::nullopt};
        if (value < 0) return Refusal{field, std::nullopt, std::string(key) + " " + number(value) + " is below zero", std::nullopt};
    }
    for (const Pair& pair : all) {
        if (inOrder(thresholds, pair)) continue;
        const bool above = pair.worse == Worse::above;
        std::string reason = std::string(keyOf(pair.warn)) + " " + number(thresholds.*pair.warn) +
                             (above ? " lies above " : " lies below ") + keyOf(pair.fail) + " " +
                             number(thresholds.*pair.fail) +
                             (above ? "; higher is worse, so warn can be at most fail"
                                    : "; lower is worse, so warn can be at least fail");
        return Refusal{pair.warn, pair, std::move(reason), std::nullopt};
    }
    return std::nullopt;
}

std::optional<Refusal> refusal(const FamilyProfiles& profiles) {
    for (auto family : allCases<ControllerFamily>()) {
        if (!profiles.isCustom(family)) continue;
        if (auto found = refusal(profiles.thresholds(family))) {
            found->reason = title(family) + ": " + found->reason;
            found->family = family;
            return found;
        }
    }
    return std::nullopt;
}

} // namespace RorozErurEvo::LimitOrder
