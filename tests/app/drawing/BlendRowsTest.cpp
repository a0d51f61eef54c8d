// Rows blended four or eight pixels at a time give exactly what PixelMath::over gives one at a
// time, for every strength of a colour, over every kind of pixel beneath, at any row length and
// start, on every vector path the processor has.
#include "app/drawing/BlendRows.h"
#include "app/drawing/PixelMath.h"

#include "ForcedPaths.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace Tessarine;

namespace {

std::uint32_t premultiplied(std::mt19937& random) {
    const std::uint32_t a = random() % 256;
    auto channel = [&] { return a == 0 ? 0u : std::uint32_t(random() % (a + 1)); };
    return a << 24 | channel() << 16 | channel() << 8 | channel();
}

// Pixels beneath: clear, opaque, half-covered and random ones, so every branch of a blend sees
// each kind next to the others.
std::vector<std::uint32_t> beneath(std::size_t count, std::mt19937& random) {
    std::vector<std::uint32_t> pixels(count);
    for (std::size_t i = 0; i < count; ++i) {
        switch (i % 5) {
        case 0: pixels[i] = 0; break;
        case 1: pixels[i] = 0xff336699u; break;
        case 2: pixels[i] = 0x80402010u; break;
        default: pixels[i] = premultiplied(random); break;
        }
    }
    return pixels;
}

struct RowBlends : ForcedPaths {};

} // namespace

TESSARINE_EVERY_VECTOR_PATH(RowBlends);

TEST_P(RowBlends, TintedCoverageEqualsPixelByPixelOver) {
    std::mt19937 random(7);
    for (const QColor& color : {QColor(0, 0, 0, 140), QColor(255, 255, 255, 242), QColor(255, 120, 30), QColor(20, 200, 90, 3)}) {
        // The colour at each strength, each channel rounded to the nearest level.
        std::uint32_t tints[256];
        const QRgb p = qPremultiply(color.rgba());
        for (std::uint32_t i = 0; i < 256; ++i) {
            auto channel = [&](int shift) { return std::uint32_t(std::lround(double((p >> shift) & 0xff) * i / 255)) << shift; };
            tints[i] = channel(0) | channel(8) | channel(16) | channel(24);
            ASSERT_EQ(BlendRows::tint(p, i), tints[i]) << i;
        }
        // Every strength, with short and long runs of clear coverage that the blend skips, one
        // of them at the row's end.
        std::vector<std::uint8_t> alpha;
        for (int i = 0; i < 256; ++i) {
            alpha.push_back(std::uint8_t(i));
            if (i % 37 == 0) alpha.insert(alpha.end(), i % 2 == 0 ? 9 : 40, 0);
        }
        alpha.insert(alpha.end(), 21, 0);
        for (int start : {0, 1, 3}) {
            const int count = int(alpha.size()) - start;
            std::vector<std::uint32_t> fast = beneath(alpha.size(), random);
            std::vector<std::uint32_t> plain = fast;
            BlendRows::tintOver(p, alpha.data() + start, fast.data() + start, count);
            for (int i = start; i < int(alpha.size()); ++i)
                if (alpha[std::size_t(i)] != 0) plain[std::size_t(i)] = PixelMath::over(tints[alpha[std::size_t(i)]], plain[std::size_t(i)]);
            ASSERT_EQ(fast, plain) << color.name(QColor::HexArgb).toStdString() << " from " << start;
        }
    }
}

TEST_P(RowBlends, EvenRunsEqualPixelByPixelOver) {
    // Long runs of one strength over one pixel, as a shadow's core lies over a clear or flat
    // image, broken at different places by another strength or another pixel beneath.
    const std::uint32_t color = qPremultiply(QColor(0, 0, 0, 56).rgba());
    for (std::uint8_t strength : {std::uint8_t(0), std::uint8_t(1), std::uint8_t(128), std::uint8_t(255)})
        for (std::uint32_t under : {0u, 0xff336699u, 0x80402010u})
            for (int start : {0, 2})
                for (int broken : {-1, 0, 5, 15, 16, 31, 40}) {
                    const int count = 48;
                    std::vector<std::uint8_t> alpha(std::size_t(count + start), strength);
                    std::vector<std::uint32_t> fast(alpha.size(), under);
                    if (broken >= 0) {
                        alpha[std::size_t(start + broken)] = std::uint8_t(strength ^ 0x40);
                        fast[std::size_t(start + count - 1 - broken)] = 0x20101008u;
                    }
                    std::vector<std::uint32_t> plain = fast;
                    BlendRows::tintOver(color, alpha.data() + start, fast.data() + start, count);
                    for (std::size_t i = std::size_t(start); i < alpha.size(); ++i)
                        if (alpha[i] != 0) plain[i] = PixelMath::over(BlendRows::tint(color, alpha[i]), plain[i]);
                    ASSERT_EQ(fast, plain) << int(strength) << " over " << under << " broken at " << broken;
                }
}

TEST_P(RowBlends, ImageRowsEqualPixelByPixelOver) {
    std::mt19937 random(11);
    for (int count : {0, 1, 3, 4, 5, 64, 1001}) {
        std::vector<std::uint32_t> source(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < source.size(); ++i) source[i] = (i / 6) % 3 == 0 ? 0 : premultiplied(random);
        std::vector<std::uint32_t> fast = beneath(source.size(), random);
        std::vector<std::uint32_t> plain = fast;
        BlendRows::over(source.data(), fast.data(), count);
        for (std::size_t i = 0; i < source.size(); ++i)
            if (source[i] != 0) plain[i] = PixelMath::over(source[i], plain[i]);
        ASSERT_EQ(fast, plain) << count;
    }
}

TEST_P(RowBlends, MaskedRowsEqualPixelByPixelScaling) {
    // Runs of whole, clear and mixed coverage, ending at every remainder of the sixteen that go
    // at once, over every kind of pixel.
    std::mt19937 random(9);
    for (int count : {0, 5, 16, 31, 64, 1001}) {
        std::vector<std::uint8_t> coverage(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const int run = i / 16 % 4;
            coverage[std::size_t(i)] = run == 0 ? 255 : run == 1 ? 0 : std::uint8_t(random() % 256);
        }
        if (count > 40) coverage[20] = 0; // one clear value in a whole run
        std::vector<std::uint32_t> fast = beneath(coverage.size(), random);
        std::vector<std::uint32_t> plain = fast;
        BlendRows::scale(coverage.data(), fast.data(), count);
        for (std::size_t i = 0; i < coverage.size(); ++i) plain[i] = PixelMath::scaled(plain[i], coverage[i]);
        ASSERT_EQ(fast, plain) << count;
    }
}

TEST_P(RowBlends, RemainderEqualsValueByValueScaling) {
    // Runs of clear values, of full taking and of mixed bytes, ending at every remainder of the
    // sixteen that go at once.
    std::mt19937 random(5);
    for (int count : {0, 7, 16, 33, 100}) {
        std::vector<std::uint8_t> taken(static_cast<std::size_t>(count)), values(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const int run = i / 16 % 4;
            values[std::size_t(i)] = run == 0 ? 0 : std::uint8_t(random() % 256);
            taken[std::size_t(i)] = run == 1 ? 255 : std::uint8_t(random() % 256);
        }
        if (count > 0) taken[std::size_t(count / 2)] = 255;
        std::vector<std::uint8_t> fast = values;
        BlendRows::remainder(taken.data(), fast.data(), count);
        for (int i = 0; i < count; ++i) {
            // The plain loop's rounding, value by value.
            const std::uint32_t product = (255u - taken[std::size_t(i)]) * values[std::size_t(i)];
            const std::uint32_t expected = (product * 257u + 32768u) >> 16;
            ASSERT_EQ(fast[std::size_t(i)], expected) << i << " of " << count;
        }
    }
}

TEST_P(RowBlends, RemainderRoundsEveryPairAsTheValueByValueLoop) {
    // Every value against every taking, sixteen to a run, so that each pair goes through the
    // vector arithmetic and not only the row's scalar tail.
    std::vector<std::uint8_t> taken(256 * 256), values(256 * 256);
    for (std::size_t i = 0; i < taken.size(); ++i) {
        taken[i] = std::uint8_t(i >> 8);
        values[i] = std::uint8_t(i);
    }
    std::vector<std::uint8_t> fast = values;
    BlendRows::remainder(taken.data(), fast.data(), int(fast.size()));
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const std::uint32_t product = (255u - taken[i]) * values[i];
        ASSERT_EQ(fast[i], (product * 257u + 32768u) >> 16) << int(taken[i]) << " from " << int(values[i]);
    }
}
