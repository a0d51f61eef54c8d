#pragma once
// The words of the live components: the numbers under a stick, a trigger's value, and what each
// painted picture says to assistive technology. Pure functions of the values shown, so the
// widgets, the report and the tests share one wording.
#include <QString>
#include <QStringList>

#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "testkit/Samples.h"
#include "testkit/SoakStrip.h"
#include "testkit/StickGeometry.h"

namespace Tessarine::ComponentText {

using RorozErurEvo::Direction8;
using RorozErurEvo::MotionSample;
using RorozErurEvo::SoakStrip;
using RorozErurEvo::StickSample;
using RorozErurEvo::TouchSample;

// "No reading yet"; "raw x 512, y -3"; "x 12.5%, y -3%, 12.9% from center", with ", pressed".
QString stickPlotValue(const std::optional<StickSample>& sample, bool pressed, bool showRaw);

// The readout row under a stick: {"x <raw>", "y <raw>"} when showing raw counts the sample has,
// otherwise {"x +25%", "y -12.5%", "r 28%"} (signs only on x and y, "+" from 0.05% on).
QStringList stickReadout(const std::optional<StickSample>& sample, bool showRaw);

// A trigger's header value: the raw count alone, or the percentage (unclamped: "130%").
QString triggerValue(double value, std::optional<long long> raw, bool showRaw);
// Its accessible value: "raw <n>" or the percentage.
QString triggerAccessibleValue(double value, std::optional<long long> raw, bool showRaw);

// "Soak timeline, 10 min".
QString soakTimelineLabel(double seconds);
// The legend's states: ok always, every other state only when a bin holds it; legend order.
std::vector<SoakStrip::State> soakLegendStates(const SoakStrip& strip);

// "<name>, registered" or "<name>, not yet".
QString flowChipLabel(const QString& name, bool registered);
// "none", or the lit directions' names in raw-value order: "Right, Up, Left".
QString compassValue(const std::set<Direction8>& lit);
// "no readings" when the newest sample has no rotation; else "turning <m> degrees per second".
QString gyroValue(const std::optional<MotionSample>& newest);
// "no readings" when the newest sample has no acceleration; else "<m> g" (up to 2 decimals).
QString accelerometerValue(const std::optional<MotionSample>& newest);
// "<n> fingers, <p>% of the surface".
QString touchTraceValue(const std::vector<TouchSample>& samples);

} // namespace Tessarine::ComponentText
