#pragma once
// How much of each pixel a filled path covers, worked out directly from the path's edges (the
// signed area each edge sweeps in a cell, summed along the row) instead of by a painter. It
// follows the raster painter's own steps (curves cut into lines to a quarter of a pixel, points
// on a 1/64-pixel grid, the painter's fill rules and rounding), so the two differ by a level at
// most in a few edge pixels; it is much quicker for the large shapes that effects and masks need,
// because the painter hands large fills to worker threads and waits for them.
#include <QPainterPath>
#include <QTransform>

#include <cstdint>
#include <vector>

namespace Tessarine::PathRaster {

// Coverage (0 … 255) of the `width` × `height` pixels of a plane, row after row, by `path`
// mapped through `toPixels`, with the path's fill rule.
std::vector<std::uint8_t> coverage(const QPainterPath& path, const QTransform& toPixels, int width, int height);

} // namespace Tessarine::PathRaster
