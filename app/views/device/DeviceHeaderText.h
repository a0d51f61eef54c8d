#pragma once
// What a device view's header shows of its device, as pure functions of the device so that the
// header only places them: the detail line, the battery label, the title of a raw HID device in
// the pairing menu, and which device-wide controls a kind of device gets.
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "app/devices/InputDevice.h"
#include "testkit/DeviceInfo.h"

namespace Tessarine::DeviceHeaderText {

// Between the parts of the detail line: blank, middle dot, blank.
inline const QString separator = QStringLiteral(" \u00B7 ");
// The category, the USB id text, the transport and "Serial <serial>" of the identity, in that
// order and joined by the separator; absent ones are left out, empty texts stay.
QString detailLine(const RorozErurEvo::DeviceInfo& identity);

// The live level when the device has read one, else the level its info was made with.
std::optional<double> batteryLevel(const InputDevice& device);
// "80%", "85.5%", "100%".
QString batteryText(double level);
// The battery symbol for a level in 0…1: empty below 0.15, a quarter below 0.4, half below
// 0.65, three quarters below 0.9, full from there.
QString batterySymbol(double level);
// "Battery <text>", then ", <state>" when the device has a live charging state.
QString batteryAccessibility(const QString& text, const std::optional<std::string>& liveState);

// What sits between the demo picker and the tab picker.
enum class RawArea {
    none,        // a raw HID device, the demo's twin, or the demo controller without its twin
    values,      // the processed / raw value-source picker of a paired device
    pairingMenu, // the menu that pairs a controller with a raw HID device
};
RawArea rawArea(const InputDevice& device);
// The demo controller and its raw twin offer the recording picker.
bool showsDemoPicker(const InputDevice& device);

// A raw HID device in the pairing menu: its name, then " (<serial>)" when it has one.
QString partnerTitle(const RorozErurEvo::DeviceInfo& info);

// The device whose elements the Raw HID tab lists: a controller's raw partner (none without
// one), or a raw HID device itself.
std::shared_ptr<InputDevice> rawDevice(const std::shared_ptr<InputDevice>& device);

// Fixed texts of the header's controls.
inline const QString demoHelp = QStringLiteral("The demo plays built-in recordings: a healthy pad, one with "
                                               "a drifting left stick, or one with a chattering A "
                                               "button.");
inline const QString valuesHelp = QStringLiteral("Processed: the system's values (may include its own "
                                                 "deadzone). Raw HID: the device's own numbers, for exact "
                                                 "drift work.");
inline const QString pairingTitle = QStringLiteral("Raw HID: not paired");
inline const QString pairingHelp = QStringLiteral("Some controllers (Xbox over USB, Joy-Con) don't expose "
                                                  "raw HID, or several identical ones are connected: pick "
                                                  "its twin here.");
inline const QString noPartner = QStringLiteral("No raw HID device found for it");

} // namespace Tessarine::DeviceHeaderText
