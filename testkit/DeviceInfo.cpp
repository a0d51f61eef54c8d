#include "testkit/DeviceInfo.h"

#include <cstdio>

#include "testkit/Fmt.h"
#include "testkit/Text.h"

namespace RorozErurEvo {

std::string usbIdHex(int id) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(id));
    return buffer;
}

std::optional<std::string> DeviceInfo::idText() const {
    if (vendorID && productID) return "VID " + usbIdHex(*vendorID) + " \u00B7 PID " + usbIdHex(*productID);
    if (vendorID) return "VID " + usbIdHex(*vendorID);
    if (productID) return "PID " + usbIdHex(*productID);
    return std::nullopt;
}

std::optional<std::string> DeviceInfo::firmwareText() const {
    if (!firmwareVersion) return std::nullopt;
    return "Firmware " + usbIdHex(*firmwareVersion);
}

std::vector<DeviceInfo::Line> DeviceInfo::lines() const {
    std::vector<Line> result{{"Device", name}};
    if (category && *category != name) result.push_back({"Type", *category});
    if (vendor && *vendor != name) result.push_back({"Vendor", *vendor});
    if (auto ids = idText()) result.push_back({"USB IDs", *ids});
    if (serial && !serial->empty()) result.push_back({"Serial", *serial});
    if (transport) result.push_back({"Connection", *transport});
    if (firmwareVersion) result.push_back({"Firmware", usbIdHex(*firmwareVersion)});
    if (guid) result.push_back({"GUID", *guid});
    if (batteryLevel) {
        std::string value = Fmt::trim(*batteryLevel * 100, 1) + "%";
        if (batteryState) value += " (" + lowercased(*batteryState) + ")";
        result.push_back({"Battery", value});
    }
    return result;
}

json DeviceInfo::toJson() const {
    json out = json::object();
    out["name"] = name;
    if (vendor) out["vendor"] = *vendor;
    if (category) out["category"] = *category;
    if (vendorID) out["vendorID"] = *vendorID;
    if (productID) out["productID"] = *productID;
    if (serial) out["serial"] = *serial;
    if (transport) out["transport"] = *transport;
    if (batteryLevel) out["batteryLevel"] = *batteryLevel;
    if (batteryState) out["batteryState"] = *batteryState;
    if (firmwareVersion) out["firmwareVersion"] = *firmwareVersion;
    if (guid) out["guid"] = *guid;
    return out;
}

DeviceInfo DeviceInfo::fromJson(const json& value) {
    Json::requireObject(value, "device");
    DeviceInfo device;
    device.name = Json::string(value, "name");
    device.vendor = Json::optString(value, "vendor");
    device.category = Json::optString(value, "category");
    for (auto [member, field] : {std::pair{"vendorID", &DeviceInfo::vendorID}, std::pair{"productID", &DeviceInfo::productID}})
        if (Json::optInteger(value, member))
            device.*field = static_cast<int>(Json::integer(value, member, 0, maxUsbNumber));
    device.serial = Json::optString(value, "serial");
    device.transport = Json::optString(value, "transport");
    device.batteryLevel = Json::optNumber(value, "batteryLevel");
    device.batteryState = Json::optString(value, "batteryState");
    if (Json::optInteger(value, "firmwareVersion"))
        device.firmwareVersion = static_cast<int>(Json::integer(value, "firmwareVersion", 0, maxUsbNumber));
    device.guid = Json::optString(value, "guid");
    return device;
}

} // namespace RorozErurEvo
