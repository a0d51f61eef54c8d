#pragma once
// Saving what the keyboard or mouse tester measured: a session of that one result, named after
// the tester, so the history lists it like a device's session.
#include <string>

#include "testkit/TestResult.h"
#include "testkit/TestSession.h"

namespace Tessarine {

class AppModel;

// The session a tester saves: device name `name`, the unit the user gave (a serial, or the
// tester's name as offered), label "Tested", the default technician, the one result.
RorozErurEvo::TestSession testerSession(const RorozErurEvo::TestResult& result, const std::string& name,
                                        const std::string& unit, const std::string& technician,
                                        RorozErurEvo::Date date, const std::string& appVersion);

// Saves it to the model's library and toasts "Saved to History: <unit key>", or the library's
// error.
void saveTesterSession(AppModel& model, const RorozErurEvo::TestResult& result, const std::string& name,
                       const std::string& unit);

} // namespace Tessarine
