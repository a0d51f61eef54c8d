// Fills and strokes blended straight into an image look as the painter's own: a level or two
// apart at most, wide mitred strokes, curves and gradients included; and whatever the straight way
// cannot do (a gradient laid out on the shape, a clip, a hairline) is left to the painter, pixel
// for pixel.
#include "app/drawing/DirectFill.h"
#include "app/drawing/Gradients.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/ShapeMath.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

using namespace Tessarine;

namespace {

int widestChannelGap(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            largest = std::max({largest, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                                std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
    }
    return largest;
}

QPen pen(const QColor& color, double width, Qt::PenJoinStyle join) {
    QPen p(color, width, Qt::SolidLine, Qt::FlatCap, join);
    p.setMiterLimit(10);
    return p;
}

} // namespace

TEST(DirectFill, StrokesAndFillsMatchThePainters) {
    const QPainterPath& outline = ShellShape::outline();
    const QPainterPath disc = ShapeMath::capsule(ShapeMath::centred({140.3, 136.7}, 40, 40));
    const QColor under(200, 205, 210);
    const QColor shade(0, 0, 0, 90), light(255, 255, 255, 200), teal(20, 150, 150, 240);
    for (double scale : {1.0, 2.0, 3.0}) {
        auto both = [&](const std::function<void(QPainter&)>& direct, const std::function<void(QPainter&)>& plain) {
            return widestChannelGap(DrawingProbe::render(direct, 560, 330, scale, under),
                                     DrawingProbe::render(plain, 560, 330, scale, under));
        };
        for (const QPen& p : {QPen(shade, 1), pen(shade, 15, Qt::MiterJoin), pen(light, 17, Qt::MiterJoin),
                              QPen(teal, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)}) {
            EXPECT_LE(both([&](QPainter& q) { DirectFill::stroke(q, outline, p); },
                           [&](QPainter& q) { q.strokePath(outline, p); }),
                      2)
                << p.widthF() << " at " << scale;
        }
        EXPECT_LE(both([&](QPainter& q) { DirectFill::fill(q, disc, teal); }, [&](QPainter& q) { q.fillPath(disc, teal); }),
                  2)
            << scale;
        // Gradients: translucent stops, a disc of the first colour inside a radial's inner
        // radius, a fade to clear, a shape taller than a band of fetched rows, and a pen.
        for (const QBrush& brush : {QBrush(Gradients::radial({150, 120}, 0, 300, {light, teal, shade})),
                                    QBrush(Gradients::radial({140.3, 136.7}, 8, 26, {under, teal, Gradients::clear(teal)})),
                                    QBrush(Gradients::linear({120, 0}, {160, 30}, {Qt::white, Qt::black}))}) {
            EXPECT_LE(both([&](QPainter& q) { DirectFill::fill(q, disc, brush); },
                           [&](QPainter& q) { q.fillPath(disc, brush); }),
                      2)
                << brush.style() << " at " << scale;
            EXPECT_LE(both([&](QPainter& q) { DirectFill::fill(q, outline, brush); },
                           [&](QPainter& q) { q.fillPath(outline, brush); }),
                      2)
                << brush.style() << " at " << scale;
            const QPen wide(brush, 6);
            EXPECT_LE(both([&](QPainter& q) { DirectFill::stroke(q, disc, wide); },
                           [&](QPainter& q) { q.strokePath(disc, wide); }),
                      2)
                << brush.style() << " at " << scale;
        }
        // Turned, as a pulled trigger is, and partly off the image.
        auto turned = [](QPainter& q) {
            q.translate(300, -40);
            q.rotate(14);
        };
        EXPECT_LE(both([&](QPainter& q) {
            turned(q);
            DirectFill::fill(q, outline, shade);
            DirectFill::stroke(q, outline, QPen(teal, 0.8));
            DirectFill::fill(q, disc, Gradients::vertical(disc.boundingRect(), {light, shade}));
        }, [&](QPainter& q) {
            turned(q);
            q.fillPath(outline, shade);
            q.strokePath(outline, QPen(teal, 0.8));
            q.fillPath(disc, Gradients::vertical(disc.boundingRect(), {light, shade}));
        }), 2) << scale;
    }
}

TEST(DirectFill, LeavesToThePainterWhatItCannotBlendStraight) {
    const QPainterPath disc = ShapeMath::capsule(ShapeMath::centred({30, 20}, 30, 24));
    // Laid out on the shape's bounds, and moved by a brush origin.
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, QColor(0, 0, 255, 100));
    const QRadialGradient radial(20, 20, 15);
    const QPen thick(QColor(10, 20, 30, 150), 4);
    auto same = [&](const std::function<void(QPainter&)>& direct, const std::function<void(QPainter&)>& plain) {
        return DrawingProbe::render(direct, 64, 48, 2, Qt::white) == DrawingProbe::render(plain, 64, 48, 2, Qt::white);
    };
    EXPECT_TRUE(same([&](QPainter& q) { DirectFill::fill(q, disc, gradient); },
                     [&](QPainter& q) { q.fillPath(disc, gradient); }));
    EXPECT_TRUE(same([&](QPainter& q) { DirectFill::stroke(q, disc, QPen(QBrush(gradient), 4)); },
                     [&](QPainter& q) { q.strokePath(disc, QPen(QBrush(gradient), 4)); }));
    // Straight down an unturned shape: the painter's own rows, whose colours depend on where the
    // fill starts.
    EXPECT_TRUE(same([&](QPainter& q) { DirectFill::fill(q, disc, Gradients::vertical(disc.boundingRect(), {Qt::red, Qt::blue})); },
                     [&](QPainter& q) { q.fillPath(disc, Gradients::vertical(disc.boundingRect(), {Qt::red, Qt::blue})); }));
    EXPECT_TRUE(same([&](QPainter& q) {
        q.setBrushOrigin(3, 5);
        DirectFill::fill(q, disc, radial);
    }, [&](QPainter& q) {
        q.setBrushOrigin(3, 5);
        q.fillPath(disc, radial);
    }));
    EXPECT_TRUE(same([&](QPainter& q) {
        q.setClipRect(0, 0, 40, 30);
        DirectFill::stroke(q, disc, thick);
    }, [&](QPainter& q) {
        q.setClipRect(0, 0, 40, 30);
        q.strokePath(disc, thick);
    }));
    // Half a device pixel wide: the painter's own thin-line drawing.
    EXPECT_TRUE(same([&](QPainter& q) { DirectFill::stroke(q, disc, QPen(Qt::black, 0.5)); },
                     [&](QPainter& q) { q.strokePath(disc, QPen(Qt::black, 0.5)); }));
}
