#pragma once
// What a plain HID axis of a wheel, pedal set or flight stick is for, and which guided tests
// apply to it.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "testkit/Enum.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo {

enum class AxisRole { steering, pedal, twist, throttle };

template <> struct EnumTable<AxisRole> {
    static constexpr std::array entries{EnumEntry{AxisRole::steering, "steering"}, EnumEntry{AxisRole::pedal, "pedal"},
                                        EnumEntry{AxisRole::twist, "twist"}, EnumEntry{AxisRole::throttle, "throttle"}};
};

std::string title(AxisRole role);
// Self-centring axes get the sweep and the centre test, a pedal its own test, a throttle the sweep.
std::vector<TestKind> testKinds(AxisRole role);

namespace AxisRoles {
// A role guessed from the element's HID usage page and usage and the device's product name;
// absent when nothing fits.
std::optional<AxisRole> suggest(std::optional<int> page, std::optional<int> usage, const std::string& deviceName);
} // namespace AxisRoles

} // namespace RorozErurEvo
