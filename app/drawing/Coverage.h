#pragma once
// Single-colour effects (drop shadows, glows, inner shadows) are a colour times how much of each
// pixel a shape covers, so they are worked out on one byte a pixel, blurred there, and only then
// turned into colour: a quarter of the work of blurring colour pixels, for the same picture.
#include "app/drawing/BoxBlur.h"
#include "app/drawing/PlaneCache.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include <cstdint>
#include <vector>

namespace Tessarine::Coverage {

// Pixels `scale` per unit of some painter's coordinates over `area` of them (the bounds asked
// for, rounded out to whole pixels of that grid). A painter that only scales and moves places
// its origin `phase` (0 … 1 each way) into a device pixel; the grid's pixels then lie on the
// device's, so its image is drawn without being shifted to the nearest whole pixel.
struct Grid {
    QSizeF scale;
    QRectF area;
    int width = 1;
    int height = 1;
};
Grid grid(QSizeF scale, const QRectF& bounds, QPointF phase = {});

// How much of each pixel of `grid` `path` covers (0 … 255), row after row. With a `factor`
// above 1 the pixels are that many grid pixels wide and high (the plane is
// ⌈width / factor⌉ + 1 by ⌈height / factor⌉ + 1, so an enlargement has a pixel past each edge).
std::vector<std::uint8_t> render(const QPainterPath& path, const Grid& grid, int factor = 1);
// The same on a plane of `width` × `height` pixels reached through `toPixels`.
std::vector<std::uint8_t> render(const QPainterPath& path, const QTransform& toPixels, int width, int height);
// The same plane shared with the planes kept, not copied, for those that only read it.
PlaneCache::Plane shared(const QPainterPath& path, const QTransform& toPixels, int width, int height);
// The transform from the painter's coordinates to the pixels of `grid` (each `factor` wide).
QTransform toPixels(const Grid& grid, int factor = 1);
int coarseSide(int side, int factor);

// `path`'s coverage blurred by `sigma` grid pixels, on the whole grid. A wide blur is worked out
// on a coarser grid and enlarged. Told which of the grid's pixels are `wanted`, it may leave the
// others' values unblurred.
std::vector<std::uint8_t> blurred(const QPainterPath& path, const Grid& grid, double sigma,
                                  const BoxBlur::Wanted& wanted = {});

// `color` at each pixel's `alpha` (0 … 255), as a premultiplied image of `grid`'s size.
QImage tint(const std::vector<std::uint8_t>& alpha, const Grid& grid, const QColor& color);

// The image `painter` paints into when it paints plainly (source over, full opacity, no clip)
// onto premultiplied pixels of its own, which can then be written straight; otherwise null.
QImage* plainTarget(QPainter& painter);

// Draws `color` at each pixel's `alpha` over `grid.area` of the painter's coordinates. Where the
// painter paints plainly (source over, full opacity, no clip) onto a premultiplied image whose
// pixels are the grid's own, it blends straight into the image's pixels, skipping clear ones;
// elsewhere it draws the tinted image.
void draw(QPainter& painter, const Grid& grid, const std::vector<std::uint8_t>& alpha, const QColor& color);
// Lays `color` at each pixel's `alpha` (a plane of `pixels`' size, row after row) over the pixels
// of a premultiplied `image` that `pixels` covers; what lies outside the image is dropped.
void blend(QImage& image, const QRect& pixels, const std::vector<std::uint8_t>& alpha, const QColor& color);
// The same for a premultiplied image of the grid's size, drawn whole.
void draw(QPainter& painter, const Grid& grid, const QImage& image);

// Scales every pixel of a premultiplied `image` by its `coverage` (0 … 255): a mask. Its painter
// may be active: the raster painter draws straight into the pixels.
void multiply(QImage& image, const std::vector<std::uint8_t>& coverage);

} // namespace Tessarine::Coverage
