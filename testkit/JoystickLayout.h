#pragma once
// A joystick read through the system's joystick layer (numbered axes, hats and buttons rather
// than HID reports) told as a raw HID device with one input report of a fixed layout, so the
// raw reader, its element catalogue, stick pairs and axis roles serve it unchanged.
//
// Report: every axis as a signed 16-bit field (the layer's −32768 … 32767), then every hat as
// a 4-bit field (0 … 7 clockwise from up, 8 for centred: outside the range, so it reads as
// centred), padding to a whole byte, then one bit per button, padding to a whole byte.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "testkit/HIDDescriptor.h"

namespace RorozErurEvo {

class JoystickLayout {
public:
    static constexpr int axisMin = -32768;
    static constexpr int axisMax = 32767;
    // The layer's hat bits.
    static constexpr int hatUp = 1, hatRight = 2, hatDown = 4, hatLeft = 8;

    // `axes`: the HID usage of each axis in the joystick's order (see usageOfAbsCode).
    JoystickLayout(std::vector<HIDUsagePair> axes, int hats, int buttons);

    // The usage the system's HID driver gives the Linux absolute axis `code` (ABS_X 0 …
    // ABS_BRAKE 10); a slider for any other code.
    static HIDUsagePair usageOfAbsCode(int code);
    // Usages for axes known only by number: as if the device had the axis codes 0, 1, 2, ….
    static std::vector<HIDUsagePair> numberedAxes(int count);

    const HIDDescriptor& descriptor() const { return descriptor_; }
    std::size_t reportBytes() const { return bytes_; }
    int axes() const { return axes_; }
    int hats() const { return hats_; }
    int buttons() const { return buttons_; }

    // A report with every axis at 0, every hat centred and every button up.
    std::vector<std::uint8_t> restingReport() const;
    // Write one input into a report of reportBytes(); an index out of range changes nothing.
    void setAxis(std::span<std::uint8_t> report, int index, std::int16_t value) const;
    void setHat(std::span<std::uint8_t> report, int index, int hatBits) const;
    void setButton(std::span<std::uint8_t> report, int index, bool down) const;

    // The hat field's value for the layer's hat bits: 0 up … 7 up-left, 8 centred.
    static int hatValue(int hatBits);

private:
    void put(std::span<std::uint8_t> report, int bitOffset, int bits, std::uint32_t value) const;

    int axes_;
    int hats_;
    int buttons_;
    int hatOffset_;    // bits
    int buttonOffset_; // bits
    std::size_t bytes_;
    HIDDescriptor descriptor_;
};

} // namespace RorozErurEvo
