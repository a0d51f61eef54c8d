#include "app/model/TestRunner.h"

#include "app/devices/InputDevice.h"

namespace Tessarine {

TestRunner::TestRunner(std::shared_ptr<InputDevice> device, AppModel& model)
    : device_(std::move(device)), model_(model) {}

void TestRunner::tick(double) {}

void TestRunner::store(const std::string& key, RorozErurEvo::TestResult result) {
    auto [it, inserted] = results_.try_emplace(key, result);
    if (!inserted) {
        if (it->second == result) return;
        it->second = std::move(result);
    }
    emit resultsChanged();
}

void TestRunner::mergeResults(const Results& other) {
    bool added = false;
    for (const auto& [key, result] : other) added |= results_.try_emplace(key, result).second;
    if (added) emit resultsChanged();
}

} // namespace Tessarine
