#pragma once
// Source-over blending of whole rows of premultiplied pixels, the inner loop of every effect and
// layer composited straight into an image. Four pixels go at a time where the processor has
// 128-bit integer vectors; every result equals PixelMath::over's, pixel for pixel.
#include <cstdint>

namespace Tessarine::BlendRows {

// `source[i]` over `pixels[i]` for `count` pixels.
void over(const std::uint32_t* source, std::uint32_t* pixels, int count);

// `tints[alpha[i]]` over `pixels[i]` for `count` pixels: a single colour at 256 strengths (as
// Coverage makes them) laid by a row of coverage.
void tintOver(const std::uint32_t* tints, const std::uint8_t* alpha, std::uint32_t* pixels, int count);

} // namespace Tessarine::BlendRows
