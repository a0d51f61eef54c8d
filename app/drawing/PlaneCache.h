#pragma once
// One-byte planes (a shape's coverage, a shadow's blurred strength) kept for the whole process,
// so that painting the same shapes again at the same pixel size takes the planes instead of
// working them out anew. They hold no colour: the shell in the other scheme, the shell of
// another layout (which keeps its outline) and the shadow of either scheme all find the planes
// of the one painted before, so only a new size pays for them in full. A few finished layers that
// hold the colours of one scheme but nothing of the layout (the shell's shading) are kept beside
// them. Any thread may use it.
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Tessarine::PlaneCache {

// What a plane is made from: `path` through `toPixels` onto `width` × `height` pixels, worked
// by `kind` with the blur `sigma` (pixels) and `offset` (the painter's units) it was asked for.
// A shadow `beneath` its shape is left clear where the shape, painted over it, hides it.
struct Key {
    enum class Kind { coverage, blurred, blurredBeneath, innerShadow };
    Kind kind = Kind::coverage;
    QPainterPath path;
    QTransform toPixels;
    int width = 0;
    int height = 0;
    double sigma = 0;
    QPointF offset;

    bool operator==(const Key& other) const;
};

// Planes are kept only while a `Keeping` lives on the thread: around the painting of an image that
// is itself kept whole (the shell, the shadow). Live parts, painted at ever new places and values,
// would only push those planes out.
class Keeping {
public:
    Keeping();
    ~Keeping();
    Keeping(const Keeping&) = delete;
    Keeping& operator=(const Keeping&) = delete;

private:
    bool before_;
};
bool keeping();

// The plane for `key`: a kept one, or one `make` returns, which is then kept when planes are
// being kept and it is large enough to be worth it (smaller ones are quick to make again).
std::vector<std::uint8_t> plane(const Key& key, const std::function<std::vector<std::uint8_t>()>& make);
// The same plane shared with the cache instead of copied out of it, for those that only read it.
using Plane = std::shared_ptr<const std::vector<std::uint8_t>>;
Plane shared(const Key& key, const std::function<std::vector<std::uint8_t>()>& make);

// The layer `name` painted through the device transform `transform`: a kept one, or the one
// `make` returns, kept while planes are being kept. `name` must tell apart everything but the
// transform that the layer's pixels depend on.
QImage layer(const std::string& name, const QTransform& transform, const std::function<QImage()>& make);
inline constexpr std::size_t layersKept = 4;

// Planes of fewer bytes are not kept.
inline constexpr std::size_t smallest = 1024;
// Most bytes kept; the plane used longest ago goes first.
inline constexpr std::size_t mostKept = 24 * 1024 * 1024;

// How many bytes of planes are kept now, and letting all planes and layers go (for tests).
std::size_t keptBytes();
void clear();

} // namespace Tessarine::PlaneCache
