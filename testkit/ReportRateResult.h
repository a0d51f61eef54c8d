#pragma once
// The report-rate test: how often a device sends input reports, and its longest gap while moving.
#include <string>
#include <vector>

#include "testkit/AxisTracker.h"
#include "testkit/Date.h"
#include "testkit/TestResult.h"

namespace RorozErurEvo::ReportRateAnalysis {

// times are report times in seconds, in any order.
TestResult result(const std::vector<double>& times, const std::string& element, ValueSource source, Date date);

} // namespace RorozErurEvo::ReportRateAnalysis
