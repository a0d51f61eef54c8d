#include "app/views/device/DeviceHeaderText.h"

#include <QStringList>

#include "testkit/Fmt.h"

namespace Tessarine::DeviceHeaderText {

using Kind = InputDevice::Kind;

QString detailLine(const RorozErurEvo::DeviceInfo& identity) {
    QStringList parts;
    auto add = [&parts](const std::optional<std::string>& text) {
        if (text) parts << QString::fromStdString(*text);
    };
    add(identity.category);
    add(identity.idText());
    add(identity.transport);
    if (identity.serial) parts << QStringLiteral("Serial ") + QString::fromStdString(*identity.serial);
    add(identity.firmwareText());
    if (identity.guid) parts << QStringLiteral("GUID ") + QString::fromStdString(*identity.guid);
    return parts.join(separator);
}

std::optional<double> batteryLevel(const InputDevice& device) {
    if (auto live = device.batteryLevel()) return live;
    return device.info().batteryLevel;
}

QString batteryText(double level) {
    return QString::fromStdString(RorozErurEvo::Fmt::percent(level));
}

QString batterySymbol(double level) {
    if (level < 0.15) return QStringLiteral("battery.0percent");
    if (level < 0.4) return QStringLiteral("battery.25percent");
    if (level < 0.65) return QStringLiteral("battery.50percent");
    if (level < 0.9) return QStringLiteral("battery.75percent");
    return QStringLiteral("battery.100percent");
}

QString batteryAccessibility(const QString& text, const std::optional<std::string>& liveState) {
    QString label = QStringLiteral("Battery ") + text;
    if (liveState) label += QStringLiteral(", ") + QString::fromStdString(*liveState);
    return label;
}

RawArea rawArea(const InputDevice& device) {
    switch (device.kind()) {
    case Kind::controller:
        return device.rawPartner() ? RawArea::values : RawArea::pairingMenu;
    case Kind::demo:
        return device.rawPartner() ? RawArea::values : RawArea::none;
    case Kind::hid:
    case Kind::demoRaw:
        return RawArea::none;
    }
    return RawArea::none;
}

bool showsDemoPicker(const InputDevice& device) {
    return device.kind() == Kind::demo || device.kind() == Kind::demoRaw;
}

QString partnerTitle(const RorozErurEvo::DeviceInfo& info) {
    QString title = QString::fromStdString(info.name);
    if (info.serial)
        title += QStringLiteral(" (") + QString::fromStdString(*info.serial) + QStringLiteral(")");
    return title;
}

std::shared_ptr<InputDevice> rawDevice(const std::shared_ptr<InputDevice>& device) {
    if (!device) return nullptr;
    switch (device->kind()) {
    case Kind::controller:
    case Kind::demo:
        return device->rawPartner();
    case Kind::hid:
    case Kind::demoRaw:
        return device;
    }
    return nullptr;
}

} // namespace Tessarine::DeviceHeaderText
