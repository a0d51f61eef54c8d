#pragma once
// Copies of the records of a session with every text cut for display (DisplayText::field, and
// DisplayText::headline for a result's headline), for the views and the report that lay them
// out. Ids, numbers, enumerations and plots are kept as they are, so a shown result still finds
// its measures and its slot.
#include "testkit/DeviceInfo.h"
#include "testkit/TestResult.h"
#include "testkit/TestSession.h"

namespace RorozErurEvo::DisplayText {

DeviceInfo shown(const DeviceInfo& device);
// The element, measure labels and each detail line cut as fields, the headline as a headline.
TestResult shown(const TestResult& result);
// The unit, label, technician, ticket, profile, application version, device and results cut;
// the notes are running text and stay whole: their readers take only what they show.
TestSession shown(const TestSession& session);

} // namespace RorozErurEvo::DisplayText
