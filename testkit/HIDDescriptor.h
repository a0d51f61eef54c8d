#pragma once
// A parser of USB HID report descriptors: the device's description of its reports, read from the
// device and therefore untrusted. It gives one element per report field (report counts expanded),
// the device's top-level application collections, which decide whether the device is a game
// device at all, and where each field sits in its report.
//
// Limits follow the Linux kernel's HID core, so that no descriptor can make the parser loop or
// allocate without bound: at most 4 pushed global states, 12,288 usages per main item and fields
// per item, reports of at most 16,383 bytes, report ids 1…255, and 16,384 elements per device.
// A descriptor that breaks a limit or the item grammar is an error, never a partial result. A
// data field of 0 bits or wider than 64 bits gives no element: no integer value can be read from it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <vector>

namespace RorozErurEvo {

struct HIDDescriptorError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class HIDElementType { input, output, feature };

// A usage page and usage, such as a top-level collection's (1, 5) for a game pad.
struct HIDUsagePair {
    int page = 0;
    int usage = 0;
    friend bool operator==(const HIDUsagePair&, const HIDUsagePair&) = default;
};

// One field of one report.
struct HIDElement {
    HIDElementType type = HIDElementType::input;
    std::uint32_t cookie = 0; // 1, 2, 3… in descriptor order: stable for a given descriptor
    int page = 0;
    int usage = 0;
    std::int64_t logicalMin = 0;
    std::int64_t logicalMax = 0;
    int reportSize = 0;   // bits of the field (of one slot, for an array field)
    int reportID = 0;     // 0 when the device does not number its reports
    int bitOffset = 0;    // where the field starts, counted after the report id byte
    // A variable field has arraySlots 0. An array field lists the usages that are active; it gives
    // one element (logical range 0…1) per usage, which reads 1 while any of its arraySlots slots
    // holds arrayIndex.
    int arraySlots = 0;
    std::int64_t arrayIndex = 0;
    bool isSigned = false; // fields read as two's complement (logical minimum below 0)
    friend bool operator==(const HIDElement&, const HIDElement&) = default;
};

struct HIDDescriptor {
    std::vector<HIDElement> elements;          // in descriptor order; elements[i].cookie == i + 1
    std::vector<HIDUsagePair> applications;    // top-level application collections, in order
    bool numberedReports = false;              // every report starts with its report id byte
    std::map<int, std::size_t> inputReportBits; // report id → bits of its input report after the id

    // Throws HIDDescriptorError naming the fault.
    static HIDDescriptor parse(std::span<const std::uint8_t> bytes);

    // A joystick, game pad, multi-axis controller or simulation device by any of its collections.
    bool isGameDevice() const;
    // Any collection is a keyboard, keypad, mouse or pointer: such devices are set aside.
    bool isKeyboardOrMouse() const;
};

namespace HIDLimits {
inline constexpr int maxPushDepth = 4;                  // pushed global states
inline constexpr int maxCollectionDepth = 32;           // nested collections
inline constexpr std::size_t maxUsages = 12288;         // usages per main item, fields per item
inline constexpr std::size_t maxReportBytes = 16383;    // bytes of one report after its id
inline constexpr std::size_t maxElements = 16384;       // elements per device
inline constexpr int maxFieldBits = 64;                 // bits of one data field
} // namespace HIDLimits

} // namespace RorozErurEvo
