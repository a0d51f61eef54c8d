#pragma once
// The identity of a tested device as it was when a session was saved.
#include <optional>
#include <string>
#include <vector>

#include "testkit/Json.h"

namespace RorozErurEvo {

struct DeviceInfo {
    std::string name{};                  // product name as the system reports it
    std::optional<std::string> vendor = std::nullopt;   // manufacturer name
    std::optional<std::string> category = std::nullopt; // product category text
    std::optional<int> vendorID = std::nullopt;         // USB vendor id
    std::optional<int> productID = std::nullopt;        // USB product id
    std::optional<std::string> serial = std::nullopt;
    std::optional<std::string> transport = std::nullopt;    // connection text
    std::optional<double> batteryLevel = std::nullopt;      // fraction 0…1
    std::optional<std::string> batteryState = std::nullopt; // charging state word as reported
    std::optional<int> firmwareVersion = std::nullopt;      // the device's firmware version number
    std::optional<std::string> guid = std::nullopt;         // the controller service's id of the model

    struct Line {
        std::string label;
        std::string value;
        friend bool operator==(const Line&, const Line&) = default;
    };

    // "VID 045E · PID 02E0", "VID 045E", "PID 02E0"; absent when neither id is known.
    std::optional<std::string> idText() const;
    // "Firmware 0110" (four hexadecimal digits at least, as USB release numbers are written).
    std::optional<std::string> firmwareText() const;
    // The device block of the printed report, one labelled line per known fact.
    std::vector<Line> lines() const;
    // Whether both describe the same physical unit, so a controller that comes back under a new
    // device id is recognised. Texts compare trimmed and case-insensitively.
    bool isSameUnit(const DeviceInfo& other) const;

    // Optional members are left out when absent; missing or null ones read as absent.
    json toJson() const;
    static DeviceInfo fromJson(const json& value);

    friend bool operator==(const DeviceInfo&, const DeviceInfo&) = default;
};

// Vendor and product ids and the firmware version are 16-bit numbers, as USB writes them (idVendor,
// idProduct, bcdDevice) and the controller service and the kernel report them; a stored one outside
// 0…this is refused on reading, since it could only be shown wrapped ("FFFFFFFF").
inline constexpr int maxUsbNumber = 0xFFFF;

// "%04X": upper-case hexadecimal of at least four digits, as USB ids are usually written.
std::string usbIdHex(int id);

} // namespace RorozErurEvo
