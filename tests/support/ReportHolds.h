#pragma once
// A hold on the HID thread between two holds of the capture buffer's lock in one report of an
// HIDTap (a report of more than HIDTap::valuesPerHold values is written in several). The tap's
// own between() does nothing; this one, linked into a test program, runs what the test set, so
// the test can act while the lock is free and the rest of the report is still to come.
#include <functional>

namespace Tessarine::ReportHolds {

// Called by the tap on the HID thread between two holds.
void between();

// What between() runs for as long as this lives.
class Between {
public:
    explicit Between(std::function<void()> work);
    ~Between();
    Between(const Between&) = delete;
    Between& operator=(const Between&) = delete;
};

} // namespace Tessarine::ReportHolds
