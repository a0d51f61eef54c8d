#pragma once
// A realistic stream of 64-byte game-pad input reports, shared by the benchmarks that feed raw
// HID devices: both sticks wobble a count or two around their centres, the triggers rest, a
// button goes down and up now and then, the report counter changes every report and the motion
// bytes (vendor data) change with every report, as a pad lying on a desk sends them.
#include <cstdint>
#include <random>
#include <vector>

namespace PadStream {

// Report id 1; X, Y, Z, Rz; a hat, 14 buttons and a 6-bit counter; two analogue triggers Rx
// and Ry; then 54 bytes of vendor data (motion, touch).
inline const std::vector<std::uint8_t>& descriptor() {
    static const std::vector<std::uint8_t> bytes = {
        0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x85, 0x01,
        0x09, 0x30, 0x09, 0x31, 0x09, 0x32, 0x09, 0x35, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x04,
        0x81, 0x02,
        0x09, 0x39, 0x15, 0x00, 0x25, 0x07, 0x75, 0x04, 0x95, 0x01, 0x81, 0x42,
        0x05, 0x09, 0x19, 0x01, 0x29, 0x0E, 0x25, 0x01, 0x75, 0x01, 0x95, 0x0E, 0x81, 0x02,
        0x06, 0x00, 0xFF, 0x09, 0x20, 0x75, 0x06, 0x95, 0x01, 0x25, 0x3F, 0x81, 0x02,
        0x05, 0x01, 0x09, 0x33, 0x09, 0x34, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02,
        0x06, 0x00, 0xFF, 0x09, 0x21, 0x95, 0x36, 0x81, 0x02,
        0xC0,
    };
    return bytes;
}

// `count` consecutive reports of one pad; `seed` makes pads differ.
inline std::vector<std::vector<std::uint8_t>> reports(std::size_t count, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> wobble(-2, 2);
    std::uniform_int_distribution<int> noise(0, 255);
    std::vector<std::vector<std::uint8_t>> list;
    list.reserve(count);
    std::uint8_t counter = 0;
    for (std::size_t n = 0; n < count; ++n) {
        std::vector<std::uint8_t> r(64, 0);
        r[0] = 0x01;
        for (int axis = 0; axis < 4; ++axis) r[1 + axis] = static_cast<std::uint8_t>(128 + wobble(random));
        const bool pressed = (n / 500) % 8 == 3; // a button held for a moment now and then
        r[5] = 0x08;                             // hat at rest (null state), no buttons below
        std::uint16_t buttons = pressed ? 0x0002 : 0;
        r[5] = static_cast<std::uint8_t>(r[5] | ((buttons & 0x0F) << 4));
        r[6] = static_cast<std::uint8_t>((buttons >> 4) & 0xFF);
        counter = static_cast<std::uint8_t>((counter + 1) & 0x3F);
        r[7] = static_cast<std::uint8_t>(((buttons >> 12) & 0x03) | (counter << 2));
        r[8] = 0;
        r[9] = 0; // triggers at rest
        for (std::size_t i = 10; i < 22; ++i) r[i] = static_cast<std::uint8_t>(noise(random)); // gyro, accel
        list.push_back(std::move(r));
    }
    return list;
}

} // namespace PadStream
