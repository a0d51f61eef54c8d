#pragma once
// What a sidebar row shows of a device: its kind symbol, its subtitle and its status mark (a
// test running, or the worst verdict of its results). Pure functions of the device and its
// runner, so the sidebar recomputes them whenever either changes.
#include <QColor>
#include <QString>

#include <optional>
#include <vector>

#include "app/devices/InputDevice.h"
#include "app/model/TestRunner.h"
#include "testkit/Measure.h"

namespace Tessarine::DeviceRow {

struct StatusMark {
    QString symbol;
    QColor color;
    QString accessibilityLabel;

    friend bool operator==(const StatusMark&, const StatusMark&) = default;
};

// "gamecontroller", "slider.horizontal.3" or "play.circle".
QString kindSymbol(InputDevice::Kind kind);

// "Built-in recordings" for the demo controller and its twin; otherwise the category, the
// transport, "Through the system's joystick layer" for a joystick read that way and
// "Disconnected" when it is not connected, those present joined by " · ".
QString subtitle(const InputDevice& device);

// One verdict per stored result, in the results' order.
std::vector<RorozErurEvo::Verdict> resultVerdicts(const TestRunner::Results& results);

// The running mark while a test runs on the device; otherwise the mark of the worst verdict,
// or none when the device has no results.
std::optional<StatusMark> statusMark(bool running, const TestRunner::Results& results);

// "device-" and the device's id.
QString identifier(const InputDevice& device);

} // namespace Tessarine::DeviceRow
