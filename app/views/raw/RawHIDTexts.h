#pragma once
// The words and numbers of the raw HID tab, built from the device's elements and live
// statistics, so that the widgets only place them.
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/devices/ElementInfo.h"
#include "testkit/DeviceInfo.h"
#include "testkit/TimedRate.h"

namespace Tessarine::RawHIDTexts {

// "01:30": usage page and usage in two hexadecimal digits each, 0 for a missing one.
QString usage(const ElementInfo& element);
// The present ones of vendor, USB ids and transport joined with " · ".
QString identity(const RorozErurEvo::DeviceInfo& info);
// A rate in full, as the header tells it: "<hz> Hz", or for reports faster than their stamps
// resolve "≥ 1,000 reports/s (the system times events to the millisecond)".
QString rate(const RorozErurEvo::TimedRate& rate);
// "Reports: quiet (nothing moving)" without a rate, else "Reports: " and the rate.
QString reports(const std::optional<RorozErurEvo::TimedRate>& rate);
// The rate over the report times of the last second before now; none with fewer than two.
// `resolution`: seconds per step of the clock that stamped them, 0 for a fine one. A floor when
// the stamps cannot tell reports apart, or when any element's live rate is one.
std::optional<RorozErurEvo::TimedRate> reportRate(const std::vector<double>& stamps, double resolution = 0,
                                                  const std::map<std::string, RawLive>& live = {});

// The table's live cells; "–" where the value is missing.
QString value(const RawLive* live);
QString seen(const RawLive* live);
QString jitter(const RawLive* live);
// A row's rate: "<hz> Hz", or its floor "≥ 1,000 reports/s"; its tip the whole floor text with
// the reason, empty for a figure. `resolution`: seconds per step of the device's stamps.
QString rate(const RawLive* live, double resolution);
QString rateTip(const RawLive* live, double resolution);
// "value <v|none>, range <r>, jitter <j> counts".
QString rowValue(const ElementInfo& element, const RawLive* live);
// Share of the bar filled: 0 when the range is narrower than one count, else clamped to 0…1.
double barFraction(std::optional<int> value, int min, int max);
// The value the element's bar shows: its live value, except a hat switch's value outside its
// logical range, which is the hat's centred (null) state and fills nothing.
std::optional<int> barValue(const ElementInfo& element, const RawLive* live);

// Elements that the tab lists and the editors offer.
std::vector<ElementInfo> listed(const std::vector<ElementInfo>& elements);     // with a usage page
std::vector<ElementInfo> candidateAxes(const std::vector<ElementInfo>& elements); // axes and triggers with a page

// The number of the next stick made from axes: one past the largest number after "pair-",
// ignoring ids whose rest is empty, not decimal or too large; when the largest is the largest
// number there is, the first number no pair uses.
long long nextPairNumber(const std::vector<StickPair>& pairs);
// What a screen reader calls a stick's axis picker, whose visible label is only "X" or "Y":
// "Stick 2 X axis".
QString axisPickerName(const std::string& stick, const QString& axis);

} // namespace Tessarine::RawHIDTexts
