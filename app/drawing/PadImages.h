#pragma once
// The drawn controller's shadow and shell kept as images at the pixel size they are shown at,
// so that a frame of the live drawing composites two images instead of painting dozens of
// blurred and shaded layers. An image is painted again only when its key changes: the scheme
// and the pixel scale for the shadow; the layout, the scheme and the pixel scale for the shell.
#include "app/drawing/PadShell.h"

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace Tessarine {

class PadImages {
public:
    // An image and where its top-left corner lies on the canvas, in points.
    struct Placed {
        const QImage& image;
        QPointF origin;
    };

    // The images for a drawing at `scale` painter units per canvas point on a painter with
    // `pixelRatio` device pixels per unit. Each image carries that pixel ratio, so that drawn
    // at a point of an unscaled painter, one image pixel covers one device pixel.
    Placed shadow(bool dark, double scale, double pixelRatio);
    Placed shell(const PadShell& shell, bool dark, double scale, double pixelRatio);

    // How many times each image has been made anew since the cache was made (the shadow may be
    // taken from another drawing at the same size rather than painted).
    int shadowBuilds() const { return shadowBuilds_; }
    int shellBuilds() const { return shellBuilds_; }

    // Draws a live part about `centre` (canvas coordinates of the painter) from a kept image.
    // `key` names everything the part's look depends on besides its place; `reach` is the area
    // about the centre that its painting can cover, in canvas points; `paint` paints it about
    // (0, 0). The image is painted again only for a new key, painter scale or place within a
    // device pixel (to a quarter pixel), so a frame in which values hold still only copies
    // pixels. A painter that rotates or shears paints the part directly.
    void drawPart(QPainter& painter, const std::string& key, QPointF centre, const QRectF& reach,
                  const std::function<void(QPainter&)>& paint);
    int partBuilds() const { return partBuilds_; }
    std::size_t partsKept() const { return parts_.size(); }
    // Parts kept at most; the least recently drawn goes first.
    static constexpr std::size_t maxParts = 160;

private:
    struct ShadowKey {
        bool dark;
        double scale;
        double pixelRatio;
        friend bool operator==(const ShadowKey&, const ShadowKey&) = default;
    };
    struct ShellKey {
        PadShell shell;
        bool dark;
        double scale;
        double pixelRatio;
        friend bool operator==(const ShellKey&, const ShellKey&) = default;
    };

    // Key, device pixels per point, pixel ratio, and the centre's place within its pixel.
    using PartKey = std::tuple<std::string, double, double, double, double>;
    struct Part {
        QImage image;
        QPoint offset; // of the image's top-left pixel from the centre's pixel
        std::uint64_t lastUsed = 0;
    };

    std::map<PartKey, Part> parts_;
    std::uint64_t partUses_ = 0;
    int partBuilds_ = 0;
    std::optional<ShadowKey> shadowKey_;
    std::optional<ShellKey> shellKey_;
    QImage shadow_;
    QImage shell_;
    int shadowBuilds_ = 0;
    int shellBuilds_ = 0;
};

// Draws `placed` for a canvas whose origin is at `canvasOrigin` of the painter's coordinates and
// whose points are `scale` units.
void drawPlaced(QPainter& painter, const PadImages::Placed& placed, QPointF canvasOrigin, double scale);

} // namespace Tessarine
