// Shadows and glows are worked out on coverage alone, and wide ones on a coarser grid; held here
// to the plain way of making them (the colour painted into a layer of colour pixels, each channel
// blurred at full resolution) within a few levels of 255 at every pixel. The blur steps give their
// plain loops' values exactly on every vector path.
#include "app/drawing/BoxBlur.h"
#include "app/drawing/Coverage.h"
#include "app/drawing/PadShapes.h"
#include "app/drawing/PadShoulders.h"
#include "app/drawing/PaintLayers.h"

#include "DrawingProbe.h"
#include "ForcedPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace Tessarine;

namespace {

// The largest difference of any channel at any pixel.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return largest;
}

void plainBlurred(QPainter& p, const QPainterPath& shape, const QColor& color, double radius, QPointF offset) {
    const QPainterPath moved = shape.translated(offset);
    const double margin = 3 * radius + 1;
    PaintLayers::Layer layer(p, moved.boundingRect().adjusted(-margin, -margin, margin, margin));
    layer.painter().fillPath(moved, color);
    layer.blur(radius);
    layer.composite();
}

void plainInnerShadow(QPainter& p, const QPainterPath& shape, const QColor& color, double radius, QPointF offset) {
    const double margin = 3 * radius + std::abs(offset.x()) + std::abs(offset.y()) + 1;
    PaintLayers::Layer layer(p, shape.boundingRect().adjusted(-margin, -margin, margin, margin));
    QPainter& q = layer.painter();
    q.save();
    q.resetTransform();
    q.fillRect(layer.image().rect(), color);
    q.restore();
    q.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    q.fillPath(shape.translated(offset), Qt::black);
    layer.blur(radius);
    layer.mask(shape);
    layer.composite();
}

struct Case {
    const char* name;
    QPainterPath shape;
    double radius;
    QPointF offset;
};

std::vector<Case> cases() {
    QPainterPath square, disc;
    square.addRect(30, 25, 40, 30);
    disc.addEllipse(QPointF(50, 45), 17.3, 17.3);
    const QPainterPath outline = ShellShape::outline();
    return {
        {"square 1", square, 1, {0, 1.5}},
        {"disc 2.5", disc, 2.5, {0, 2}},
        {"disc 6", disc, 6, {0, 4}},
        {"band 1", bumperBand(true), 1, {0, 1.5}},
        {"outline 3", outline, 3, {0, 3}},
        {"outline 9", outline, 9, {0, -6}},
        {"outline 14", outline, 14, {0, 12}},
    };
}

// The blur steps held to their plain loops on each vector path.
struct BlurSteps : ForcedPaths {};

} // namespace

TESSARINE_EVERY_VECTOR_PATH(BlurSteps);

TEST(BlurredEffects, OneChannelBlurIsTheColourBlurOfAlpha) {
    // The same three boxes on a single plane give each pixel what the colour blur gives its alpha.
    std::mt19937 random(7);
    for (auto [width, height, sigma] : {std::tuple{37, 23, 1.5}, {64, 64, 4.0}, {5, 90, 9.0}, {120, 3, 30.0}}) {
        std::vector<std::uint8_t> plane(std::size_t(width * height));
        std::vector<std::uint32_t> pixels(plane.size());
        for (std::size_t i = 0; i < plane.size(); ++i) {
            plane[i] = std::uint8_t(random() % 4 == 0 ? random() % 256 : 0);
            pixels[i] = std::uint32_t(plane[i]) << 24;
        }
        BoxBlur::blur(plane, width, height, sigma);
        BoxBlur::blur(pixels, width, height, sigma);
        for (std::size_t i = 0; i < plane.size(); ++i) ASSERT_EQ(plane[i], pixels[i] >> 24) << sigma << " at " << i;
    }
}

TEST(BlurredEffects, EnlargingKeepsLevelsAndRampsBetweenCentres) {
    // A coarse plane of 3 × 2 pixels, each 4 fine pixels wide.
    const std::vector<std::uint8_t> coarse{0, 100, 200, 0, 100, 200};
    const std::vector<std::uint8_t> fine = BoxBlur::enlarge(coarse, 3, 2, 4, 12, 8);
    ASSERT_EQ(fine.size(), 96u);
    EXPECT_EQ(fine[0], 0);    // before the first centre: flat
    EXPECT_EQ(fine[1], 0);
    EXPECT_EQ(fine[4], 63);   // the centres lie between fine pixels 1 and 2, 5 and 6, …
    EXPECT_EQ(fine[5], 88);   // … and the ramp from 0 to 100 climbs 25 a fine pixel
    EXPECT_EQ(fine[6], 113);
    EXPECT_EQ(fine[11], 200); // past the last centre: flat
    EXPECT_EQ(fine[7 * 12 + 6], fine[6]); // every row alike
    EXPECT_TRUE(BoxBlur::enlarge(coarse, 3, 2, 4, 0, 8).empty());
    // A narrow blur is worked out where it is; a wide one on a grid as coarse as leaves it room.
    EXPECT_EQ(BoxBlur::reduction(3), 1);
    EXPECT_EQ(BoxBlur::reduction(28), 8);
    EXPECT_EQ(BoxBlur::reduction(1000), 8);
    EXPECT_GE(BoxBlur::reducedSigma(28, 8), 2.5);
}

TEST(BlurredEffects, MatchThePlainLayeredWayToAFewLevels) {
    const QColor colors[] = {QColor(0, 0, 0, 140), QColor(255, 255, 255, 230), QColor(40, 170, 160)};
    int colorIndex = 0;
    for (const Case& c : cases()) {
        const QColor color = colors[colorIndex++ % 3];
        const QRectF bounds = c.shape.boundingRect().adjusted(-50, -50, 50, 50);
        for (double scale : {1.0, 2.0}) {
            auto render = [&](auto paint) {
                return DrawingProbe::render([&](QPainter& p) {
                    p.translate(-bounds.topLeft());
                    paint(p);
                }, int(bounds.width()), int(bounds.height()), scale, QColor(90, 100, 110));
            };
            const QImage blurred = render([&](QPainter& p) {
                PaintLayers::paintBlurred(p, c.shape, color, c.radius, c.offset, PaintLayers::Keep::no);
            });
            const QImage plainBlur = render([&](QPainter& p) { plainBlurred(p, c.shape, color, c.radius, c.offset); });
            EXPECT_LE(largestDifference(blurred, plainBlur), 4) << c.name << " blurred at " << scale;
            const QImage inner = render([&](QPainter& p) {
                PaintLayers::paintInnerShadow(p, c.shape, color, c.radius, c.offset, PaintLayers::Keep::no);
            });
            const QImage plainInner = render([&](QPainter& p) { plainInnerShadow(p, c.shape, color, c.radius, c.offset); });
            EXPECT_LE(largestDifference(inner, plainInner), 4) << c.name << " inner shadow at " << scale;
            // The effect shows at all (a blank image would also match a blank one).
            EXPECT_GT(largestDifference(inner, render([](QPainter&) {})), 20) << c.name;
        }
    }
}

TEST(BlurredEffects, BetweenPixelsTheyStayOnTheirShape) {
    // Drawn half a pixel off the device's grid, an inner shadow lands on its shape the same way
    // wherever it lies: its image is made on the device's pixels, not moved to the nearest whole
    // one (which rounds one way left of the origin and the other way right of it).
    auto paint = [](double x) {
        return DrawingProbe::render([&](QPainter& p) {
            p.translate(0.5, 0.5);
            QPainterPath square;
            square.addRect(x, 10, 20, 12);
            p.fillPath(square, Qt::darkCyan);
            PaintLayers::paintInnerShadow(p, square, QColor(255, 255, 255, 230), 1, {0, 1.5}, PaintLayers::Keep::no);
        }, 80, 40, 1, Qt::white);
    };
    const QImage nearEdge = paint(1), inside = paint(41);
    for (int y = 8; y < 26; ++y)
        for (int x = 0; x < 24; ++x) ASSERT_EQ(nearEdge.pixel(x, y), inside.pixel(x + 40, y)) << x << "," << y;
}

namespace {

// The coarse-grid steps as plain loops, one value at a time: what the vector forms must give.
std::vector<std::uint8_t> plainGaussian(std::vector<std::uint8_t> plane, int width, int height, double sigma) {
    const int reach = int(std::ceil(3 * sigma));
    std::vector<float> weights(std::size_t(2 * reach + 1));
    float total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += weights[std::size_t(k + reach)] = float(std::exp(-0.5 * k * k / (sigma * sigma)));
    for (float& w : weights) w /= total;
    std::vector<float> a(plane.begin(), plane.end()), b(a.size());
    // Down the columns, then along the rows, each sum taken from the nearest line outwards in
    // the same order as the columns' (lowest offset first).
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = std::max(-reach, -y); k <= std::min(reach, height - 1 - y); ++k)
                sum += weights[std::size_t(k + reach)] * a[std::size_t((y + k) * width + x)];
            b[std::size_t(y * width + x)] = sum;
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = std::max(-reach, -x); k <= std::min(reach, width - 1 - x); ++k)
                sum += weights[std::size_t(k + reach)] * b[std::size_t(y * width + x + k)];
            a[std::size_t(y * width + x)] = sum;
        }
    for (std::size_t i = 0; i < a.size(); ++i) plane[i] = std::uint8_t(std::clamp(a[i] + 0.5f, 0.0f, 255.0f));
    return plane;
}

std::vector<std::uint8_t> plainEnlarge(const std::vector<std::uint8_t>& coarse, int coarseWidth, int coarseHeight,
                                       int factor, int width, int height) {
    auto tap = [factor](int i, int count, int& lower, int& upper) {
        const double u = (i + 0.5) / factor - 0.5;
        lower = std::clamp(int(std::floor(u)), 0, count - 1);
        upper = std::clamp(int(std::floor(u)) + 1, 0, count - 1);
        return std::uint32_t(std::lround((u - std::floor(u)) * 256));
    };
    std::vector<std::uint8_t> fine(std::size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int xl, xu, yl, yu;
            const std::uint32_t wx = tap(x, coarseWidth, xl, xu), wy = tap(y, coarseHeight, yl, yu);
            auto row = [&](int r) {
                return coarse[std::size_t(r * coarseWidth + xl)] * (256 - wx) + coarse[std::size_t(r * coarseWidth + xu)] * wx;
            };
            fine[std::size_t(y * width + x)] = std::uint8_t((row(yl) * (256 - wy) + row(yu) * wy + 32768) >> 16);
        }
    return fine;
}


// Three box blurs down the columns and three along the rows, one value at a time, each average
// rounded to a byte in 16.16 fixed point: what the blocked passes must give.
std::vector<std::uint8_t> plainBoxBlur(std::vector<std::uint8_t> plane, int width, int height, double sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) --lower;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    auto pass = [&](int r, bool down) {
        const std::uint32_t window = std::uint32_t(2 * r + 1), scale = (65536 + window / 2) / window;
        std::vector<std::uint8_t> out(plane.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint32_t sum = 0;
                for (int k = -r; k <= r; ++k) {
                    const int u = down ? y + k : x + k, limit = down ? height : width;
                    if (u >= 0 && u < limit) sum += plane[std::size_t(down ? u * width + x : y * width + u)];
                }
                out[std::size_t(y * width + x)] = std::uint8_t(std::min(255u, (sum * scale + 32768) >> 16));
            }
        plane = out;
    };
    for (bool down : {true, false})
        for (int i = 0; i < 3; ++i) {
            const int r = ((i < m ? lower : lower + 2) - 1) / 2;
            if (r > 0) pass(r, down);
        }
    return plane;
}

} // namespace

TEST_P(BlurSteps, BlurringOnlyTilesNearEdgesEqualsBlurringTheWholePlane) {
    // A large plane mostly clear or full, as a shape's coverage is: a filled block with a ragged
    // edge, a lone pixel, a hard step on a tile boundary, a noisy patch at the plane's edge and a
    // full block running into the edge, beyond which everything counts as clear. Up to a sigma of
    // 4 few enough tiles differ that only those are blurred; at 9 and 14 the whole. The coarse
    // grid's Gaussian skips tiles alike and must give its plain loop's sums to the last level.
    const int width = 1200, height = 800;
    std::mt19937 random(3);
    std::vector<std::uint8_t> plane(std::size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t v = 0;
            if (x > 40 && x < 260 && y > 30 && y < 190) v = 255;
            if (std::abs(x - 40) < 2 && y > 30 && y < 190) v = std::uint8_t(random() % 256);
            if (x >= 288 && y >= 64 && y < 128) v = 255; // a step exactly on tile borders
            if (x < 20 && y > 220) v = std::uint8_t(random() % 256);
            if (x >= 1048 && y >= 256 && y < 352) v = 255; // whole tiles up to the right edge
            plane[std::size_t(y * width + x)] = v;
        }
    plane[std::size_t(200 * width + 300)] = 77;
    for (double sigma : {1.2, 2.4, 4.0, 9.0, 14.0}) {
        std::vector<std::uint8_t> tiled = plane;
        std::vector<std::uint32_t> whole(plane.size());
        for (std::size_t i = 0; i < plane.size(); ++i) whole[i] = std::uint32_t(plane[i]) << 24;
        BoxBlur::blur(tiled, width, height, sigma);
        BoxBlur::blur(whole, width, height, sigma);
        for (std::size_t i = 0; i < plane.size(); ++i) ASSERT_EQ(tiled[i], whole[i] >> 24) << sigma << " at " << i;
    }
    for (double sigma : {1.1, 2.5, 3.5, 6.0}) {
        std::vector<std::uint8_t> tiled = plane;
        BoxBlur::gaussian(tiled, width, height, sigma);
        const std::vector<std::uint8_t> plain = plainGaussian(plane, width, height, sigma);
        for (std::size_t i = 0; i < plane.size(); ++i) ASSERT_EQ(tiled[i], plain[i]) << sigma << " at " << i;
    }
}

TEST(BlurredEffects, BlurAskedForPartOfAPlaneGivesThatPartExactly) {
    // Only the values over a disc inside the shell and along one column are asked for, as an
    // inner shadow keeps only those over its shape. Each of them must come out as in the blur of
    // the whole plane, also where a wide blur is enlarged from a coarse grid: the column is the
    // first of a coarse tile, so it is enlarged partly from the tile before it.
    const QPainterPath moved = ShellShape::outline().translated(0, -6);
    QPainterPath disc;
    disc.addEllipse(QPointF(150, 120), 90, 70);
    int leftOut = 0;
    for (double scale : {1.0, 2.0})
        for (double sigma : {2.4, 7.0, 18.0}) {
            const Coverage::Grid grid = Coverage::grid({scale, scale}, moved.boundingRect().adjusted(-60, -60, 60, 60));
            std::vector<std::uint8_t> asked = Coverage::render(disc, grid);
            const int column = 16 * BoxBlur::reduction(sigma) * 3;
            for (int y = 0; y < grid.height; ++y) asked[std::size_t(y * grid.width + column)] = 1;
            const BoxBlur::Wanted wanted = [&](int x0, int x1, int y0, int y1) {
                return !BoxBlur::uniform(asked.data(), grid.width, grid.height, x0, x1, y0, y1, 0);
            };
            const std::vector<std::uint8_t> part = Coverage::blurred(moved, grid, sigma, wanted);
            const std::vector<std::uint8_t> whole = Coverage::blurred(moved, grid, sigma);
            ASSERT_EQ(part.size(), whole.size());
            for (std::size_t i = 0; i < whole.size(); ++i) {
                if (asked[i] != 0) {
                    ASSERT_EQ(part[i], whole[i]) << sigma << " × " << scale << " at " << i;
                }
                leftOut += part[i] != whole[i];
            }
        }
    EXPECT_GT(leftOut, 0); // the band away from the disc was left as it was
}

TEST_P(BlurSteps, BlurStepsEqualTheirPlainLoopsExactly) {
    // Sizes that leave every remainder of the vectors' widths, noise and hard steps alike; the
    // box blur's sums reach past 255 × 16 for the widest windows.
    std::mt19937 random(11);
    for (auto [width, height, sigma] : {std::tuple{37, 23, 2.5}, {64, 40, 3.4}, {9, 71, 1.1}, {130, 7, 2.9}, {1, 1, 2.0}, {150, 40, 9.0}}) {
        std::vector<std::uint8_t> plane(std::size_t(width * height));
        for (std::size_t i = 0; i < plane.size(); ++i)
            plane[i] = std::uint8_t(i % 7 < 3 ? random() % 256 : (i / std::size_t(width)) % 2 ? 255 : 0);
        std::vector<std::uint8_t> blurred = plane;
        BoxBlur::gaussian(blurred, width, height, sigma);
        ASSERT_EQ(blurred, plainGaussian(plane, width, height, sigma)) << width << "×" << height << " sigma " << sigma;
        std::vector<std::uint8_t> boxed = plane;
        BoxBlur::blur(boxed, width, height, sigma);
        ASSERT_EQ(boxed, plainBoxBlur(plane, width, height, sigma)) << width << "×" << height << " boxes " << sigma;
        for (int factor : {2, 3, 7, 8}) {
            const int fineWidth = width * factor - factor / 2, fineHeight = height * factor - 1;
            ASSERT_EQ(BoxBlur::enlarge(plane, width, height, factor, fineWidth, fineHeight),
                      plainEnlarge(plane, width, height, factor, fineWidth, fineHeight))
                << width << "×" << height << " by " << factor;
        }
    }
    // A blurred shape's plane, whose clear and full stretches the enlargement fills without
    // working them out: clear rows, full runs touching the edges, two full runs in one row with
    // a ramp between, a lone full value and a lone clear one.
    const int width = 40, height = 30;
    std::vector<std::uint8_t> shape(std::size_t(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t v = 0;
            if (y >= 4 && y < 26) v = std::uint8_t(std::clamp(std::min({x - 3, 36 - x, y - 4, 25 - y}) * 60, 0, 255));
            if (y >= 18 && y < 24 && x >= 15 && x < 25) v = std::uint8_t(90 + 10 * (x - 15)); // a dip between two runs
            if (y == 10) v = 255;                                                     // full to both edges
            if (y == 12 && x == 20) v = 0;
            if (y == 2 && x == 7) v = 255;
            shape[std::size_t(y * width + x)] = v;
        }
    for (int factor : {2, 3, 7, 8})
        ASSERT_EQ(BoxBlur::enlarge(shape, width, height, factor, width * factor - 1, height * factor - factor / 2),
                  plainEnlarge(shape, width, height, factor, width * factor - 1, height * factor - factor / 2))
            << "shape by " << factor;
}
