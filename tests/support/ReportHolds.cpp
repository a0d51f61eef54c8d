#include "ReportHolds.h"

#include <utility>

namespace Tessarine::ReportHolds {

namespace {

std::function<void()>& work() {
    static std::function<void()> set;
    return set;
}

} // namespace

void between() {
    if (work()) work()();
}

Between::Between(std::function<void()> run) { work() = std::move(run); }

Between::~Between() { work() = nullptr; }

} // namespace Tessarine::ReportHolds
