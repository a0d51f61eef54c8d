#pragma once
// Short builders for press/release logs in the digital-input tests.
#include <string>

#include "testkit/Date.h"
#include "testkit/Samples.h"

namespace RorozErurEvo::ButtonLog {

inline ButtonEvent press(const std::string& input, double t) {
    return ButtonEvent{input, true, t};
}
inline ButtonEvent release(const std::string& input, double t) {
    return ButtonEvent{input, false, t};
}
// A fixed result date, so results compare field by field.
inline const Date kResultDate = Dates::fromSeconds(1'800'000'000);

} // namespace RorozErurEvo::ButtonLog
