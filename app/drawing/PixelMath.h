#pragma once
// Arithmetic on premultiplied 32-bit pixels (alpha, red, green, blue from the high byte down).
#include <cstdint>

namespace Tessarine::PixelMath {

// value / 255, rounded, for value up to 255 × 255.
inline std::uint32_t divide255(std::uint32_t value) { return (value + 128 + ((value + 128) >> 8)) >> 8; }

// Each channel of `pixel` times `factor` / 255, two channels at a time.
inline std::uint32_t scaled(std::uint32_t pixel, std::uint32_t factor) {
    std::uint32_t redBlue = (pixel & 0xff00ff) * factor;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    std::uint32_t alphaGreen = ((pixel >> 8) & 0xff00ff) * factor;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

// `source` over `destination`.
inline std::uint32_t over(std::uint32_t source, std::uint32_t destination) {
    return source + scaled(destination, 255 - (source >> 24));
}

} // namespace Tessarine::PixelMath
