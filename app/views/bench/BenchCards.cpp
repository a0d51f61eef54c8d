#include "app/views/bench/BenchCards.h"

#include "app/model/GuidedTests.h"
#include "app/views/bench/SoakCard.h"
#include "app/views/bench/TestCard.h"

namespace Tessarine {

Card* BenchCards::make(const RorozErurEvo::GuidedTest& test, const std::shared_ptr<InputDevice>& device, TestRunner& runner) const {
    if (test.kind == RorozErurEvo::TestKind::soak) return new SoakCard(device, runner, settings_, soak_, batch_);
    return new TestCard(test, device, runner, settings_, batch_);
}

} // namespace Tessarine
