#include "app/views/shell/DeviceRow.h"

#include <QStringList>

#include <algorithm>

#include "app/paint/Theme.h"

namespace Tessarine::DeviceRow {

using RorozErurEvo::Verdict;

QString kindSymbol(InputDevice::Kind kind) {
    switch (kind) {
    case InputDevice::Kind::controller: return QStringLiteral("gamecontroller");
    case InputDevice::Kind::hid: return QStringLiteral("slider.horizontal.3");
    case InputDevice::Kind::demo:
    case InputDevice::Kind::demoRaw: return QStringLiteral("play.circle");
    }
    return {};
}

QString subtitle(const InputDevice& device) {
    if (device.kind() == InputDevice::Kind::demo || device.kind() == InputDevice::Kind::demoRaw)
        return QStringLiteral("Built-in recordings");
    QStringList parts;
    // An absent part is dropped; an empty text that is present still takes its place.
    if (device.info().category) parts << QString::fromStdString(*device.info().category);
    if (device.info().transport) parts << QString::fromStdString(*device.info().transport);
    if (device.joystickLayer()) parts << QStringLiteral("Through the system's joystick layer");
    if (!device.connected()) parts << QStringLiteral("Disconnected");
    return parts.join(QStringLiteral(" · "));
}

std::vector<Verdict> resultVerdicts(const TestRunner::Results& results) {
    std::vector<Verdict> verdicts;
    verdicts.reserve(results.size());
    for (const auto& entry : results) verdicts.push_back(entry.second.verdict);
    return verdicts;
}

std::optional<StatusMark> statusMark(bool running, const TestRunner::Results& results) {
    if (running)
        // The system's red, brighter than the fail colour, so a running test never reads as a fail.
        return StatusMark{QStringLiteral("record.circle"), Color::rgb(1.0, 0.23, 0.19), QStringLiteral("Test running")};
    if (results.empty()) return std::nullopt;
    const Verdict worst = RorozErurEvo::worst(resultVerdicts(results));
    return StatusMark{VerdictStyle::symbol(worst), VerdictStyle::color(worst), VerdictStyle::word(worst)};
}

QString identifier(const InputDevice& device) {
    return QStringLiteral("device-") + QString::fromStdString(device.id());
}

} // namespace Tessarine::DeviceRow
