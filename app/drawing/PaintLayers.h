#pragma once
// Offscreen layers for the effects QPainter has no direct operation for: blur, drop shadows and
// glows, inner shadows, masks and strokes that stay inside a shape's edge. Each works in the
// painter's current coordinates, renders at the device's pixel resolution (so a 2× screen gets
// 2× detail) and composites the result back; nothing outside the painter's state changes.
#include "app/drawing/Coverage.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <functional>

namespace Tessarine::PaintLayers {

// Device pixels per unit of the painter's current coordinates, horizontally and vertically.
QSizeF deviceScale(const QPainter& painter);
// The device pixels covering `bounds` of the painter's coordinates, as a grid of the painter's
// scale lying on the device's pixels where the painter only scales and moves.
Coverage::Grid pixelGrid(const QPainter& painter, const QRectF& bounds);

// Blurs a premultiplied ARGB32 image in place with three box blurs, which together approximate
// a Gaussian of standard deviation `radius` pixels. Pixels beyond the edges count as
// transparent. A radius not above 0 (or not a number) leaves the image as it is.
void blur(QImage& image, double radius);

// An image that covers `bounds` of the target painter's coordinates at device resolution, with
// a painter in those same coordinates. `composite` draws it back onto the target.
class Layer {
public:
    Layer(QPainter& target, const QRectF& bounds);
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    QPainter& painter() { return painter_; }
    QImage& image() { return image_; }
    // Pixels per unit of the layer's coordinates (the target's device scale).
    QSizeF scale() const { return scale_; }

    // Keeps only what lies inside `mask` (antialiased edge).
    void mask(const QPainterPath& mask);
    // Blurs the layer with a radius given in the painter's units.
    void blur(double radius);
    // The layer's area in the target's coordinates: `bounds` rounded out to whole pixels.
    QRectF area() const { return area_; }
    // Ends painting and returns the image (shared, not copied).
    QImage finish();
    // Ends painting and draws the image onto the target at `opacity`.
    void composite(double opacity = 1.0);

private:
    QPainter& target_;
    QSizeF scale_;
    QRectF area_; // the bounds rounded out to whole device pixels
    Coverage::Grid grid_;
    QImage image_;
    QPainter painter_;
};

// Runs `draw` and keeps only what it paints inside `mask`.
void paintMasked(QPainter& painter, const QPainterPath& mask, const std::function<void(QPainter&)>& draw);

// Whether an effect's finished image joins the few kept for the next frame. Painting that is
// itself cached as a whole (the shell) passes `no`, so it neither fills the list with images that
// are never asked for again nor pushes out the live parts' effects; its colourless planes are
// kept instead while a PlaneCache::Keeping is in force.
enum class Keep { yes, no };

// Fills `shape` with `color`, moved by `offset` and blurred by `radius` (a drop shadow or a glow).
// This and the inner shadow keep their last few images, so painting the same effect again at the
// same scale (the next frame) only composites. An effect that is not kept may be told of a shape
// `coveredLater` that will be painted over it opaquely wherever it covers a pixel whole (a shadow
// under its body): the effect leaves the pixels well inside that shape as they were, since
// nothing it lays there would show.
void paintBlurred(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius,
                  QPointF offset = {}, Keep keep = Keep::yes, const QPainterPath& coveredLater = {});

// The shadow that the edge of a filled `shape` casts inside it: `color` everywhere outside the
// shape moved by `offset`, blurred by `radius`, kept only inside the shape.
void paintInnerShadow(QPainter& painter, const QPainterPath& shape, const QColor& color, double radius,
                      QPointF offset, Keep keep = Keep::yes);

// Strokes the edge of `shape` so that the whole line width lies inside it; kept like the shadows.
void strokeInside(QPainter& painter, const QPainterPath& shape, const QBrush& brush, double width);
// The same for a rounded rectangle (a circle or capsule when the radius is half the shorter
// side), drawn directly without a layer.
void strokeInside(QPainter& painter, const QRectF& rect, double cornerRadius, const QBrush& brush, double width);

} // namespace Tessarine::PaintLayers
