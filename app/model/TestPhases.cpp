// The phase machine of the guided tests, one frame at a time: each kind's record says how its
// test moves on (the kind files describe their phases). A kind without a step (manual checks,
// battery, axis noise, report rate, testers, soak) ends by Done or a cancel; a test whose target
// does not fit its kind changes nothing and never ends by itself.
#include "app/model/TestPhases.h"

#include <algorithm>

#include "app/devices/InputDevice.h"
#include "app/model/TestKinds.h"
#include "testkit/Middle.h"

namespace Tessarine::TestPhases {

bool step(ActiveTest& a, const Frame& f) {
    const TestKinds::Step move = TestKinds::record(a.test.kind).step;
    return move && move(a, f, f.now - a.start);
}

std::optional<Range> logicalRange(const std::string& element, const InputDevice& device) {
    const auto e = device.element(element);
    if (!e) return std::nullopt;
    const double low = e->logicalMin.value_or(0);
    const double high = e->logicalMax.value_or(1);
    return Range{low, std::max(high - low, 1.0)};
}

std::optional<int> restValue(const ActiveTest& a, const InputDevice& device, const std::string& element) {
    auto values = device.buffer().rawValues(element, a.start, a.recordFrom);
    if (const auto middle = RorozErurEvo::Stats::middleInPlace(values)) return middle->upper;
    return a.initialRaw;
}

} // namespace Tessarine::TestPhases
