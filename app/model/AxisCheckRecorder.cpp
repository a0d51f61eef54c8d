#include "app/model/AxisCheckRecorder.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "testkit/AxisNoiseAnalysis.h"
#include "testkit/Date.h"

namespace Tessarine::AxisCheckRecorder {

namespace {
constexpr double openEnd = std::numeric_limits<double>::infinity();
}

RorozErurEvo::GuidedTest test(const std::string& axisName) {
    return RorozErurEvo::GuidedTest{RorozErurEvo::TestKind::axisNoise, axisName,
                                    RorozErurEvo::GuidedTest::Target::device(), true};
}

std::vector<int> restReadings(const InputDevice& device, const std::string& axisID, double since) {
    auto values = device.buffer().rawValues(axisID, since, openEnd);
    if (values.empty()) {
        const auto trackers = device.buffer().rawTrackers();
        if (auto it = trackers.find(axisID); it != trackers.end() && it->second.value) values = {*it->second.value};
    }
    return values;
}

bool record(const InputDevice& device, TestRunner& runner, const RorozErurEvo::Thresholds& thresholds,
            const std::string& axisID, const std::vector<int>& restValues, double rangeStart) {
    const auto element = device.element(axisID);
    if (!element) return false;
    const auto sweep = device.buffer().rawValues(axisID, rangeStart, openEnd);
    std::optional<int> lo, hi;
    if (!sweep.empty()) {
        const auto [a, b] = std::minmax_element(sweep.begin(), sweep.end());
        lo = *a;
        hi = *b;
    }
    auto result = RorozErurEvo::AxisNoiseAnalysis::result(restValues, element->logicalMin.value_or(0),
                                                          element->logicalMax.value_or(1), lo, hi, element->name,
                                                          thresholds, RorozErurEvo::Dates::now());
    runner.record(std::move(result), test(element->name));
    return true;
}

} // namespace Tessarine::AxisCheckRecorder
