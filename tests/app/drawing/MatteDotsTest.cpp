// The matte dots blended straight into an image look like the ellipses a painter fills.
#include "app/drawing/Coverage.h"
#include "app/drawing/MatteDots.h"
#include "app/drawing/PathRaster.h"
#include "app/drawing/PixelMath.h"

#include "DrawingProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace Tessarine;

TEST(MatteDots, DotsBlendedStraightMatchThePaintersEllipses) {
    std::vector<MatteDots::Dot> dots;
    for (int i = 0; i < 40; ++i)
        dots.push_back({QRectF(3 + i * 1.37, 4 + (i % 7) * 2.29, 0.9 + (i % 3) * 0.6, 0.9 + (i % 3) * 0.6), i % 2 == 0});
    const QColor light(255, 255, 255, 90), shade(0, 0, 0, 46);
    // At 6 the largest dots span more pixels than are blended; the painter fills those.
    for (double scale : {1.0, 2.0, 2.5, 6.0}) {
        const QImage straight = DrawingProbe::render([&](QPainter& p) { MatteDots::paint(p, dots, light, shade); },
                                                     64, 24, scale, QColor(200, 200, 205));
        // A clip keeps the painter from being written past: it fills the ellipses itself.
        const QImage painted = DrawingProbe::render([&](QPainter& p) {
            p.setClipRect(QRectF(0, 0, 64, 24));
            MatteDots::paint(p, dots, light, shade);
        }, 64, 24, scale, QColor(200, 200, 205));
        int largest = 0;
        for (int y = 0; y < straight.height(); ++y)
            for (int x = 0; x < straight.width(); ++x) {
                const QRgb a = straight.pixel(x, y), b = painted.pixel(x, y);
                const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                        std::abs(qBlue(a) - qBlue(b))});
                largest = std::max(largest, d);
            }
        EXPECT_LE(largest, 6) << scale;
        EXPECT_NE(straight, DrawingProbe::render([](QPainter&) {}, 64, 24, scale, QColor(200, 200, 205))) << scale;
    }
}

namespace {

// Each dot's coverage worked out as it is blended, one dot after the other: what the dots must
// give however their coverage is kept.
void plainDots(QImage& image, const std::vector<MatteDots::Dot>& dots, double scale, QPointF shift, QColor light,
               QColor shade) {
    for (const MatteDots::Dot& dot : dots) {
        const QPointF centre = (dot.square.center() + shift) * scale;
        const double radius = dot.square.width() / 2 * scale;
        const std::uint32_t color = qPremultiply((dot.light ? light : shade).rgba());
        const int left = std::max(0, int(std::floor(centre.x() - radius)));
        const int right = std::min(image.width() - 1, int(std::floor(centre.x() + radius)));
        const int top = std::max(0, int(std::floor(centre.y() - radius)));
        const int bottom = std::min(image.height() - 1, int(std::floor(centre.y() + radius)));
        for (int y = top; y <= bottom; ++y) {
            double coverage[8] = {};
            for (int s = 0; s < 16; ++s) {
                const double dy = y + (s + 0.5) / 16 - centre.y();
                if (std::abs(dy) >= radius) continue;
                const double half = std::sqrt(radius * radius - dy * dy);
                for (int x = left; x <= right; ++x) {
                    const double overlap = std::min(centre.x() + half, x + 1.0) - std::max(centre.x() - half, double(x));
                    if (overlap > 0) coverage[x - left] += overlap / 16;
                }
            }
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            for (int x = left; x <= right; ++x) {
                const auto strength = std::uint32_t(std::lround(std::min(coverage[x - left], 1.0) * 255));
                if (strength != 0) line[x] = PixelMath::over(PixelMath::scaled(color, strength), line[x]);
            }
        }
    }
}

} // namespace

TEST(MatteDots, KeptCoverageGivesWhatEachDotWorkedOutAfreshGives) {
    std::vector<MatteDots::Dot> dots, others;
    for (int i = 0; i < 60; ++i) {
        dots.push_back({QRectF(-0.4 + i * 1.07, 3 + (i % 9) * 2.41, 0.9, 0.9), i % 2 == 0});
        others.push_back({QRectF(2 + i * 0.93, 5 + (i % 5) * 3.1, 0.9, 0.9), i % 3 == 0});
    }
    const QColor background(200, 200, 205);
    // The same dots in two schemes' colours, other dots between, moved a little, and at a new
    // scale: each time as the plain way paints them, dots cut by the image's edge included.
    const std::tuple<const std::vector<MatteDots::Dot>*, double, QPointF, QColor, QColor> runs[] = {
        {&dots, 2, {}, QColor(255, 255, 255, 90), QColor(0, 0, 0, 13)},
        {&dots, 2, {}, QColor(255, 255, 255, 13), QColor(0, 0, 0, 46)},
        {&others, 2, {}, QColor(255, 255, 255, 90), QColor(0, 0, 0, 13)},
        {&dots, 2, {}, QColor(255, 255, 255, 90), QColor(0, 0, 0, 13)},
        {&dots, 2, {0.25, 0.5}, QColor(255, 255, 255, 90), QColor(0, 0, 0, 13)},
        {&dots, 2.5, {}, QColor(255, 255, 255, 90), QColor(0, 0, 0, 13)},
    };
    for (const auto& run : runs) {
        // Named copies: clang 14 cannot capture a structured binding in the lambda.
        const auto& [set, scale, shift, light, shade] = run;
        const auto* drawn = set;
        const QPointF moved = shift;
        const QColor lit = light, shaded = shade;
        const QImage kept = DrawingProbe::render([&](QPainter& p) {
            p.translate(moved);
            MatteDots::paint(p, *drawn, lit, shaded);
        }, 64, 24, scale, background);
        QImage plain(kept.size(), QImage::Format_ARGB32_Premultiplied);
        plain.fill(background);
        plainDots(plain, *set, scale, shift, light, shade);
        EXPECT_EQ(kept, plain) << scale << " " << light.alpha();
    }
}

// Dots a mask will clear whole are left out, and once the mask is laid the image is the one
// with every dot painted; dots the mask keeps even a little of are all there.
TEST(MatteDots, DotsTheMaskClearsAreLeftOutWithNoPixelChanged) {
    std::vector<MatteDots::Dot> dots;
    for (int i = 0; i < 400; ++i)
        dots.push_back({QRectF(1 + (i * 37 % 61) * 0.97, 1 + (i * 17 % 23) * 0.93, 0.9, 0.9), i % 2 == 0});
    const QColor light(255, 255, 255, 90), shade(0, 0, 0, 46);
    QPainterPath disc;
    disc.addEllipse(QPointF(31.3, 12.2), 17.4, 9.1);
    for (double scale : {1.0, 2.0, 1.25}) {
        const int width = int(64 * scale), height = int(24 * scale);
        QTransform toPixels;
        toPixels.scale(scale, scale);
        const std::vector<std::uint8_t> mask = PathRaster::coverage(disc, toPixels, width, height);
        auto painted = [&](const std::vector<std::uint8_t>* maskedBy) {
            QImage image = DrawingProbe::render([&](QPainter& p) { MatteDots::paint(p, dots, light, shade, maskedBy); },
                                                64, 24, scale, QColor(120, 130, 140, 200));
            return image;
        };
        QImage all = painted(nullptr), some = painted(&mask);
        // Left out: some pixels outside the disc differ before the mask is laid ...
        EXPECT_NE(all, some) << scale;
        // ... and none after.
        Coverage::multiply(all, mask);
        Coverage::multiply(some, mask);
        EXPECT_EQ(all, some) << scale;
    }
}
