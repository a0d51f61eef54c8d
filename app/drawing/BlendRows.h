#pragma once
// Source-over blending of whole rows of premultiplied pixels, the inner loop of every effect and
// layer composited straight into an image. Four pixels go at a time where the processor has
// 128-bit integer vectors; every result equals PixelMath::over's, pixel for pixel.
#include <cstdint>

namespace Tessarine::BlendRows {

// `source[i]` over `pixels[i]` for `count` pixels.
void over(const std::uint32_t* source, std::uint32_t* pixels, int count);

// A premultiplied `color` at strength `alpha` (0 … 255): each channel times alpha / 255, rounded.
std::uint32_t tint(std::uint32_t color, std::uint32_t alpha);

// tint(color, alpha[i]) over `pixels[i]` for `count` pixels: a single colour laid by a row of
// coverage.
void tintOver(std::uint32_t color, const std::uint8_t* alpha, std::uint32_t* pixels, int count);

// PixelMath::scaled(pixels[i], coverage[i]) for `count` pixels: a row masked by a coverage. Runs
// of sixteen whole (255) coverages leave their pixels, and runs of sixteen clear ones clear them,
// at once.
void scale(const std::uint8_t* coverage, std::uint32_t* pixels, int count);

// values[i] × (255 − taken[i]) / 255 (as (p × 257 + 32768) / 65536 of the product p, which
// stays within a level of it), for `count` one-byte values: what is left of a
// coverage where another one is taken from it (an inner shadow: the shape less its moved
// copy). Runs of sixteen with nothing to scale (every value 0, or every taken 255) go at once.
void remainder(const std::uint8_t* taken, std::uint8_t* values, int count);

} // namespace Tessarine::BlendRows
